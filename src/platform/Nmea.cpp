#include "platform/Nmea.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr char kStart = '$';
constexpr char kChecksumMark = '*';

// Field positions, counting the address as field 0 and the time as field 1.
constexpr std::size_t kRmcStatus = 2;
constexpr std::size_t kRmcLatitude = 3;
constexpr std::size_t kRmcSpeed = 7;
constexpr std::size_t kRmcDate = 9;
constexpr std::size_t kGgaLatitude = 2;
constexpr std::size_t kGgaQuality = 6;
constexpr std::size_t kGgaAltitude = 9;
constexpr std::size_t kGgaSeparation = 11;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<unsigned> HexValue(char c) {
    if (IsDigit(c)) {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return std::nullopt;
}

// The value of a run of digits, or nothing when it holds anything else.
std::optional<unsigned> Digits(std::string_view text) {
    unsigned value = 0;
    const auto* const end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// A plain decimal number ("12.5", "-3", ".5"); no exponent, no "inf", whatever the locale.
std::optional<double> Decimal(std::string_view text, bool allowSign) {
    if (allowSign && !text.empty() && (text.front() == '-' || text.front() == '+')) {
        const auto magnitude = Decimal(text.substr(1), false);
        if (!magnitude) {
            return std::nullopt;
        }
        return text.front() == '-' ? -*magnitude : *magnitude;
    }
    bool sawDigit = false;
    bool sawPoint = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc{} || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The sentence between '$' and the checksum, or nothing when the line is no sentence or its
// checksum does not match.
std::optional<std::string_view> SentenceBody(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    if (line.empty() || line.front() != kStart) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const auto mark = line.find(kChecksumMark);
    if (mark == std::string_view::npos) {
        return line;
    }
    const auto body = line.substr(0, mark);
    const auto hex = line.substr(mark + 1);
    if (hex.size() != 2) {
        return std::nullopt;
    }
    const auto high = HexValue(hex[0]);
    const auto low = HexValue(hex[1]);
    if (!high || !low) {
        return std::nullopt;
    }
    unsigned sum = 0;
    for (const char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    if (sum != (*high << 4U | *low)) {
        return std::nullopt;
    }
    return body;
}

enum class SentenceType { Rmc, Gga };

// RMC or GGA from any two-letter talker; anything else is of no use here.
std::optional<SentenceType> TypeOf(std::string_view address) {
    const auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (address.size() != 5 || !isUpper(address[0]) || !isUpper(address[1])) {
        return std::nullopt;
    }
    const auto formatter = address.substr(2);
    if (formatter == "RMC") {
        return SentenceType::Rmc;
    }
    if (formatter == "GGA") {
        return SentenceType::Gga;
    }
    return std::nullopt;
}

class Fields {
public:
    explicit Fields(std::string_view body) {
        std::size_t start = 0;
        while (true) {
            const auto comma = body.find(',', start);
            m_fields.push_back(body.substr(start, comma - start));
            if (comma == std::string_view::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    // A field missing at the end of a short sentence reads as empty.
    std::string_view operator[](std::size_t index) const {
        return index < m_fields.size() ? m_fields[index] : std::string_view{};
    }

private:
    std::vector<std::string_view> m_fields;
};

struct TimeOfDay {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    std::uint32_t InMilliseconds() const {
        return ((hour * 60U + minute) * 60U + second) * 1000U + milliseconds;
    }
};

// "hhmmss" with an optional fraction of a second, which is cut to milliseconds.
std::optional<TimeOfDay> ParseTime(std::string_view text) {
    if (text.size() < 6) {
        return std::nullopt;
    }
    const auto hour = Digits(text.substr(0, 2));
    const auto minute = Digits(text.substr(2, 2));
    const auto second = Digits(text.substr(4, 2));
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    TimeOfDay time{static_cast<std::uint16_t>(*hour), static_cast<std::uint16_t>(*minute),
                   static_cast<std::uint16_t>(*second), 0};
    const auto rest = text.substr(6);
    if (rest.empty()) {
        return time;
    }
    const auto fraction = rest.substr(1);
    if (rest.front() != '.' || !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
        return std::nullopt;
    }
    unsigned scale = 100;
    for (std::size_t i = 0; i < fraction.size() && i < 3; ++i, scale /= 10) {
        time.milliseconds = static_cast<std::uint16_t>(time.milliseconds + (fraction[i] - '0') * scale);
    }
    return time;
}

// "ddmmyy"; two-digit years before 80 are this century's.
std::optional<std::chrono::year_month_day> ParseDate(std::string_view text) {
    if (text.size() != 6) {
        return std::nullopt;
    }
    const auto day = Digits(text.substr(0, 2));
    const auto month = Digits(text.substr(2, 2));
    const auto yy = Digits(text.substr(4, 2));
    if (!day || !month || !yy) {
        return std::nullopt;
    }
    const int year = static_cast<int>(*yy) + (*yy < 80 ? 2000 : 1900);
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{*month},
                                           std::chrono::day{*day}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return date;
}

// "ddmm.mmmm" or "dddmm.mmmm" with its hemisphere letter; southern and western values negative.
std::optional<double> ParseAngle(std::string_view value, std::string_view hemisphere, char positive,
                                 char negative, double limit) {
    if (hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative)) {
        return std::nullopt;
    }
    const auto point = std::min(value.find('.'), value.size());
    if (point < 2) {
        return std::nullopt; // the minutes need their two whole digits
    }
    const auto degreeDigits = value.substr(0, point - 2);
    const auto degrees = degreeDigits.empty() ? std::optional<unsigned>{0} : Digits(degreeDigits);
    const auto minutes = Decimal(value.substr(point - 2), false);
    if (!degrees || !minutes || *minutes >= 60.0) {
        return std::nullopt;
    }
    const double angle = *degrees + *minutes / 60.0;
    if (angle > limit) {
        return std::nullopt;
    }
    return hemisphere[0] == negative ? -angle : angle;
}

struct LatLon {
    std::optional<double> latitude;
    std::optional<double> longitude;
};

LatLon ParseLatLon(const Fields& fields, std::size_t first) {
    return {ParseAngle(fields[first], fields[first + 1], 'N', 'S', 90.0),
            ParseAngle(fields[first + 2], fields[first + 3], 'E', 'W', 180.0)};
}

void SetPosition(GPS_POSITION& position, const LatLon& latLon) {
    if (latLon.latitude) {
        position.dblLatitude = *latLon.latitude;
        position.dwValidFields |= GPS_VALID_LATITUDE;
    }
    if (latLon.longitude) {
        position.dblLongitude = *latLon.longitude;
        position.dwValidFields |= GPS_VALID_LONGITUDE;
    }
}

// The sentences of one epoch, gathered until the time changes.
class Epoch {
public:
    explicit Epoch(std::optional<std::uint32_t> timeKey) : m_timeKey(timeKey) {}

    bool SameTime(std::optional<std::uint32_t> timeKey) const { return timeKey == m_timeKey; }

    void AddRmc(const Fields& fields, const std::optional<TimeOfDay>& time) {
        m_hasRmc = true;
        const auto date = ParseDate(fields[kRmcDate]);
        if (time && date) {
            auto& st = m_position.stUTCTime;
            st.wYear = static_cast<std::uint16_t>(static_cast<int>(date->year()));
            st.wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(date->month()));
            st.wDay = static_cast<std::uint16_t>(static_cast<unsigned>(date->day()));
            st.wDayOfWeek =
                static_cast<std::uint16_t>(std::chrono::weekday{std::chrono::sys_days{*date}}.c_encoding());
            st.wHour = time->hour;
            st.wMinute = time->minute;
            st.wSecond = time->second;
            st.wMilliseconds = time->milliseconds;
            m_position.dwValidFields |= GPS_VALID_UTC_TIME;
        }
        if (fields[kRmcStatus] != "A") {
            return; // a void fix says nothing about where we are
        }
        SetPosition(m_position, ParseLatLon(fields, kRmcLatitude));
        if (const auto speed = Decimal(fields[kRmcSpeed], false)) {
            m_position.flSpeed = static_cast<float>(*speed);
            m_position.dwValidFields |= GPS_VALID_SPEED;
        }
    }

    void AddGga(const Fields& fields) {
        const auto quality = Digits(fields[kGgaQuality]);
        if (!quality || *quality == 0) {
            return; // no fix
        }
        m_ggaLatLon = ParseLatLon(fields, kGgaLatitude);
        const auto altitude = Decimal(fields[kGgaAltitude], true);
        if (!altitude) {
            return;
        }
        m_position.flAltitudeWRTSeaLevel = static_cast<float>(*altitude);
        m_position.dwValidFields |= GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
        if (const auto separation = Decimal(fields[kGgaSeparation], true)) {
            m_position.flAltitudeWRTEllipsoid = static_cast<float>(*altitude + *separation);
            m_position.dwValidFields |= GPS_VALID_ALTITUDE_WRT_ELLIPSOID;
        }
    }

    GPS_POSITION Finish() const {
        auto position = m_position;
        if (!m_hasRmc) {
            SetPosition(position, m_ggaLatLon);
        }
        return position;
    }

private:
    std::optional<std::uint32_t> m_timeKey;
    GPS_POSITION m_position;
    bool m_hasRmc = false;
    LatLon m_ggaLatLon;
};

} // namespace

std::vector<GPS_POSITION> ParseNmeaEpochs(std::string_view text) {
    std::vector<GPS_POSITION> epochs;
    std::optional<Epoch> current;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const auto line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);

        const auto body = SentenceBody(line);
        if (!body) {
            continue;
        }
        const Fields fields(*body);
        const auto type = TypeOf(fields[0]);
        if (!type) {
            continue;
        }
        // An empty time field is a receiver that does not know the time yet; a malformed one is a
        // damaged sentence.
        const auto timeField = fields[1];
        const auto time = ParseTime(timeField);
        if (!timeField.empty() && !time) {
            continue;
        }
        const auto timeKey = time ? std::optional{time->InMilliseconds()} : std::nullopt;
        if (current && !current->SameTime(timeKey)) {
            epochs.push_back(current->Finish());
            current.reset();
        }
        if (!current) {
            current.emplace(timeKey);
        }
        if (*type == SentenceType::Rmc) {
            current->AddRmc(fields, time);
        } else {
            current->AddGga(fields);
        }
    }
    if (current) {
        epochs.push_back(current->Finish());
    }
    return epochs;
}

} // namespace platform
