#include "platform/device/GpsdSource.h"

#include "platform/Clock.h"

#include <gps.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <set>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::device {

namespace {

using Clock = std::chrono::steady_clock;

// How long a connect may take before gpsd counts as unreachable, and how long a failed open keeps
// the next one away.
constexpr std::chrono::milliseconds kConnectTimeout{500};
constexpr std::chrono::seconds kRetryInterval{1};

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

// Whether a TCP connection to host:port can be made within the timeout. libgps connects with a
// blocking connect, which an unreachable host would hold for minutes; this check keeps that off the
// screen's thread.
bool Reachable(const std::string& host, const std::string& port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) {
        return false;
    }
    bool reachable = false;
    for (addrinfo* a = found; a != nullptr && !reachable; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            reachable = true;
        } else if (errno == EINPROGRESS) {
            pollfd pfd{fd, POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            reachable = ::poll(&pfd, 1, static_cast<int>(kConnectTimeout.count())) == 1 &&
                        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return reachable;
}

bool IsSet(const timespec& t) {
    return t.tv_sec != 0 || t.tv_nsec != 0;
}

// A TPV report as our fix record; nothing valid unless gpsd has a 2D or 3D fix.
GPS_POSITION FixOf(const gps_fix_t& fix) {
    GPS_POSITION position;
    if (fix.mode < MODE_2D) {
        return position;
    }
    if (IsSet(fix.time)) {
        position.stUTCTime =
            UtcTimeFromCalendar(fix.time.tv_sec, static_cast<std::uint16_t>(fix.time.tv_nsec / 1'000'000));
        position.dwValidFields |= GPS_VALID_UTC_TIME;
    }
    if (std::isfinite(fix.latitude) && std::isfinite(fix.longitude)) {
        position.dblLatitude = fix.latitude;
        position.dblLongitude = fix.longitude;
        position.dwValidFields |= GPS_VALID_LATITUDE | GPS_VALID_LONGITUDE;
    }
    if (std::isfinite(fix.speed)) {
        position.flSpeed = static_cast<float>(fix.speed * kKnotsPerMetrePerSecond);
        position.dwValidFields |= GPS_VALID_SPEED;
    }
    if (std::isfinite(fix.altMSL)) {
        position.flAltitudeWRTSeaLevel = static_cast<float>(fix.altMSL);
        position.dwValidFields |= GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
    }
    if (std::isfinite(fix.altHAE)) {
        position.flAltitudeWRTEllipsoid = static_cast<float>(fix.altHAE);
        position.dwValidFields |= GPS_VALID_ALTITUDE_WRT_ELLIPSOID;
    }
    return position;
}

class GpsdConnection final : public GpsConnection {
public:
    GpsdConnection(const gps_data_t& data, GpsdSource::SteadyNow now) : m_data(data), m_now(std::move(now)) {}
    ~GpsdConnection() override { Close(); }
    GpsdConnection(const GpsdConnection&) = delete;
    GpsdConnection& operator=(const GpsdConnection&) = delete;

    bool Close() override {
        if (!m_open) {
            return true;
        }
        m_open = false;
        return ::gps_close(&m_data) == 0;
    }

    bool GetDeviceState(GPS_DEVICE& device) override {
        if (!Drain()) {
            return false;
        }
        device.dwServiceState = GPS_STATE_ON;
        device.dwDeviceState = m_activeDevices.empty() ? 0 : GPS_STATE_ON;
        return true;
    }

    bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) override {
        if (!Drain()) {
            return false;
        }
        const bool fresh = m_fixReceived && m_now() - *m_fixReceived <= std::chrono::milliseconds(maxAgeMs);
        position = fresh ? m_fix : GPS_POSITION{};
        return true;
    }

private:
    // Takes every complete report gpsd has sent, without waiting for more. False when the
    // connection is gone.
    bool Drain() {
        if (!m_open) {
            return false;
        }
        char message[8192]; // enough to tell the class of any report
        while (::gps_waiting(&m_data, 0)) {
            errno = 0;
            const int read = ::gps_read(&m_data, message, sizeof message);
            if (read < 0) {
                // Older libgps reports a socket with nothing more to read as an error too.
                return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
            }
            if (read == 0) {
                return true; // only part of a report so far
            }
            Take(message);
        }
        return true;
    }

    void Take(std::string_view message) {
        if (message.find(R"("class":"TPV")") != std::string_view::npos) {
            m_fix = FixOf(m_data.fix);
            m_fixReceived = m_now();
        } else if (message.find(R"("class":"DEVICES")") != std::string_view::npos) {
            m_activeDevices.clear();
            for (int i = 0; i < m_data.devices.ndevices && i < MAXUSERDEVS; ++i) {
                if (IsSet(m_data.devices.list[i].activated)) {
                    m_activeDevices.insert(m_data.devices.list[i].path);
                }
            }
        } else if (message.find(R"("class":"DEVICE")") != std::string_view::npos) {
            // A device that gpsd closed comes back without an activation time.
            if (IsSet(m_data.dev.activated)) {
                m_activeDevices.insert(m_data.dev.path);
            } else {
                m_activeDevices.erase(m_data.dev.path);
            }
        }
    }

    gps_data_t m_data;
    GpsdSource::SteadyNow m_now;
    bool m_open = true;
    std::set<std::string> m_activeDevices;
    GPS_POSITION m_fix;
    std::optional<Clock::time_point> m_fixReceived;
};

} // namespace

GpsdSource::GpsdSource(std::string host, std::string port, SteadyNow now)
    : m_host(std::move(host)), m_port(std::move(port)), m_now(std::move(now)) {}

std::unique_ptr<GpsConnection> GpsdSource::Open() {
    if (m_lastFailure && m_now() - *m_lastFailure < kRetryInterval) {
        return nullptr;
    }
    gps_data_t data{};
    if (!Reachable(m_host, m_port) || ::gps_open(m_host.c_str(), m_port.c_str(), &data) != 0) {
        m_lastFailure = m_now();
        return nullptr;
    }
    // From here on no read may wait for gpsd.
    ::fcntl(data.gps_fd, F_SETFL, ::fcntl(data.gps_fd, F_GETFL) | O_NONBLOCK);
    if (::gps_stream(&data, WATCH_ENABLE | WATCH_JSON, nullptr) != 0 || ::gps_send(&data, "?DEVICES;") != 0) {
        ::gps_close(&data);
        m_lastFailure = m_now();
        return nullptr;
    }
    m_lastFailure.reset();
    return std::make_unique<GpsdConnection>(data, m_now);
}

} // namespace platform::device
