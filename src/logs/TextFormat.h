#pragma once

#include "platform/File.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

// printf-style formatting that always uses the "C" locale, whatever the process locale is, so that
// files and screen texts read the same on every machine ("%f" always writes a ".").
std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A double truncated toward zero for "%d" texts; saturates instead of overflowing, NaN gives 0.
int Truncated(double value);

// atoi without its undefined overflow, for text in files: leading blanks, an optional sign,
// digits; out-of-range values stick at the int limits, text without digits gives 0. Works on
// UTF-8 and on UTF-16 text alike.
template <typename Char> int LeadingIntOf(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    constexpr long long kLimit = std::numeric_limits<int>::max() + 1LL;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    }
    return static_cast<int>(std::clamp(negative ? -value : value,
                                       static_cast<long long>(std::numeric_limits<int>::min()),
                                       static_cast<long long>(std::numeric_limits<int>::max())));
}
inline int LeadingInt(std::string_view text) {
    return LeadingIntOf(text);
}
inline int LeadingInt(std::u16string_view text) {
    return LeadingIntOf(text);
}

// Elapsed time as the screen shows it: "h:mm:ss " with a trailing blank.
std::string ElapsedText(int seconds);

// Average speed in km/h over some metres and seconds, "%.01f"; a time of zero gives "0.0" rather
// than a division by zero.
std::string AverageSpeedText(double metres, double seconds);

// UTF-16LE byte-order mark that opens each of the program's text files.
inline constexpr std::string_view kUtf16Bom = "\xFF\xFE";

// Writes UTF-8 text to a file as UTF-16LE.
bool WriteUtf16(platform::File& file, std::string_view utf8);
