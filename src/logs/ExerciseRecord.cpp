#include "logs/ExerciseRecord.h"

#include "logs/TextFormat.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace {

// A record is a handful of short lines; anything past this is not looked at.
constexpr std::size_t kRecordReadLimit = 1024;

// Finds the keys of a record one after another in its UTF-16LE text.
class KeyReader {
public:
    explicit KeyReader(std::string_view utf16le) : m_text(utf16le.substr(0, utf16le.size() / 2 * 2)) {}

    // The value after the next occurrence of key, up to the next CR or the end of the text; the
    // search for the following key starts after that CR. A missing key gives nothing and leaves
    // the position where it was.
    std::string Value(std::string_view keyUtf8) {
        const std::string key = platform::Utf8ToUtf16Le(keyUtf8);
        const std::size_t at = FindUnit(key, m_pos);
        if (at == std::string_view::npos) {
            return {};
        }
        const std::size_t begin = at + key.size();
        const std::size_t cr = FindUnit(std::string_view("\r\0", 2), begin);
        const std::size_t end = cr == std::string_view::npos ? m_text.size() : cr;
        m_pos = cr == std::string_view::npos ? m_text.size() : cr + 2;
        return platform::Utf16LeToUtf8(m_text.substr(begin, end - begin));
    }

private:
    // Byte offset of the first match that starts on a whole UTF-16 unit, from 'from' on.
    std::size_t FindUnit(std::string_view needle, std::size_t from) const {
        for (std::size_t at = m_text.find(needle, from); at != std::string_view::npos;
             at = m_text.find(needle, at + 1)) {
            if (at % 2 == 0) {
                return at;
            }
        }
        return std::string_view::npos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

platform::WriteResult WriteExerciseRecord(const platform::DeviceRoot& root, std::string_view devicePath,
                                          const ExerciseRecord& record) {
    // Version key with an ASCII "=", every other key with the full-width "＝".
    std::string text = "DataVersion=001\r\n";
    text += "タイトル＝" + record.strTitle + "\r\n";
    text += "総距離＝" + record.strDistance + "\r\n";
    text += CFormat("時間＝%d\r\n", record.nSeconds);
    text += "消費カロリー＝" + record.strKcal + "\r\n";
    text += "平均速度＝" + record.strAvgSpeed + "\r\n";
    text += CFormat("最大速度＝%.01f\r\n", record.nMaxSpeed10 * 0.1);
    // Written beside the old record and then put in its place: a full disk never leaves half of one.
    platform::ReplacementFile file(root, devicePath);
    file.Write(kUtf16Bom);
    file.Write(platform::Utf8ToUtf16Le(text));
    return file.Commit(true);
}

std::optional<ExerciseRecord> ReadExerciseRecord(const platform::DeviceRoot& root,
                                                 std::string_view devicePath) {
    platform::File file = platform::File::OpenExisting(root, devicePath);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    const auto read = file.ReadUpTo(kRecordReadLimit);
    if (!read) {
        return std::nullopt;
    }
    const std::string& bytes = *read;

    // The byte-order mark is skipped unread; any version is accepted.
    KeyReader keys(std::string_view(bytes).substr(std::min<std::size_t>(2, bytes.size())));
    ExerciseRecord record;
    record.nVersion = LeadingInt(keys.Value("DataVersion="));
    record.strTitle = keys.Value("タイトル＝");
    record.strDistance = keys.Value("総距離＝");
    record.nSeconds = LeadingInt(keys.Value("時間＝"));
    record.strKcal = keys.Value("消費カロリー＝");
    record.strAvgSpeed = keys.Value("平均速度＝");
    std::string maxSpeed = keys.Value("最大速度＝");
    std::erase(maxSpeed, '.'); // "12.3" is read as 123 tenths
    record.nMaxSpeed10 = LeadingInt(maxSpeed);
    return record;
}
