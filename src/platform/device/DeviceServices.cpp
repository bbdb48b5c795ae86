#include "platform/device/DeviceServices.h"

#include "platform/Chime.h"
#include "platform/DesktopId.h"
#include "platform/NmeaReplaySource.h"
#include "platform/device/DefaultGpsSource.h"
#include "platform/device/GeoclueSource.h"
#include "platform/device/GpsdSource.h"
#include "platform/device/SerialSource.h"

#include <charconv>
#include <cstdlib>

namespace platform::device {

namespace {

constexpr std::string_view kGpsdScheme = "gpsd://";
constexpr std::string_view kNmeaScheme = "nmea:";
constexpr std::string_view kSerialScheme = "serial:";
constexpr std::string_view kGpsdPort = "2947";
constexpr unsigned kSerialBaud = 9600;

// "PATH" or "PATH@BAUD".
std::unique_ptr<GpsSource> MakeSerialSource(std::string_view setting, std::string& error) {
    std::string_view path = setting.substr(kSerialScheme.size());
    unsigned baud = kSerialBaud;
    if (const auto at = path.rfind('@'); at != std::string_view::npos) {
        const auto digits = path.substr(at + 1);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() ||
            !SerialSource::SupportedBaud(value)) {
            error = "AMBULO_GPS=" + std::string(setting) +
                    ": the speed must be one of 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";
            return nullptr;
        }
        baud = value;
        path = path.substr(0, at);
    }
    if (path.empty()) {
        error = "AMBULO_GPS=" + std::string(setting) + ": expected serial:DEVICE or serial:DEVICE@BAUD";
        return nullptr;
    }
    return std::make_unique<SerialSource>(std::string(path), baud);
}

} // namespace

std::unique_ptr<GpsSource> MakeGpsSource(std::string_view setting, std::string& error) {
    if (setting.empty()) {
        return std::make_unique<DefaultGpsSource>(
            std::make_unique<GpsdSource>("localhost", std::string(kGpsdPort)),
            std::make_unique<GeoclueSource>(std::string(kDesktopId)));
    }
    if (setting == "gpsd") {
        return std::make_unique<GpsdSource>("localhost", std::string(kGpsdPort));
    }
    if (setting == "geoclue") {
        return std::make_unique<GeoclueSource>(std::string(kDesktopId));
    }
    if (setting.starts_with(kSerialScheme)) {
        return MakeSerialSource(setting, error);
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
    error = "AMBULO_GPS=" + std::string(setting) +
            ": use gpsd, gpsd://HOST:PORT, geoclue, serial:DEVICE[@BAUD] or nmea:PATH";
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
