#pragma once

namespace platform {

// The machine's automatic power-off (or suspend-on-idle) and the idle timer that delays it.
class Power {
public:
    virtual ~Power() = default;
    // Seconds of inactivity before the machine powers off by itself, or -1 when it never does or
    // this cannot be read.
    virtual int PowerOffTimeoutSeconds() = 0;
    // Tells the system the user is active, restarting its idle countdown. Failures are silent.
    virtual void ResetIdleTimer() = 0;
};

// A machine with a fixed timeout that counts the idle-timer resets.
class ScriptedPower final : public Power {
public:
    explicit ScriptedPower(int timeoutSeconds = -1) : timeout(timeoutSeconds) {}
    int PowerOffTimeoutSeconds() override { return timeout; }
    void ResetIdleTimer() override { ++resets; }

    int timeout;
    int resets = 0;
};

} // namespace platform
