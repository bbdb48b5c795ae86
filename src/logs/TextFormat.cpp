#include "logs/TextFormat.h"

#include "platform/TextCodec.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale() and uselocale() are POSIX

namespace {

// The "C" locale, made once; uselocale() switches only the calling thread to it and back.
locale_t CLocale() {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::string CFormat(const char* format, ...) {
    const locale_t previous = ::uselocale(CLocale());
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(length));
    } else if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    ::uselocale(previous);
    return text;
}

int Truncated(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

std::string ElapsedText(int seconds) {
    return CFormat("%d:%02d:%02d ", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

std::string AverageSpeedText(double metres, double seconds) {
    if (seconds == 0.0) {
        return "0.0";
    }
    return CFormat("%.01f", metres * 3.6 / seconds);
}

bool WriteUtf16(platform::File& file, std::string_view utf8) {
    return file.Write(platform::Utf8ToUtf16Le(utf8));
}
