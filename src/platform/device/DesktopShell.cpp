#include "platform/device/DesktopShell.h"

#include <QDesktopServices>

namespace platform::device {

std::optional<QUrl> DesktopShell::UrlFor(const DeviceRoot& root, std::string_view devicePath) {
    const auto host = root.ToHost(devicePath);
    if (!host) {
        return std::nullopt;
    }
    return QUrl::fromLocalFile(QString::fromStdString(host->string()));
}

void DesktopShell::Open(std::string_view devicePath) {
    if (const auto url = UrlFor(m_root, devicePath)) {
        QDesktopServices::openUrl(*url);
    }
}

} // namespace platform::device
