#include "platform/device/QtSound.h"

#include <QFileInfo>
#include <QUrl>

namespace platform::device {

void QtSound::Play(std::string_view devicePath) {
    const auto host = m_root.ToHost(devicePath);
    if (!host || !QFileInfo(QString::fromStdString(host->string())).isFile()) {
        return;
    }
    auto found = m_effects.find(devicePath);
    if (found == m_effects.end()) {
        auto effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(QString::fromStdString(host->string())));
        found = m_effects.emplace(std::string(devicePath), std::move(effect)).first;
    }
    found->second->play(); // plays once loaded; errors leave it quiet
}

} // namespace platform::device
