#include "logs/HistoryLog.h"

#include "engine/MyAmbuloDoc.h"
#include "logs/LogPaths.h"
#include "logs/TextFormat.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Version and column header lines at the top of the history log.
constexpr std::string_view kHistoryHead = "DataVersion=0.01\r\n"
                                          "日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n";

// Far more than a lifetime of workouts (a line is about 70 bytes); nothing past it is read.
constexpr std::size_t kHistoryReadLimit = 64u << 20;

// A file shorter than this cannot hold the header yet, so it gets one before its first line.
constexpr std::uint64_t kMinHeadedSize = 10;

// The integer of characters [from, from + count) of a field, clipped to the field.
int IntAt(std::u16string_view field, std::size_t from, std::size_t count) {
    return from < field.size() ? LeadingInt(field.substr(from, count)) : 0;
}

// The next comma-separated field of a line; the last field runs to the end of the line, and a
// line that has run out gives empty fields.
std::u16string_view NextField(std::u16string_view& rest, bool last = false) {
    const std::size_t comma = last ? std::u16string_view::npos : rest.find(u',');
    const std::u16string_view field = rest.substr(0, comma);
    rest.remove_prefix(comma == std::u16string_view::npos ? rest.size() : comma + 1);
    return field;
}

// Fields are found by position, so this relies on the zero-padded dates and times the writer
// produces; whatever a damaged line lacks reads as 0.
HistoryEntry ParseHistoryLine(std::u16string_view line) {
    const std::u16string_view date = NextField(line);
    const std::u16string_view time = NextField(line);
    const std::u16string_view metres = NextField(line);
    const std::u16string_view seconds = NextField(line);
    std::u16string kcal(NextField(line, true));
    std::erase(kcal, u'.'); // "52.4" is read as 524 tenths

    HistoryEntry entry;
    entry.stStart.wYear = static_cast<std::uint16_t>(IntAt(date, 0, 4));
    entry.stStart.wMonth = static_cast<std::uint16_t>(IntAt(date, 5, 2));
    entry.stStart.wDay = static_cast<std::uint16_t>(IntAt(date, 8, 2));
    entry.stStart.wHour = static_cast<std::uint16_t>(IntAt(time, 0, 2));
    entry.stStart.wMinute = static_cast<std::uint16_t>(IntAt(time, 3, 2));
    entry.stStart.wSecond = static_cast<std::uint16_t>(IntAt(time, 6, 2));
    entry.nMetres = LeadingInt(metres);
    entry.nSeconds = LeadingInt(seconds);
    entry.nKcal10 = LeadingInt(kcal);
    return entry;
}

// Whether the file's last whole UTF-16 character is a line feed.
bool EndsWithLineFeed(const std::string& path, const platform::DeviceRoot& root, std::uint64_t size) {
    const std::uint64_t aligned = size / 2 * 2;
    if (aligned < 2) {
        return false;
    }
    platform::File file = platform::File::OpenExisting(root, path);
    char last[2] = {};
    return file.Seek(static_cast<std::int64_t>(aligned - 2), platform::SeekFrom::Begin) &&
           file.Read(last, 2) == std::optional<std::size_t>(2) && last[0] == '\n' && last[1] == '\0';
}

} // namespace

platform::WriteResult AppendHistory(const CMyAmbuloDoc& doc) {
    if (doc.m_bSaveHistory != 1) {
        return {};
    }
    const platform::DeviceRoot& root = doc.Services().root;
    const std::string path = HistoryPath(doc.m_strLogFolder);
    const platform::SYSTEMTIME& t = doc.m_stRunStart;
    const std::string line = platform::Utf8ToUtf16Le(
        CFormat("%d/%02d/%02d,%02d:%02d:%02d,%d,%d,%.1f\r\n", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond, Truncated(doc.m_dblTotalDistance), doc.m_nElapsedSeconds, doc.m_dblTotalKcal));

    platform::File file = platform::File::OpenAppend(root, path);
    if (!file.IsOpen()) {
        return platform::WriteResult::Failed(file.Error());
    }
    const auto size = file.Size();
    if (!size) {
        return platform::WriteResult::Failed(file.Error());
    }
    if (*size < kMinHeadedSize) {
        // Too short to hold the header: the file is made anew, as one step, so that a failure
        // leaves the old bytes.
        file.Close();
        platform::ReplacementFile fresh(root, path);
        fresh.Write(kUtf16Bom);
        fresh.Write(platform::Utf8ToUtf16Le(kHistoryHead));
        fresh.Write(line);
        const platform::WriteResult result = fresh.Commit(true);
        if (!result && *size == 0) {
            platform::DeleteFile(root, path); // only just made by the open: leave no empty log behind
        }
        return result;
    }
    // A file damaged elsewhere may end in half a character, in the middle of a line; the new line
    // starts on a whole character of a line of its own, so it and every later one stay readable.
    std::string bytes;
    if (*size % 2 != 0) {
        bytes += '\0';
        if (!EndsWithLineFeed(path, root, *size)) {
            bytes += platform::Utf8ToUtf16Le("\r\n");
        }
    }
    bytes += line;
    if (!file.Write(bytes) || !file.Flush()) {
        const int error = file.Error();
        // A line cut short by a full disk would run into the next workout's: take it back.
        file.Truncate(*size);
        return platform::WriteResult::Failed(error);
    }
    return {};
}

std::optional<std::vector<HistoryEntry>> LoadHistory(const platform::DeviceRoot& root,
                                                     std::string_view logFolder) {
    platform::File file = platform::File::OpenExisting(root, HistoryPath(logFolder));
    const auto bytes = file.IsOpen() ? file.ReadUpTo(kHistoryReadLimit) : std::nullopt;
    if (!bytes) {
        return std::nullopt;
    }
    std::u16string text(bytes->size() / 2, u'\0'); // an odd last byte is no character
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>((*bytes)[2 * i]) |
                                        static_cast<unsigned char>((*bytes)[2 * i + 1]) << 8);
    }

    std::vector<HistoryEntry> entries;
    std::u16string_view rest = text;
    // The version line (with the byte-order mark) and the column header are skipped unread.
    for (int lineNo = 0; !rest.empty(); ++lineNo) {
        const std::size_t lf = rest.find(u'\n');
        std::u16string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::u16string_view::npos ? rest.size() : lf + 1);
        if (line.ends_with(u'\r')) {
            line.remove_suffix(1);
        }
        if (lineNo >= 2) {
            entries.push_back(ParseHistoryLine(line));
        }
    }
    return entries;
}
