#include "logs/TextFormat.h"
#include "logs/LogPaths.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(TextFormat, NumbersIgnoreTheProcessLocale) {
    const std::string before = CFormat("%f|%.01f|%.1f", 139.5, 12.25, -0.05);
    const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (german == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    EXPECT_EQ(CFormat("%f|%.01f|%.1f", 139.5, 12.25, -0.05), before);
    EXPECT_EQ(before, "139.500000|12.2|-0.1"); // printf's rounding of the stored doubles
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(CFormat("%s", std::string(300, 'x').c_str()).size(), 300U); // beyond the first buffer
}

TEST(TextFormat, ScreenAndFileTexts) {
    EXPECT_EQ(ElapsedText(3725), "1:02:05 ");
    EXPECT_EQ(ElapsedText(600), "0:10:00 ");
    EXPECT_EQ(AverageSpeedText(1234.9, 600), "7.4");
    EXPECT_EQ(AverageSpeedText(50.0, 0), "0.0");
    EXPECT_EQ(RunName({2008, 1, 2, 15, 9, 3, 7, 0}), "20080115-090307");
    EXPECT_EQ(RecordPathForTrackLog("\\a.log\\Log\\20080115-090307.log"),
              "\\a.log\\Log\\20080115-090307.hol");
}
