#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reading and showing the numbers of the settings fields, without any widget: a field's text goes
// in, the value or the message that refuses it comes out.

inline constexpr std::string_view kEnterNumber = "Please enter a number.";
inline constexpr std::string_view kEnterNumberBetween = "Please enter a number between %1 and %2.";
inline constexpr std::string_view kEnterInteger = "Please enter an integer.";
inline constexpr std::string_view kEnterIntegerBetween = "Please enter an integer between %1 and %2.";

// The intervals of the checkpoints and of the pitch sound: a zero or negative one would fire on
// every fix.
inline constexpr int kMaxIntervalSeconds = 86400; // a day
inline constexpr int kMaxIntervalMetres = 100000;

// Up to 15 significant digits in the shortest form: 60 shows as "60", 62.5 as "62.5".
std::string FormatNumber(double value);

// The number at the start of the text, after optional blanks; what follows it is ignored, so
// "62kg" reads as 62. Nothing when the text does not begin with a number.
std::optional<double> LeadingNumber(std::string_view text);
// The same for a decimal integer; digit strings beyond the int range stop at its ends.
std::optional<int> LeadingInteger(std::string_view text);

// Reads a number field limited to [min, max]: the message to show, or an empty string when the
// value was read into value (which is left alone otherwise).
std::string ReadNumber(std::string_view text, double min, double max, double& value);
// Reads an integer field, which has no range: the message to show, or empty when read.
std::string ReadInteger(std::string_view text, int& value);
// Reads an integer field limited to [min, max]; digits beyond the int range count as outside it.
std::string ReadInteger(std::string_view text, int min, int max, int& value);
