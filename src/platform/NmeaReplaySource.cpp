#include "platform/NmeaReplaySource.h"

#include "platform/Nmea.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

using std::chrono::seconds;

// A recorded log larger than this (weeks of one-second epochs) is not a log a person recorded.
constexpr std::size_t kMaxLogBytes = 256u << 20;

std::optional<std::string> ReadHostFile(const std::filesystem::path& hostPath, std::string& why) {
    int fd = -1;
    do {
        // Not blocking, so that a FIFO cannot hold the open; only regular files are read.
        fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        why = std::strerror(errno);
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "not a regular file";
    } else if (static_cast<std::uint64_t>(st.st_size) > kMaxLogBytes) {
        why = "larger than 256 MiB";
    } else {
        text.emplace();
        text->reserve(static_cast<std::size_t>(st.st_size));
        char buffer[64 * 1024];
        while (true) {
            const auto got = ::read(fd, buffer, sizeof buffer);
            if (got > 0 && text->size() + static_cast<std::size_t>(got) > kMaxLogBytes) {
                why = "larger than 256 MiB"; // it grew while being read
                text.reset();
                break;
            }
            if (got > 0) {
                text->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0) {
                break;
            } else if (errno != EINTR && errno != EAGAIN) {
                why = std::strerror(errno);
                text.reset();
                break;
            }
        }
    }
    ::close(fd);
    return text;
}

} // namespace

class NmeaReplayConnection final : public GpsConnection {
public:
    explicit NmeaReplayConnection(NmeaReplaySource& source) : m_source(source), m_opened(source.m_now()) {}

    bool Close() override {
        m_open = false;
        return true;
    }

    bool GetDeviceState(GPS_DEVICE& device) override {
        device = GPS_DEVICE{};
        if (m_open) {
            device.dwServiceState = GPS_STATE_ON;
        }
        if (EpochsRemain()) {
            device.dwDeviceState = GPS_STATE_ON;
        }
        return true;
    }

    bool GetPosition(GPS_POSITION& position, std::uint32_t maxAgeMs) override {
        position = GPS_POSITION{};
        if (!m_open) {
            return false;
        }
        const auto& epochs = m_source.m_epochs;
        if (epochs.empty()) {
            return true;
        }
        if (m_source.m_pacing == NmeaReplaySource::Pacing::Manual) {
            // The current epoch was released just now, so it is never too old.
            const auto released = m_source.m_released;
            if (released >= 1 && released <= epochs.size()) {
                position = epochs[released - 1];
            }
            return true;
        }
        const auto elapsed = Elapsed();
        const auto latest = std::min(static_cast<std::size_t>(elapsed / seconds(1)), epochs.size() - 1);
        const auto age = elapsed - seconds(latest);
        if (age <= std::chrono::milliseconds(maxAgeMs)) {
            position = epochs[latest];
        }
        return true;
    }

private:
    std::chrono::steady_clock::duration Elapsed() const {
        // A clock that steps back before the opening counts as no time at all.
        return std::max(m_source.m_now() - m_opened, std::chrono::steady_clock::duration::zero());
    }

    bool EpochsRemain() const {
        const auto count = m_source.m_epochs.size();
        if (count == 0) {
            return false;
        }
        if (m_source.m_pacing == NmeaReplaySource::Pacing::Manual) {
            return m_source.m_released <= count;
        }
        return Elapsed() < seconds(count);
    }

    NmeaReplaySource& m_source;
    std::chrono::steady_clock::time_point m_opened;
    bool m_open = true;
};

NmeaReplaySource::NmeaReplaySource(std::vector<GPS_POSITION> epochs, Pacing pacing, SteadyNow now)
    : m_epochs(std::move(epochs)), m_pacing(pacing), m_now(std::move(now)) {}

std::optional<std::vector<GPS_POSITION>> NmeaReplaySource::LoadFile(const std::filesystem::path& hostPath,
                                                                    std::string* why) {
    std::string reason;
    const auto text = ReadHostFile(hostPath, reason);
    if (!text && why != nullptr) {
        *why = reason;
    }
    if (!text) {
        return std::nullopt;
    }
    return ParseNmeaEpochs(*text);
}

std::unique_ptr<GpsConnection> NmeaReplaySource::Open() {
    return std::make_unique<NmeaReplayConnection>(*this);
}

void NmeaReplaySource::Advance() {
    // Once past the last epoch there is nothing more to release.
    m_released = std::min(m_released + 1, m_epochs.size() + 1);
}

} // namespace platform
