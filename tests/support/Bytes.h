#pragma once

#include <string>
#include <string_view>

// The UTF-16LE bytes of a text, as the program's text files hold it; written out here rather than
// taken from the converter under test.
inline std::string Le(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text) {
        bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    }
    return bytes;
}
