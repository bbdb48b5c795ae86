#include "settings/WaveFileChooser.h"

#include "logs/TextFormat.h"
#include "platform/Translate.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QString>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<std::string> ChooseWaveFile(WaveFileChooser& chooser, QWidget* owner, std::string_view title,
                                          std::string_view currentPath) {
    const std::string handed = FromUtf8(currentPath).left(kMaxWavePath).toStdString();
    auto chosen = chooser.Choose(owner, title, handed);
    if (chosen && FromUtf8(*chosen).size() > kMaxWavePath) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<std::string> HostToDevicePath(const platform::DeviceRoot& root, const std::string& hostPath) {
    // Both sides with links resolved: the desktop dialog may hand back the real path of a root
    // reached through a link.
    std::error_code error;
    const auto file = std::filesystem::weakly_canonical(hostPath, error);
    const auto base = std::filesystem::weakly_canonical(root.HostFolder(), error);
    if (error) {
        return std::nullopt;
    }
    const std::filesystem::path relative = file.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..") {
        return std::nullopt;
    }
    std::string device;
    for (const auto& part : relative) {
        if (part == ".") {
            continue;
        }
        device += '\\';
        device += part.string();
    }
    if (device.empty()) {
        return std::nullopt;
    }
    return device;
}

std::optional<std::string> QtWaveFileChooser::Choose(QWidget* owner, std::string_view title,
                                                     std::string_view currentPath) {
    QFileDialog dialog(owner, QCoreApplication::translate("QtWaveFileChooser", std::string(title).c_str()),
                       QString(), QCoreApplication::translate("QtWaveFileChooser", "wav ファイル (*.wav)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Start where the current file is when it lies under the root, else at the root.
    const auto current = m_root.ToHost(currentPath);
    if (current && std::filesystem::is_directory(current->parent_path())) {
        dialog.setDirectory(QString::fromStdString(current->parent_path().string()));
        dialog.selectFile(QString::fromStdString(current->filename().string()));
    } else {
        dialog.setDirectory(QString::fromStdString(m_root.HostFolder().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return AdoptWaveFile(m_root, dialog.selectedFiles().front().toStdString(), m_messages);
}

std::optional<std::string> AdoptWaveFile(const platform::DeviceRoot& root, const std::string& hostPath,
                                         platform::MessageBox& messages) {
    if (auto inside = HostToDevicePath(root, hostPath)) {
        return inside;
    }
    const std::filesystem::path source(hostPath);
    const std::string device = std::string(kSoundFolder) + source.filename().string();
    std::error_code error;
    const auto target = root.ToHost(device);
    if (!target) {
        error = std::make_error_code(std::errc::invalid_argument);
    } else {
        std::filesystem::create_directories(target->parent_path(), error);
        if (!error) {
            std::filesystem::copy_file(source, *target, std::filesystem::copy_options::overwrite_existing,
                                       error);
        }
    }
    if (error) {
        const std::string text =
            CFormat(platform::Tr("Ambulo", "音のファイルを %s にコピーできませんでした。").c_str(),
                    kSoundFolder.data());
        messages.Show(text + "\n" + hostPath + "\n" + error.message(), platform::Tr("Ambulo", "エラー"),
                      platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return std::nullopt;
    }
    return device;
}

void ChooseWaveFileInto(WaveFileChooser& chooser, QWidget* owner, std::string_view title, QLineEdit& field,
                        std::string& path) {
    path = field.text().toStdString();
    if (const auto chosen = ChooseWaveFile(chooser, owner, title, path)) {
        path = *chosen;
        field.setText(QString::fromStdString(path));
    }
}
