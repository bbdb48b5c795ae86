#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(TextCodec, ConvertsUtf8Utf16LeAndCp932AndMarksWhatIsMalformed) {
    // "A", "ア" (U+30A2), and "𝄞" (U+1D11E, a surrogate pair D834 DD1E).
    const std::string utf8 = "A\xE3\x82\xA2\xF0\x9D\x84\x9E";
    const std::string utf16 = "A\0\xA2\x30\x34\xD8\x1E\xDD"s;
    EXPECT_EQ(platform::Utf8ToUtf16Le(utf8), utf16);
    EXPECT_EQ(platform::Utf16LeToUtf8(utf16), utf8);

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
