#pragma once

#include "logs/HistoryLog.h"
#include "platform/SystemTime.h"
#include "platform/Translate.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the history dialog shows, worked out without a display: the workouts of one day, or the
// totals of seven days, weeks or months, with their list texts and the largest values.

// Aggregation modes and graph kinds, as the high and low byte of the dialog's view flags.
enum class HistoryMode : std::uint16_t { Record = 0x100, Day = 0x200, Week = 0x400, Month = 0x800 };
enum class HistoryGraphKind : std::uint16_t { Distance = 1, Time = 2, Energy = 4 };

// The local calendar date `days` days after (or before) a date, at 00:00:00 with its day of week.
// Steps whole calendar days, so a daylight-saving change neither skips nor repeats a day.
platform::SYSTEMTIME AddCalendarDays(const platform::SYSTEMTIME& date, int days);
// The same day `months` months later, the day kept within the new month, at 00:00:00.
platform::SYSTEMTIME AddCalendarMonths(const platform::SYSTEMTIME& date, int months);

// One line of the list and one bar of the graph: a single workout, or a period (dated by its
// first day) with the sums of its workouts.
using HistoryRow = HistoryEntry;

struct HistoryMaxima {
    int nMetres = 1;
    int nSeconds = 1;
    int nKcal10 = 1;
};

inline constexpr const char* kNoExerciseText = AMBULO_TR_NOOP("Ambulo", "本日は運動していません");

class HistoryRows {
public:
    HistoryRows(std::vector<HistoryEntry> entries, const platform::SYSTEMTIME& reference);

    HistoryMode Mode() const { return m_mode; }
    const platform::SYSTEMTIME& Reference() const { return m_stReference; }
    const std::vector<HistoryRow>& Rows() const { return m_rows; }
    const HistoryMaxima& Maxima() const { return m_maxima; }
    // The day after the last day of row i in the per-week mode (its end boundary).
    platform::SYSTEMTIME WeekEnd(std::size_t i) const { return m_weekEnds.at(i); }

    // Switches the mode and builds its rows for the current reference date.
    void SetMode(HistoryMode mode);
    void SetReference(const platform::SYSTEMTIME& reference);
    void Rebuild();

    // Left and right keys: one month, one week or one day back or forward.
    void StepBack() { Step(-1); }
    void StepForward() { Step(1); }

    // Enter on row i: months open their weeks, weeks their days, days their workouts. In the
    // per-record mode nothing changes and the workout to open is returned.
    std::optional<HistoryEntry> DrillDown(std::size_t i);

    // The list's four columns for row i: date, distance, time, energy.
    std::array<std::string, 4> ListTexts(std::size_t i) const;
    // True when the list shows only the no-exercise placeholder.
    bool ShowsPlaceholder() const { return m_mode == HistoryMode::Record && m_rows.empty(); }

private:
    void Step(int direction);
    void BuildRecords();
    void BuildDays();
    void BuildWeeks();
    void BuildMonths();
    void FindMaxima();

    std::vector<HistoryEntry> m_entries;
    platform::SYSTEMTIME m_stReference;
    int m_nMonthDay = 0; // the day month steps keep, once the user steps by months
    HistoryMode m_mode = HistoryMode::Day;
    std::vector<HistoryRow> m_rows;
    std::vector<platform::SYSTEMTIME> m_weekEnds;
    HistoryMaxima m_maxima;
};

// "h:mm:ss" of a count of seconds.
std::string HoursMinutesSeconds(int seconds);
