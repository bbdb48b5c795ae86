#pragma once

#include "platform/File.h"

#include <string>
#include <string_view>

// printf-style formatting that always uses the "C" locale, whatever the process locale is, so that
// files and screen texts read the same on every machine ("%f" always writes a ".").
std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Elapsed time as the screen shows it: "h:mm:ss " with a trailing blank.
std::string ElapsedText(int seconds);

// Average speed in km/h over some metres and seconds, "%.01f"; a time of zero gives "0.0" rather
// than a division by zero.
std::string AverageSpeedText(double metres, double seconds);

// UTF-16LE byte-order mark that opens each of the program's text files.
inline constexpr std::string_view kUtf16Bom = "\xFF\xFE";

// Writes UTF-8 text to a file as UTF-16LE.
bool WriteUtf16(platform::File& file, std::string_view utf8);
