#pragma once

#include "platform/SystemTime.h"

#include <cstdint>

namespace platform {

// Source of the device's local time. The program asks it once a tick; tests and the replay tool
// substitute a clock they set themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual SYSTEMTIME LocalNow() = 0;
};

class SystemClock final : public Clock {
public:
    SYSTEMTIME LocalNow() override;
};

// A clock that stands still until told otherwise.
class ManualClock final : public Clock {
public:
    explicit ManualClock(const SYSTEMTIME& start) : m_now(start) {}
    SYSTEMTIME LocalNow() override { return m_now; }
    void Set(const SYSTEMTIME& now) { m_now = now; }
    // Moves the clock by whole seconds along the local calendar (daylight saving included).
    void AdvanceSeconds(std::int64_t seconds);

private:
    SYSTEMTIME m_now;
};

// Seconds since the epoch of a local calendar time (milliseconds and day of week ignored, out-of-range
// fields normalised, daylight saving by the zone's rule). A year before 1900 gives 0.
std::int64_t CalendarSeconds(const SYSTEMTIME& local);

// Seconds since the epoch of a UTC calendar time (milliseconds and day of week ignored).
std::int64_t UtcCalendarSeconds(const SYSTEMTIME& utc);

// The UTC calendar time of a count of seconds since the epoch, with the day of week filled.
SYSTEMTIME UtcTimeFromCalendar(std::int64_t seconds, std::uint16_t milliseconds = 0);

// The local calendar time of a count of seconds since the epoch, with the day of week filled.
SYSTEMTIME LocalTimeFromCalendar(std::int64_t seconds, std::uint16_t milliseconds = 0);

} // namespace platform
