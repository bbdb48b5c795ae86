#include "platform/Clock.h"

#include <ctime>

namespace platform {

namespace {

SYSTEMTIME FromTm(const std::tm& tm, std::uint16_t milliseconds) {
    SYSTEMTIME st;
    st.wYear = static_cast<std::uint16_t>(tm.tm_year + 1900);
    st.wMonth = static_cast<std::uint16_t>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    st.wDay = static_cast<std::uint16_t>(tm.tm_mday);
    st.wHour = static_cast<std::uint16_t>(tm.tm_hour);
    st.wMinute = static_cast<std::uint16_t>(tm.tm_min);
    st.wSecond = static_cast<std::uint16_t>(tm.tm_sec);
    st.wMilliseconds = milliseconds;
    return st;
}

// The calendar fields of a stamp, for mktime() or timegm().
std::tm ToTm(const SYSTEMTIME& st) {
    std::tm tm{};
    tm.tm_year = st.wYear - 1900;
    tm.tm_mon = st.wMonth - 1;
    tm.tm_mday = st.wDay;
    tm.tm_hour = st.wHour;
    tm.tm_min = st.wMinute;
    tm.tm_sec = st.wSecond;
    return tm;
}

} // namespace

SYSTEMTIME SystemClock::LocalNow() {
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    return LocalTimeFromCalendar(ts.tv_sec, static_cast<std::uint16_t>(ts.tv_nsec / 1'000'000));
}

void ManualClock::AdvanceSeconds(std::int64_t seconds) {
    m_now = LocalTimeFromCalendar(CalendarSeconds(m_now) + seconds, m_now.wMilliseconds);
}

std::int64_t CalendarSeconds(const SYSTEMTIME& local) {
    if (local.wYear < 1900) {
        return 0;
    }
    std::tm tm = ToTm(local);
    tm.tm_isdst = -1; // let the zone's rule decide
    return static_cast<std::int64_t>(std::mktime(&tm));
}

std::int64_t UtcCalendarSeconds(const SYSTEMTIME& utc) {
    std::tm tm = ToTm(utc);
    return static_cast<std::int64_t>(::timegm(&tm));
}

SYSTEMTIME UtcTimeFromCalendar(std::int64_t seconds, std::uint16_t milliseconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr) {
        return SYSTEMTIME{};
    }
    return FromTm(tm, milliseconds);
}

SYSTEMTIME LocalTimeFromCalendar(std::int64_t seconds, std::uint16_t milliseconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        return SYSTEMTIME{};
    }
    return FromTm(tm, milliseconds);
}

} // namespace platform
