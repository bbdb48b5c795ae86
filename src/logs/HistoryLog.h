#pragma once

#include "platform/DeviceRoot.h"
#include "platform/SystemTime.h"

#include <optional>
#include <string_view>
#include <vector>

class CMyAmbuloDoc;

// One line of the history log: a finished workout's start and totals.
struct HistoryEntry {
    platform::SYSTEMTIME stStart{}; // day of week and milliseconds stay 0
    int nMetres = 0;
    int nSeconds = 0;
    int nKcal10 = 0; // tenths of a kcal
};

// Appends the finished workout (m_stRunStart and the totals) to "amblHistory.log" in the log
// folder, writing the header first when the file is new or shorter than 10 bytes. Does nothing
// when saving the history is off. Returns 1 when written or skipped, 0 when the file could not
// be opened.
int AppendHistory(const CMyAmbuloDoc& doc);

// Every workout line of the history log, in file order; nothing when the file cannot be opened.
// A malformed line still yields an entry (missing fields are 0).
std::optional<std::vector<HistoryEntry>> LoadHistory(const platform::DeviceRoot& root,
                                                     std::string_view logFolder);
