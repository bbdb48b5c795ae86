#include "platform/device/SerialSource.h"

#include "platform/Nmea.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace platform::device {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kReopenInterval{1};
// A sentence is at most 82 characters; a longer run without a line end is noise (a wrong speed).
constexpr std::size_t kLongestLine = 1024;

constexpr std::array<std::pair<unsigned, speed_t>, 8> kSpeeds{{{1200, B1200},
                                                               {2400, B2400},
                                                               {4800, B4800},
                                                               {9600, B9600},
                                                               {19200, B19200},
                                                               {38400, B38400},
                                                               {57600, B57600},
                                                               {115200, B115200}}};

// The line opened for reading raw 8N1 bytes at the speed, or -1.
int OpenLine(const std::string& path, unsigned baud) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    termios tio{};
    speed_t speed = B9600;
    for (const auto& [rate, constant] : kSpeeds) {
        if (rate == baud) {
            speed = constant;
        }
    }
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return -1; // not a terminal line
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    // VMIN 1: with nothing to read, a read says EAGAIN, and 0 only when the line hung up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

class SerialConnection final : public GpsConnection {
public:
    SerialConnection(int fd, const SerialSource& source, SerialSource::SteadyNow now)
        : m_fd(fd), m_source(source), m_now(std::move(now)) {}
    ~SerialConnection() override { Close(); }
    SerialConnection(const SerialConnection&) = delete;
    SerialConnection& operator=(const SerialConnection&) = delete;

    bool Close() override {
        m_open = false;
        Hangup();
        return true;
    }

    bool GetDeviceState(GPS_DEVICE& device) override {
        if (!m_open) {
            return false;
        }
        Pump();
        device.dwServiceState = GPS_STATE_ON;
        device.dwDeviceState = m_fd >= 0 ? GPS_STATE_ON : 0;
        return true;
    }

    bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) override {
        if (!m_open) {
            return false;
        }
        Pump();
        const bool fresh = m_fixReceived && m_now() - *m_fixReceived <= std::chrono::milliseconds(maxAgeMs);
        position = fresh ? m_fix : GPS_POSITION{};
        return true;
    }

private:
    // Takes what the line has delivered, or opens it again when it is due.
    void Pump() {
        if (m_fd < 0) {
            if (m_now() - m_hungUp < kReopenInterval) {
                return;
            }
            m_fd = OpenLine(m_source.Path(), m_source.Baud());
            m_hungUp = m_now();
            if (m_fd < 0) {
                return;
            }
        }
        char buffer[4096];
        while (true) {
            const auto got = ::read(m_fd, buffer, sizeof buffer);
            if (got > 0) {
                Take(std::string_view(buffer, static_cast<std::size_t>(got)));
            } else if (got < 0 && errno == EINTR) {
                continue;
            } else {
                if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                    Hangup(); // unplugged, or the other end of the line went away
                }
                return;
            }
        }
    }

    void Take(std::string_view bytes) {
        m_partial.append(bytes);
        const auto end = m_partial.rfind('\n');
        if (end == std::string::npos) {
            if (m_partial.size() > kLongestLine) {
                m_partial.clear();
            }
            return;
        }
        const std::string_view complete(m_partial.data(), end + 1);
        std::size_t start = 0;
        while (start < complete.size()) {
            const auto next = complete.find('\n', start) + 1;
            TakeLine(complete.substr(start, next - start));
            start = next;
        }
        m_partial.erase(0, end + 1);
    }

    // The reader decides what a line means; a line it makes no epoch of is of no use here. The
    // text of the current epoch is kept until a sentence of another time begins the next one.
    void TakeLine(std::string_view line) {
        if (ParseNmeaEpochs(line).empty()) {
            return;
        }
        auto epochs = ParseNmeaEpochs(m_epoch + std::string(line));
        if (epochs.size() > 1) {
            m_epoch = line;
            epochs = ParseNmeaEpochs(m_epoch);
        } else {
            m_epoch += line;
        }
        m_fix = epochs.back();
        m_fixReceived = m_now();
    }

    void Hangup() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
            m_hungUp = m_now();
        }
        m_partial.clear();
        m_epoch.clear();
        m_fixReceived.reset();
    }

    int m_fd;
    const SerialSource& m_source;
    SerialSource::SteadyNow m_now;
    bool m_open = true;
    Clock::time_point m_hungUp{};
    std::string m_partial; // bytes after the last line end
    std::string m_epoch;   // the lines of the epoch being received
    GPS_POSITION m_fix;
    std::optional<Clock::time_point> m_fixReceived;
};

} // namespace

SerialSource::SerialSource(std::string path, unsigned baud, SteadyNow now)
    : m_path(std::move(path)), m_baud(baud), m_now(std::move(now)) {}

std::optional<unsigned> SerialSource::SupportedBaud(unsigned baud) {
    for (const auto& [rate, constant] : kSpeeds) {
        if (rate == baud) {
            return rate;
        }
    }
    return std::nullopt;
}

std::unique_ptr<GpsConnection> SerialSource::Open() {
    const int fd = OpenLine(m_path, m_baud);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<SerialConnection>(fd, *this, m_now);
}

std::string SerialSource::Describe() const {
    return m_path + " " + std::to_string(m_baud) + " bps";
}

} // namespace platform::device
