#include "settings/DataExchange.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

// The blanks a formatted read skips before a number.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text from the first non-blank character, with one plus sign taken away (from_chars knows
// only the minus sign). Nothing when the plus sign is followed by another sign.
std::optional<std::string_view> NumberStart(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    text.remove_prefix(i);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return std::nullopt;
        }
    }
    return text;
}

void ReplaceFirst(std::string& text, std::string_view what, std::string_view with) {
    const std::size_t at = text.find(what);
    if (at != std::string::npos) {
        text.replace(at, what.size(), with);
    }
}

} // namespace

std::string FormatNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::optional<double> LeadingNumber(std::string_view text) {
    const auto start = NumberStart(text);
    if (!start) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto result = std::from_chars(start->data(), start->data() + start->size(), value);
    if (result.ec != std::errc() || std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> LeadingInteger(std::string_view text) {
    const auto start = NumberStart(text);
    if (!start) {
        return std::nullopt;
    }
    int value = 0;
    const auto result = std::from_chars(start->data(), start->data() + start->size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return start->front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::string ReadNumber(std::string_view text, double min, double max, double& value) {
    const auto number = LeadingNumber(text);
    if (!number) {
        return std::string(kEnterNumber);
    }
    if (*number < min || *number > max) {
        std::string message(kEnterNumberBetween);
        ReplaceFirst(message, "%1", FormatNumber(min));
        ReplaceFirst(message, "%2", FormatNumber(max));
        return message;
    }
    value = *number;
    return {};
}

std::string ReadInteger(std::string_view text, int& value) {
    return ReadInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), value);
}

std::string ReadInteger(std::string_view text, int min, int max, int& value) {
    const auto number = LeadingInteger(text);
    if (!number) {
        return std::string(kEnterInteger);
    }
    if (*number < min || *number > max) {
        std::string message(kEnterIntegerBetween);
        ReplaceFirst(message, "%1", std::to_string(min));
        ReplaceFirst(message, "%2", std::to_string(max));
        return message;
    }
    value = *number;
    return {};
}
