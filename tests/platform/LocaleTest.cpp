#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "platform/Translate.h"

#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace std::string_literals;
using platform::SYSTEMTIME;

namespace {

std::map<std::string, std::string> g_environment;

char* Lookup(const char* name) {
    const auto found = g_environment.find(name);
    return found == g_environment.end() ? nullptr : found->second.data();
}

} // namespace

TEST(UiLanguage, FollowsTheLocaleVariablesInGettextOrder) {
    using platform::UiLanguage;
    const std::pair<std::map<std::string, std::string>, UiLanguage> cases[] = {
        {{}, UiLanguage::Japanese}, // nothing set: the C locale
        {{{"LANG", "C"}}, UiLanguage::Japanese},
        {{{"LANG", "C.UTF-8"}}, UiLanguage::Japanese},
        {{{"LANG", "POSIX"}}, UiLanguage::Japanese},
        {{{"LANG", "en_US.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "jam_JM"}}, UiLanguage::English},
        {{{"LANG", ""}, {"LC_MESSAGES", "fr_FR.UTF-8"}}, UiLanguage::English},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, UiLanguage::Japanese},
        {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, UiLanguage::English},
        {{{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, UiLanguage::Japanese},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja"}}, UiLanguage::Japanese},
        {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en_GB:ja"}}, UiLanguage::English},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ":"}}, UiLanguage::English},
        {{{"LANG", "C"}, {"LANGUAGE", "en"}}, UiLanguage::Japanese}, // LANGUAGE ignored under C
    };
    for (const auto& [environment, expected] : cases) {
        g_environment = environment;
        EXPECT_EQ(platform::ChooseUiLanguage(&Lookup), expected) << testing::PrintToString(environment);
    }
}

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

TEST(TextCodec, ConvertsUtf8Utf16LeAndCp932AndMarksWhatIsMalformed) {
    // "A", "ア" (U+30A2), and "𝄞" (U+1D11E, a surrogate pair D834 DD1E).
    const std::string utf8 = "A\xE3\x82\xA2\xF0\x9D\x84\x9E";
    const std::string utf16 = "A\0\xA2\x30\x34\xD8\x1E\xDD"s;
    EXPECT_EQ(platform::Utf8ToUtf16Le(utf8), utf16);
    EXPECT_EQ(platform::Utf16LeToUtf8(utf16), utf8);
    EXPECT_EQ(platform::Utf8ToUtf16Le(""), "");

    const std::string replacement = "\xEF\xBF\xBD";
    // A lone low surrogate, then an odd trailing byte.
    EXPECT_EQ(platform::Utf16LeToUtf8("\x1E\xDD\x41\0\x42"s), replacement + "A" + replacement);
    // A lone high surrogate at the end.
    EXPECT_EQ(platform::Utf16LeToUtf8("\x34\xD8"s), replacement);
    // A stray continuation byte, an overlong "/" and a truncated sequence.
    EXPECT_EQ(platform::Utf8ToUtf16Le("\x80\x61"), "\xFD\xFF\x61\0"s);
    EXPECT_EQ(platform::Utf8ToUtf16Le("\xC0\xAF"), "\xFD\xFF\xFD\xFF"s);
    EXPECT_EQ(platform::Utf8ToUtf16Le("\xE3\x82"), "\xFD\xFF\xFD\xFF"s);

    // "ログ" in Shift_JIS, a half-width katakana "ｱ", and "①" (87 40), which only CP932 has.
    EXPECT_EQ(platform::Cp932ToUtf8("\x83\x8D\x83\x4F"), "ログ");
    EXPECT_EQ(platform::Cp932ToUtf8("\xB1"), "ｱ");
    EXPECT_EQ(platform::Cp932ToUtf8("\x87\x40"), "①");
    EXPECT_EQ(platform::Cp932ToUtf8("My Documents\\"), "My Documents\\");
    // A lead byte without its trail byte is marked, and the text after it survives.
    EXPECT_EQ(platform::Cp932ToUtf8("\x83"), "\xEF\xBF\xBD");
}
