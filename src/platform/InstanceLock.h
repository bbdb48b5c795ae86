#pragma once

#include "platform/DeviceRoot.h"
#include "platform/Translate.h"

namespace platform {

// One program per device root: an advisory lock on a file in the program folder. The kernel lets
// go of it when its holder ends in any way, so a crash never leaves a stale lock behind.
class InstanceLock {
public:
    enum class State {
        Held,      // this program holds the root
        Taken,     // another program holds it
        Unlockable // the lock file cannot be made (a read-only root): nothing to guard
    };

    explicit InstanceLock(const DeviceRoot& root);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return m_state; }

private:
    int m_fd = -1;
    State m_state = State::Unlockable;
};

// What a second program says before it ends.
inline constexpr const char* kAlreadyRunningText = AMBULO_TR_NOOP("Ambulo", "Ambulo は既に起動しています。");

} // namespace platform
