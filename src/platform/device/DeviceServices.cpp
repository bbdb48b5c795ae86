#include "platform/device/DeviceServices.h"

#include "platform/Chime.h"
#include "platform/NmeaReplaySource.h"
#include "platform/device/GpsdSource.h"

#include <cstdlib>

namespace platform::device {

namespace {

constexpr std::string_view kGpsdScheme = "gpsd://";
constexpr std::string_view kNmeaScheme = "nmea:";
constexpr std::string_view kGpsdPort = "2947";

} // namespace

std::unique_ptr<GpsSource> MakeGpsSource(std::string_view setting, std::string& error) {
    if (setting.empty() || setting == "gpsd") {
        return std::make_unique<GpsdSource>("localhost", std::string(kGpsdPort));
    }
    if (setting.starts_with(kGpsdScheme)) {
        std::string_view address = setting.substr(kGpsdScheme.size());
        std::string_view port = kGpsdPort;
        // "[::1]:2947" names an IPv6 host; otherwise the port follows the last colon.
        const auto colon = address.rfind(':');
        const auto bracket = address.rfind(']');
        if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
            port = address.substr(colon + 1);
            address = address.substr(0, colon);
        }
        if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
            address = address.substr(1, address.size() - 2);
        }
        if (address.empty() || port.empty()) {
            error = "AMBULO_GPS=" + std::string(setting) + ": expected gpsd://HOST:PORT";
            return nullptr;
        }
        return std::make_unique<GpsdSource>(std::string(address), std::string(port));
    }
    if (setting.starts_with(kNmeaScheme)) {
        const std::string path(setting.substr(kNmeaScheme.size()));
        auto epochs = NmeaReplaySource::LoadFile(path);
        if (!epochs) {
            error = "AMBULO_GPS=" + std::string(setting) + ": cannot read " + path;
            return nullptr;
        }
        return std::make_unique<NmeaReplaySource>(std::move(*epochs), NmeaReplaySource::Pacing::WallClock);
    }
    error = "AMBULO_GPS=" + std::string(setting) + ": use gpsd, gpsd://HOST:PORT or nmea:PATH";
    return nullptr;
}

DeviceServices::DeviceServices(MessageBox& messages, std::unique_ptr<GpsSource> gps)
    : m_root(DeviceRoot::FromEnvironment()), m_messages(messages), m_gps(std::move(gps)), m_sound(m_root),
      m_shell(m_root) {}

std::unique_ptr<DeviceServices> DeviceServices::Create(MessageBox& messages, std::string& error) {
    const char* setting = std::getenv("AMBULO_GPS");
    auto gps = MakeGpsSource(setting != nullptr ? setting : "", error);
    if (!gps) {
        return nullptr;
    }
    std::unique_ptr<DeviceServices> services(new DeviceServices(messages, std::move(gps)));
    InstallChimeIfMissing(services->m_root);
    return services;
}

} // namespace platform::device
