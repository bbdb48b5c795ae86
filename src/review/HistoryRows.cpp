#include "review/HistoryRows.h"

#include "logs/TextFormat.h"
#include "platform/Translate.h"

#include <algorithm>
#include <ctime>
#include <limits>
#include <tuple>
#include <utility>

using platform::Tr;

namespace {

using platform::SYSTEMTIME;

// The years mktime and the history log's four-digit dates both handle.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 9999;

// A local calendar date normalised by the C library (day 0 is the last of the previous month,
// month 13 the January after). Normalised at noon: no zone moves its clocks then, so the date
// is the one asked for even where midnight itself is skipped; the result is that day's 00:00:00.
SYSTEMTIME LocalDate(int year, int month, int day) {
    std::tm tm{};
    tm.tm_year = std::clamp(year, kFirstYear, kLastYear) - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    if (std::mktime(&tm) == static_cast<std::time_t>(-1)) {
        return SYSTEMTIME{static_cast<std::uint16_t>(std::clamp(year, kFirstYear, kLastYear)), 1, 0, 1};
    }
    SYSTEMTIME st;
    st.wYear = static_cast<std::uint16_t>(tm.tm_year + 1900);
    st.wMonth = static_cast<std::uint16_t>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    st.wDay = static_cast<std::uint16_t>(tm.tm_mday);
    return st;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// Local calendar fields in time order; comparing them needs no conversion and so no daylight
// saving rule.
auto Fields(const SYSTEMTIME& st) {
    return std::make_tuple(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

// Sums are kept in 64 bits and held within an int, and a negative figure from a damaged line
// counts as nothing, so a row never wraps round.
void Add(HistoryRow& row, const HistoryEntry& entry) {
    const auto sum = [](int total, int value) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(total) + std::max(value, 0), 0,
                                                      std::numeric_limits<int>::max()));
    };
    row.nMetres = sum(row.nMetres, entry.nMetres);
    row.nSeconds = sum(row.nSeconds, entry.nSeconds);
    row.nKcal10 = sum(row.nKcal10, entry.nKcal10);
}

} // namespace

SYSTEMTIME AddCalendarDays(const SYSTEMTIME& date, int days) {
    return LocalDate(date.wYear, date.wMonth, date.wDay + days);
}

SYSTEMTIME AddCalendarMonths(const SYSTEMTIME& date, int months) {
    const int index = date.wYear * 12 + (date.wMonth - 1) + months;
    const int year = index / 12;
    const int month = index % 12 + 1;
    // The last day of the new month: day 0 of the month after it.
    const int last = LocalDate(year, month + 1, 0).wDay;
    return LocalDate(year, month, std::min<int>(date.wDay, last));
}

std::string HoursMinutesSeconds(int seconds) {
    return CFormat("%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

HistoryRows::HistoryRows(std::vector<HistoryEntry> entries, const SYSTEMTIME& reference)
    : m_entries(std::move(entries)), m_stReference(reference) {
    Rebuild();
}

void HistoryRows::SetMode(HistoryMode mode) {
    m_mode = mode;
    Rebuild();
}

void HistoryRows::SetReference(const SYSTEMTIME& reference) {
    m_stReference = reference;
    m_nMonthDay = 0;
    Rebuild();
}

void HistoryRows::Rebuild() {
    m_rows.clear();
    m_weekEnds.clear();
    switch (m_mode) {
    case HistoryMode::Record:
        BuildRecords();
        break;
    case HistoryMode::Day:
        BuildDays();
        break;
    case HistoryMode::Week:
        BuildWeeks();
        break;
    case HistoryMode::Month:
        BuildMonths();
        break;
    }
    FindMaxima();
}

void HistoryRows::BuildRecords() {
    for (const HistoryEntry& entry : m_entries) {
        if (SameDay(entry.stStart, m_stReference)) {
            m_rows.push_back(entry);
        }
    }
}

void HistoryRows::BuildDays() {
    m_rows.resize(7);
    for (int i = 0; i < 7; ++i) {
        m_rows[static_cast<std::size_t>(i)].stStart = AddCalendarDays(m_stReference, i - 6);
    }
    for (const HistoryEntry& entry : m_entries) {
        for (HistoryRow& row : m_rows) {
            if (SameDay(entry.stStart, row.stStart)) {
                Add(row, entry);
                break;
            }
        }
    }
}

void HistoryRows::BuildWeeks() {
    // Eight boundaries at local midnight, the last the day after the reference date.
    std::array<SYSTEMTIME, 8> boundary;
    for (int k = 0; k < 8; ++k) {
        boundary[static_cast<std::size_t>(k)] = AddCalendarDays(m_stReference, 1 - (7 - k) * 7);
    }
    m_rows.resize(7);
    for (std::size_t k = 0; k < 7; ++k) {
        m_rows[k].stStart = boundary[k];
        m_weekEnds.push_back(boundary[k + 1]);
    }
    for (const HistoryEntry& entry : m_entries) {
        const auto when = Fields(entry.stStart);
        for (std::size_t k = 0; k < 7; ++k) {
            if (Fields(boundary[k]) <= when && when < Fields(boundary[k + 1])) {
                Add(m_rows[k], entry);
                break;
            }
        }
    }
}

void HistoryRows::BuildMonths() {
    m_rows.resize(7);
    for (int i = 0; i < 7; ++i) {
        SYSTEMTIME first = m_stReference;
        first.wDay = 1;
        first = AddCalendarMonths(first, i - 6);
        first.wHour = 12;
        m_rows[static_cast<std::size_t>(i)].stStart = first;
    }
    for (const HistoryEntry& entry : m_entries) {
        for (HistoryRow& row : m_rows) {
            if (entry.stStart.wYear == row.stStart.wYear && entry.stStart.wMonth == row.stStart.wMonth) {
                Add(row, entry);
                break;
            }
        }
    }
}

void HistoryRows::FindMaxima() {
    m_maxima = {};
    for (const HistoryRow& row : m_rows) {
        m_maxima.nMetres = std::max(m_maxima.nMetres, row.nMetres);
        m_maxima.nSeconds = std::max(m_maxima.nSeconds, row.nSeconds);
        m_maxima.nKcal10 = std::max(m_maxima.nKcal10, row.nKcal10);
    }
}

void HistoryRows::Step(int direction) {
    int monthDay = 0;
    switch (m_mode) {
    case HistoryMode::Month: {
        // 31 January, 29 February, 31 March: the day is cut short only for the month shown.
        monthDay = m_nMonthDay != 0 ? m_nMonthDay : m_stReference.wDay;
        SYSTEMTIME wanted = m_stReference;
        wanted.wDay = static_cast<std::uint16_t>(monthDay);
        m_stReference = AddCalendarMonths(wanted, direction);
        break;
    }
    case HistoryMode::Week:
        m_stReference = AddCalendarDays(m_stReference, 7 * direction);
        break;
    case HistoryMode::Day:
    case HistoryMode::Record:
        m_stReference = AddCalendarDays(m_stReference, direction);
        break;
    }
    m_nMonthDay = monthDay;
    Rebuild();
}

std::optional<HistoryEntry> HistoryRows::DrillDown(std::size_t i) {
    if (i >= m_rows.size()) {
        return std::nullopt;
    }
    m_nMonthDay = 0;
    const SYSTEMTIME first = m_rows[i].stStart;
    switch (m_mode) {
    case HistoryMode::Month: {
        // The weeks that end on the month's last day.
        SYSTEMTIME next = first;
        next.wDay = 1;
        m_stReference = AddCalendarDays(AddCalendarMonths(next, 1), -1);
        m_mode = HistoryMode::Week;
        break;
    }
    case HistoryMode::Week:
        m_stReference = AddCalendarDays(first, 6);
        m_mode = HistoryMode::Day;
        break;
    case HistoryMode::Day:
        m_stReference = first;
        m_mode = HistoryMode::Record;
        break;
    case HistoryMode::Record:
        return m_rows[i];
    }
    Rebuild();
    return std::nullopt;
}

std::array<std::string, 4> HistoryRows::ListTexts(std::size_t i) const {
    if (ShowsPlaceholder()) {
        return {Tr("Ambulo", kNoExerciseText), "", "", ""};
    }
    const HistoryRow& row = m_rows.at(i);
    const SYSTEMTIME& d = row.stStart;
    std::string date;
    switch (m_mode) {
    case HistoryMode::Month:
        date = CFormat("%04d/%02d", d.wYear, d.wMonth);
        break;
    case HistoryMode::Week: {
        const SYSTEMTIME& end = m_weekEnds.at(i);
        date = CFormat("%04d/%02d/%02d～%02d/%02d", d.wYear, d.wMonth, d.wDay, end.wMonth, end.wDay);
        break;
    }
    case HistoryMode::Day:
        date = CFormat("%04d/%02d/%02d", d.wYear, d.wMonth, d.wDay);
        break;
    case HistoryMode::Record:
        date = CFormat("%04d/%02d/%02d %02d:%02d", d.wYear, d.wMonth, d.wDay, d.wHour, d.wMinute);
        break;
    }
    return {date, CFormat("%d", row.nMetres), HoursMinutesSeconds(row.nSeconds),
            CFormat("%.01f", row.nKcal10 * 0.1)};
}
