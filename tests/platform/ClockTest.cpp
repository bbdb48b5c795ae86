#include "platform/Clock.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

using platform::SYSTEMTIME;

TEST(Clock, CalendarConversionFillsTheDayOfWeekAndTheManualClockFollowsTheLocalCalendar) {
    std::optional<ScopedEnv> zone(std::in_place, "TZ", "Asia/Tokyo");
    // 2008-01-15 09:30:05 JST is 2008-01-15 00:30:05 UTC, a Tuesday.
    EXPECT_EQ(platform::CalendarSeconds(SYSTEMTIME{2008, 1, 0, 15, 9, 30, 5, 0}), 1200357005);
    EXPECT_EQ(platform::LocalTimeFromCalendar(1200357005, 250), (SYSTEMTIME{2008, 1, 2, 15, 9, 30, 5, 250}));
    EXPECT_EQ(platform::CalendarSeconds(SYSTEMTIME{1899, 12, 0, 31, 23, 59, 59, 0}), 0);

    zone.emplace("TZ", "Europe/Berlin");
    // The clocks went forward from 02:00 to 03:00 on 2026-03-29.
    platform::ManualClock clock(SYSTEMTIME{2026, 3, 0, 29, 1, 59, 59, 0});
    clock.AdvanceSeconds(1);
    EXPECT_EQ(clock.LocalNow(), (SYSTEMTIME{2026, 3, 0, 29, 3, 0, 0, 0}));
    clock.AdvanceSeconds(86400 - 3 * 3600);
    EXPECT_EQ(clock.LocalNow(), (SYSTEMTIME{2026, 3, 1, 30, 0, 0, 0, 0}));
}
