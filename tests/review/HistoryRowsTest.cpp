#include "review/HistoryRows.h"

#include "support/Bytes.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::SYSTEMTIME;

constexpr SYSTEMTIME kJan15{2008, 1, 2, 15, 10, 0, 0, 0};

// A history log as the finish sequence writes it, header first.
std::vector<HistoryEntry> Load(TempRoot& temp, std::u16string_view lines) {
    temp.WriteHostFile("amblHistory.log",
                       "\xFF\xFE" +
                           Le(u"DataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n") +
                           Le(lines));
    return LoadHistory(temp.root(), "\\").value();
}

class HistoryRowsTest : public ::testing::Test {
protected:
    ScopedEnv tz{"TZ", "Asia/Tokyo"};
    TempRoot temp;
    std::vector<HistoryEntry> entries = Load(temp, u"2008/01/15,07:10:00,3000,1200,150.5\r\n"
                                                   u"2008/01/15,18:30:05,2000,900,100.0\r\n"
                                                   u"2008/01/09,00:00:00,1000,600,50.0\r\n"
                                                   u"2008/01/08,23:59:59,500,300,25.0\r\n"
                                                   u"2007/12/31,12:00:00,4000,3600,200.0\r\n"
                                                   u"2007/07/01,09:00:00,700,100,10.0\r\n"
                                                   u"\r\n");
};

// A row's texts: date, metres, time and kilocalories.
struct Expected {
    std::size_t row;
    const char* texts;
};

void ExpectRows(const HistoryRows& rows, std::size_t count, std::initializer_list<Expected> expected) {
    ASSERT_EQ(rows.Rows().size(), count);
    for (const Expected& e : expected) {
        const auto t = rows.ListTexts(e.row);
        EXPECT_EQ(t[0] + " | " + t[1] + " | " + t[2] + " | " + t[3], e.texts) << "row " << e.row;
    }
}

TEST_F(HistoryRowsTest, EachModeSumsItsPeriods) {
    HistoryRows rows(entries, kJan15);
    EXPECT_EQ(rows.Mode(), HistoryMode::Day);
    // Two workouts on the 15th make one day; the first row is six days before.
    ExpectRows(rows, 7,
               {{0, "2008/01/09 | 1000 | 0:10:00 | 50.0"},
                {1, "2008/01/10 | 0 | 0:00:00 | 0.0"},
                {6, "2008/01/15 | 5000 | 0:35:00 | 250.5"}});
    EXPECT_EQ(rows.Maxima().nMetres, 5000);
    EXPECT_EQ(rows.Maxima().nSeconds, 2100);
    EXPECT_EQ(rows.Maxima().nKcal10, 2505);

    rows.SetMode(HistoryMode::Record);
    ExpectRows(
        rows, 2,
        {{0, "2008/01/15 07:10 | 3000 | 0:20:00 | 150.5"}, {1, "2008/01/15 18:30 | 2000 | 0:15:00 | 100.0"}});

    // Weeks end with the day after the reference; a midnight belongs to the week it opens.
    rows.SetMode(HistoryMode::Week);
    ExpectRows(rows, 7,
               {{0, "2007/11/28～12/05 | 0 | 0:00:00 | 0.0"},
                {4, "2007/12/26～01/02 | 4000 | 1:00:00 | 200.0"},
                {5, "2008/01/02～01/09 | 500 | 0:05:00 | 25.0"},
                {6, "2008/01/09～01/16 | 6000 | 0:45:00 | 300.5"}});

    rows.SetMode(HistoryMode::Month);
    ExpectRows(rows, 7,
               {{0, "2007/07 | 700 | 0:01:40 | 10.0"},
                {5, "2007/12 | 4000 | 1:00:00 | 200.0"},
                {6, "2008/01 | 6500 | 0:50:00 | 325.5"}});
    EXPECT_EQ(rows.Reference(), kJan15);
}

TEST_F(HistoryRowsTest, ArrowsStepByCalendarUnits) {
    HistoryRows rows(entries, kJan15);
    rows.SetMode(HistoryMode::Month);
    rows.StepBack();
    ExpectRows(rows, 7, {{0, "2007/06 | 0 | 0:00:00 | 0.0"}, {6, "2007/12 | 4000 | 1:00:00 | 200.0"}});
    rows.StepForward();
    rows.StepForward();
    ExpectRows(rows, 7, {{6, "2008/02 | 0 | 0:00:00 | 0.0"}});

    rows.SetMode(HistoryMode::Week);
    rows.StepBack(); // from 15 February
    ExpectRows(rows, 7, {{6, "2008/02/02～02/09 | 0 | 0:00:00 | 0.0"}});

    HistoryRows days(entries, SYSTEMTIME{2008, 12, 3, 31, 23, 59, 59, 0});
    days.StepForward();
    ExpectRows(days, 7, {{0, "2008/12/26 | 0 | 0:00:00 | 0.0"}, {6, "2009/01/01 | 0 | 0:00:00 | 0.0"}});
    days.SetMode(HistoryMode::Record);
    days.StepBack();
    EXPECT_EQ(days.Reference(), (SYSTEMTIME{2008, 12, 3, 31, 0, 0, 0, 0}));

    // Months keep the day the user had, cut short only for a month without it.
    HistoryRows months(entries, SYSTEMTIME{2024, 1, 3, 31, 0, 0, 0, 0});
    months.SetMode(HistoryMode::Month);
    for (const int day : {29, 31, 30, 31}) {
        months.StepForward();
        EXPECT_EQ(months.Reference().wDay, day) << "month " << months.Reference().wMonth;
    }
    months.SetMode(HistoryMode::Day);
    months.StepBack(); // another step starts from the day shown
    months.StepBack();
    months.SetMode(HistoryMode::Month);
    months.StepForward();
    EXPECT_EQ(months.Reference().wMonth * 100 + months.Reference().wDay, 629);
}

TEST_F(HistoryRowsTest, EnterDrillsDownToOneWorkout) {
    HistoryRows rows(entries, kJan15);
    rows.SetMode(HistoryMode::Month);
    EXPECT_FALSE(rows.DrillDown(5)); // December 2007: the weeks ending on the 31st
    EXPECT_EQ(rows.Mode(), HistoryMode::Week);
    ExpectRows(rows, 7, {{6, "2007/12/25～01/01 | 4000 | 1:00:00 | 200.0"}});
    EXPECT_FALSE(rows.DrillDown(6)); // that week's own seven days
    EXPECT_EQ(rows.Mode(), HistoryMode::Day);
    ExpectRows(rows, 7, {{0, "2007/12/25 | 0 | 0:00:00 | 0.0"}, {6, "2007/12/31 | 4000 | 1:00:00 | 200.0"}});
    EXPECT_FALSE(rows.DrillDown(6));
    EXPECT_EQ(rows.Mode(), HistoryMode::Record);
    ExpectRows(rows, 1, {{0, "2007/12/31 12:00 | 4000 | 1:00:00 | 200.0"}});
    const auto workout = rows.DrillDown(0);
    ASSERT_TRUE(workout);
    EXPECT_EQ(workout->stStart, (SYSTEMTIME{2007, 12, 0, 31, 12, 0, 0, 0}));
    EXPECT_EQ(rows.Mode(), HistoryMode::Record);
    EXPECT_FALSE(rows.DrillDown(1));

    HistoryRows march(entries, SYSTEMTIME{2008, 3, 0, 20, 0, 0, 0, 0});
    march.SetMode(HistoryMode::Month);
    march.DrillDown(6);
    ExpectRows(march, 7, {{6, "2008/03/25～04/01 | 0 | 0:00:00 | 0.0"}});
    march.DrillDown(0); // 2008/02/12～02/19 opens 12 to 18 February
    ExpectRows(march, 7, {{0, "2008/02/12 | 0 | 0:00:00 | 0.0"}, {6, "2008/02/18 | 0 | 0:00:00 | 0.0"}});
}

TEST_F(HistoryRowsTest, NoWorkoutsGivePlaceholderAndUnitMaxima) {
    HistoryRows rows({}, kJan15);
    EXPECT_EQ(rows.Maxima().nMetres, 1);
    EXPECT_EQ(rows.Maxima().nSeconds, 1);
    EXPECT_EQ(rows.Maxima().nKcal10, 1);
    EXPECT_FALSE(rows.ShowsPlaceholder());
    rows.SetMode(HistoryMode::Record);
    EXPECT_TRUE(rows.ShowsPlaceholder());
    EXPECT_EQ(rows.ListTexts(0)[0], "本日は運動していません");
    EXPECT_FALSE(rows.DrillDown(0));
}

TEST_F(HistoryRowsTest, HugeAndNegativeFiguresNeitherWrapNorSubtract) {
    HistoryRows rows(Load(temp, u"2008/01/15,07:10:00,2147483647,2147483647,1.0\r\n"
                                u"2008/01/15,08:10:00,2147483647,-50,1.0\r\n"),
                     kJan15);
    EXPECT_EQ(rows.Rows()[6].nMetres, 2147483647);
    EXPECT_EQ(rows.Rows()[6].nSeconds, 2147483647);
    EXPECT_EQ(rows.Rows()[6].nKcal10, 20);
}

// Around the changes of daylight saving time in Germany (30 March and 26 October 2008) every day
// appears once, and weeks start at midnight.
TEST(HistoryRowsDst, DaysAndWeeksFollowTheLocalCalendar) {
    ScopedEnv tz("TZ", "Europe/Berlin");
    TempRoot temp;
    const auto entries = Load(temp, u"2008/03/30,10:00:00,1000,60,1.0\r\n"
                                    u"2008/10/23,00:30:00,2000,60,1.0\r\n");
    HistoryRows spring(entries, SYSTEMTIME{2008, 3, 1, 31, 0, 30, 0, 0});
    ExpectRows(spring, 7,
               {{0, "2008/03/25 | 0 | 0:00:00 | 0.0"},
                {5, "2008/03/30 | 1000 | 0:01:00 | 1.0"},
                {6, "2008/03/31 | 0 | 0:00:00 | 0.0"}});
    spring.StepBack();
    ExpectRows(spring, 7, {{5, "2008/03/29 | 0 | 0:00:00 | 0.0"}, {6, "2008/03/30 | 1000 | 0:01:00 | 1.0"}});

    HistoryRows autumn(entries, SYSTEMTIME{2008, 10, 0, 26, 0, 0, 0, 0});
    autumn.StepForward();
    ExpectRows(autumn, 7, {{5, "2008/10/26 | 0 | 0:00:00 | 0.0"}, {6, "2008/10/27 | 0 | 0:00:00 | 0.0"}});
    autumn.StepBack();
    autumn.StepBack();
    ExpectRows(autumn, 7, {{6, "2008/10/25 | 0 | 0:00:00 | 0.0"}});

    HistoryRows weeks(entries, SYSTEMTIME{2008, 10, 3, 29, 0, 0, 0, 0});
    weeks.SetMode(HistoryMode::Week);
    ExpectRows(
        weeks, 7,
        {{5, "2008/10/16～10/23 | 0 | 0:00:00 | 0.0"}, {6, "2008/10/23～10/30 | 2000 | 0:01:00 | 1.0"}});
    weeks.StepForward();
    weeks.DrillDown(5);
    ExpectRows(weeks, 7, {{0, "2008/10/23 | 2000 | 0:01:00 | 1.0"}, {6, "2008/10/29 | 0 | 0:00:00 | 0.0"}});
}

} // namespace
