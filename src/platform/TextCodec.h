#pragma once

#include <string>
#include <string_view>

namespace platform {

// Text inside the program is UTF-8; UTF-16 little-endian appears only at file boundaries.
// Malformed input never fails a conversion: each bad sequence becomes U+FFFD.

// UTF-8 text to UTF-16LE bytes (no byte-order mark).
std::string Utf8ToUtf16Le(std::string_view utf8);
// UTF-16LE bytes (no byte-order mark) to UTF-8; an odd last byte counts as malformed.
std::string Utf16LeToUtf8(std::string_view utf16le);
// Bytes in the Japanese handheld code page (CP932, Shift_JIS with Microsoft's extensions) to UTF-8.
// Where the system offers no CP932 converter, the bytes are read as Latin-1.
std::string Cp932ToUtf8(std::string_view bytes);

} // namespace platform
