#include "platform/device/DesktopShell.h"

#include <QDesktopServices>

namespace platform::device {

std::optional<QUrl> DesktopShell::UrlFor(const DeviceRoot& root, std::string_view devicePath) {
    // A page may be opened at an anchor: "…\\ambl_readme.htm#en". No device file name has a '#'.
    const std::size_t hash = devicePath.find('#');
    const auto host = root.ToHost(devicePath.substr(0, hash));
    if (!host) {
        return std::nullopt;
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(host->string()));
    if (hash != std::string_view::npos) {
        const std::string_view fragment = devicePath.substr(hash + 1);
        url.setFragment(QString::fromUtf8(fragment.data(), static_cast<qsizetype>(fragment.size())));
    }
    return url;
}

void DesktopShell::Open(std::string_view devicePath) {
    if (const auto url = UrlFor(m_root, devicePath)) {
        QDesktopServices::openUrl(*url);
    }
}

} // namespace platform::device
