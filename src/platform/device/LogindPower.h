#pragma once

#include "platform/Power.h"

#include <chrono>

namespace platform::device {

// The machine's idle power-off as systemd-logind configures it, and the desktop's idle timer.
// PowerOffTimeoutSeconds reads org.freedesktop.login1.Manager's IdleAction and IdleActionUSec on
// the system bus: the seconds when an action other than "ignore" is set, else -1 (also when
// logind cannot be asked). ResetIdleTimer calls org.freedesktop.ScreenSaver.SimulateUserActivity on
// the session bus where that service exists, without waiting for an answer. Failures are silent
// and every call gives up after the timeout.
class LogindPower final : public Power {
public:
    explicit LogindPower(std::chrono::milliseconds timeout = std::chrono::milliseconds(500));

    int PowerOffTimeoutSeconds() override;
    void ResetIdleTimer() override;

private:
    std::chrono::milliseconds m_timeout;
};

} // namespace platform::device
