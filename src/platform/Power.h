#pragma once

namespace platform {

// The machine's suspend and idle power-off, which the program holds off while it needs the machine.
class Power {
public:
    virtual ~Power() = default;
    // Holds the machine up (no suspend, no idle power-off) while on; lets it go when off. Asking for
    // the state already held does nothing; a failure is silent, and the next call tries again.
    virtual void KeepAwake(bool on) = 0;
};

// A machine that always grants the hold, counting the real changes.
class ScriptedPower final : public Power {
public:
    void KeepAwake(bool on) override {
        if (on != held) {
            held = on;
            ++changes;
        }
    }

    bool held = false;
    int changes = 0;
};

} // namespace platform
