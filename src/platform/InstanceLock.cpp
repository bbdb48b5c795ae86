#include "platform/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

// The lock file beside the settings; its contents mean nothing.
constexpr std::string_view kLockFile = "ambl.lock";

} // namespace

InstanceLock::InstanceLock(const DeviceRoot& root) {
    const auto host = root.ToHost(std::string(kProgramFolder) + std::string(kLockFile));
    if (!host) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(host->parent_path(), ec);
    do {
        // Close-on-exec: a program the desktop opens for us must not inherit the lock.
        m_fd = ::open(host->c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        return;
    }
    int rc = 0;
    do {
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_state = State::Held;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::Taken : State::Unlockable;
    ::close(m_fd);
    m_fd = -1;
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

} // namespace platform
