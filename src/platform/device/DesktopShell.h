#pragma once

#include "platform/DeviceRoot.h"
#include "platform/Shell.h"

#include <QUrl>

#include <optional>

namespace platform::device {

// Opens files with the desktop's handler for their type (QDesktopServices).
class DesktopShell final : public Shell {
public:
    explicit DesktopShell(const DeviceRoot& root) : m_root(root) {}

    void Open(std::string_view devicePath) override;

    // The file URL the desktop is given for a device path; nothing when the path leaves the root.
    static std::optional<QUrl> UrlFor(const DeviceRoot& root, std::string_view devicePath);

private:
    const DeviceRoot& m_root;
};

} // namespace platform::device
