#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace platform {

// The program's own folder on the device; the settings file, the help page and the pictures live here.
inline constexpr std::string_view kProgramFolder = R"(\Program Files\Ambulo\)";

// The host folder that plays the handheld's single-rooted file system. Device paths such as
// "\My Documents\Ambulo\Log\x.log" (with "\" or "/" as separators) are mapped into it; no device
// path ever leads out of it.
class DeviceRoot {
public:
    explicit DeviceRoot(std::filesystem::path hostFolder);

    // AMBULO_ROOT when set, otherwise $XDG_DATA_HOME/ambulo (~/.local/share/ambulo).
    static DeviceRoot FromEnvironment();

    const std::filesystem::path& HostFolder() const { return m_host; }

    // The host path of a device path, or nothing when the path would climb above the root with
    // "..", or holds a character no host file name can.
    std::optional<std::filesystem::path> ToHost(std::string_view devicePath) const;

private:
    std::filesystem::path m_host;
};

} // namespace platform
