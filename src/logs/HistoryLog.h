#pragma once

#include "platform/DeviceRoot.h"
#include "platform/File.h"
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
// when saving the history is off. A line that cannot be written whole is taken back, so the log
// is never left with part of a line; the result then carries the error.
platform::WriteResult AppendHistory(const CMyAmbuloDoc& doc);

// Every workout line of the history log, in file order (of its first 64 MiB); nothing when the
// file cannot be opened or is no regular file.
// A malformed line still yields an entry (missing fields are 0).
std::optional<std::vector<HistoryEntry>> LoadHistory(const platform::DeviceRoot& root,
                                                     std::string_view logFolder);
