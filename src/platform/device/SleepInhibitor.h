#pragma once

#include "platform/Power.h"

#include <QDBusUnixFileDescriptor>
#include <QString>

#include <chrono>

namespace platform::device {

// Holds off suspend and idle power-off (the screen may still blank) with an inhibitor. First the
// desktop portal on the session bus (org.freedesktop.portal.Inhibit, flag suspend), which GNOME,
// KDE, Phosh and sandboxes offer; where it fails in any way, logind on the system bus
// (Inhibit "sleep:idle" in mode "block"), whose inhibitor lives as long as its descriptor.
// The calls wait at most the timeout; they come only when the program's need changes.
class SleepInhibitor final : public Power {
public:
    explicit SleepInhibitor(std::chrono::milliseconds timeout = std::chrono::milliseconds(500));
    ~SleepInhibitor() override;
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    void KeepAwake(bool on) override;

private:
    bool Held() const;
    bool TakeFromPortal();
    bool TakeFromLogind();
    void Release();

    int m_timeoutMs;
    int m_nextToken = 0;
    QString m_portalRequest;            // the portal's request object while it holds the machine
    QDBusUnixFileDescriptor m_logindFd; // the one copy of logind's descriptor while it holds it
};

} // namespace platform::device
