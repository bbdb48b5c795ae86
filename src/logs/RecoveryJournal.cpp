#include "logs/RecoveryJournal.h"

#include "logs/LogPaths.h"
#include "logs/TextFormat.h"

#include <array>
#include <charconv>
#include <cstddef>

namespace {

// First line of every journal; a file that does not start with it is not ours.
constexpr std::string_view kJournalHead = "AmbuloJournal 1\n";
// Last line: a journal without it was cut short.
constexpr std::string_view kJournalEnd = "end\n";
// A journal is a few kilobytes even for a day of checkpoints; nothing larger is read.
constexpr std::size_t kJournalReadLimit = 4u << 20;

constexpr std::array<std::string_view, 4> kPhaseNames = {"measuring", "resting", "finishing",
                                                         "history-written"};

// Writes one "key value value ..." line. Numbers take their shortest text that reads back exactly
// (std::to_chars, which knows no locale): cheaper than printf, and a journal is written every
// five seconds of a workout.
class Line {
public:
    Line(std::string& text, std::string_view key) : m_text(text) { m_text += key; }
    ~Line() { m_text += '\n'; }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    template <typename T> Line& operator<<(T value) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_text += ' ';
        m_text.append(digits, end);
        return *this;
    }
    Line& operator<<(const platform::SYSTEMTIME& t) {
        return *this << t.wYear << t.wMonth << t.wDayOfWeek << t.wDay << t.wHour << t.wMinute << t.wSecond
                     << t.wMilliseconds;
    }
    Line& operator<<(const platform::GPS_POSITION& p) {
        return *this << p.dwValidFields << p.dblLatitude << p.dblLongitude << p.flSpeed << p.flAltitudeWRTSeaLevel
                     << p.flAltitudeWRTEllipsoid << p.stUTCTime;
    }

private:
    std::string& m_text;
};

// Reads the blank-separated numbers of a line in order; any failure sticks.
class Fields {
public:
    explicit Fields(std::string_view text) : m_rest(text) {}

    template <typename T> Fields& operator>>(T& value) {
        while (!m_rest.empty() && m_rest.front() == ' ') {
            m_rest.remove_prefix(1);
        }
        const char* end = m_rest.data() + m_rest.size();
        const auto [ptr, ec] = std::from_chars(m_rest.data(), end, value);
        if (ec != std::errc() || ptr == m_rest.data()) {
            m_ok = false;
            return *this;
        }
        m_rest.remove_prefix(static_cast<std::size_t>(ptr - m_rest.data()));
        return *this;
    }
    Fields& operator>>(platform::SYSTEMTIME& t) {
        return *this >> t.wYear >> t.wMonth >> t.wDayOfWeek >> t.wDay >> t.wHour >> t.wMinute >> t.wSecond >>
               t.wMilliseconds;
    }
    Fields& operator>>(platform::GPS_POSITION& p) {
        return *this >> p.dwValidFields >> p.dblLatitude >> p.dblLongitude >> p.flSpeed >>
               p.flAltitudeWRTSeaLevel >> p.flAltitudeWRTEllipsoid >> p.stUTCTime;
    }
    // Whole: every number read and nothing left over.
    bool Ok() const { return m_ok && m_rest.find_first_not_of(' ') == std::string_view::npos; }

private:
    std::string_view m_rest;
    bool m_ok = true;
};

} // namespace

JournalState CaptureJournal(const CMyAmbuloDoc& doc, JournalState::Phase phase) {
    JournalState state;
    state.phase = phase;
    state.runStart = doc.m_stRunStart;
    state.written = doc.Services().clock.LocalNow();
    state.totalDistance = doc.m_dblTotalDistance;
    state.elapsedSeconds = doc.m_nElapsedSeconds;
    state.totalKcal = doc.m_dblTotalKcal;
    state.maxSpeed10 = doc.m_nMaxSpeed10;
    state.anyFix = doc.m_bAwaitFirstFix == 0;
    state.posStart = doc.m_posStart;
    state.posEnd = doc.m_posEnd;
    state.minLat = doc.m_dblMinLat;
    state.maxLat = doc.m_dblMaxLat;
    state.minLon = doc.m_dblMinLon;
    state.maxLon = doc.m_dblMaxLon;
    state.checkpoints = doc.m_checkpoints;
    state.trackLogLines = doc.m_nTrackLogLines;
    return state;
}

void RestoreJournal(const JournalState& state, CMyAmbuloDoc& doc) {
    doc.m_stRunStart = state.runStart;
    doc.m_dblTotalDistance = state.totalDistance;
    doc.m_nElapsedSeconds = state.elapsedSeconds;
    doc.m_dblTotalKcal = state.totalKcal;
    doc.m_nMaxSpeed10 = state.maxSpeed10;
    doc.m_bAwaitFirstFix = state.anyFix ? 0 : 1;
    doc.m_posStart = state.posStart;
    doc.m_posEnd = state.posEnd;
    doc.m_posPrevious = state.posEnd;
    doc.m_dblMinLat = state.minLat;
    doc.m_dblMaxLat = state.maxLat;
    doc.m_dblMinLon = state.minLon;
    doc.m_dblMaxLon = state.maxLon;
    doc.m_checkpoints = state.checkpoints;
    doc.m_nTrackLogLines = state.trackLogLines;
}

std::string EncodeJournal(const JournalState& s) {
    std::string text(kJournalHead);
    text += "phase " + std::string(kPhaseNames[static_cast<std::size_t>(s.phase)]) + "\n";
    text += "run " + s.runName + "\n";
    Line(text, "start") << s.runStart;
    Line(text, "written") << s.written;
    text += "distance-text " + s.distanceText + "\n";
    text += "elapsed-text " + s.elapsedText + "\n";
    text += "kcal-text " + s.kcalText + "\n";
    Line(text, "totals") << s.totalDistance << s.elapsedSeconds << s.totalKcal << s.maxSpeed10 << (s.anyFix ? 1 : 0)
                         << s.trackLogLines;
    Line(text, "first-fix") << s.posStart;
    Line(text, "last-fix") << s.posEnd;
    Line(text, "box") << s.minLat << s.maxLat << s.minLon << s.maxLon;
    for (const CheckpointRecord& c : s.checkpoints) {
        Line(text, "checkpoint") << c.stTime << c.dblLatitude << c.dblLongitude << c.dblAltitude << c.dblDistance
                                 << c.nSeconds << c.dblKcal;
    }
    text += kJournalEnd;
    return text;
}

std::optional<JournalState> DecodeJournal(std::string_view text) {
    if (!text.starts_with(kJournalHead) || !text.ends_with(kJournalEnd)) {
        return std::nullopt;
    }
    text.remove_prefix(kJournalHead.size());
    text.remove_suffix(kJournalEnd.size());

    JournalState s;
    // Each of these keys must appear exactly once.
    constexpr std::array<std::string_view, 11> kKeys = {
        "phase",  "run",       "start",    "written", "distance-text", "elapsed-text", "kcal-text",
        "totals", "first-fix", "last-fix", "box"};
    std::array<int, kKeys.size()> seen{};
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf + 1);
        const std::size_t blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string_view value =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);

        bool ok = true;
        if (key == "checkpoint") {
            CheckpointRecord c;
            ok = (Fields(value) >> c.stTime >> c.dblLatitude >> c.dblLongitude >> c.dblAltitude >>
                  c.dblDistance >> c.nSeconds >> c.dblKcal)
                     .Ok();
            s.checkpoints.push_back(c);
        } else if (key == "phase") {
            ok = false;
            for (std::size_t i = 0; i < kPhaseNames.size(); ++i) {
                if (value == kPhaseNames[i]) {
                    s.phase = static_cast<JournalState::Phase>(i);
                    ok = true;
                }
            }
        } else if (key == "run") {
            s.runName = value;
        } else if (key == "start") {
            ok = (Fields(value) >> s.runStart).Ok();
        } else if (key == "written") {
            ok = (Fields(value) >> s.written).Ok();
        } else if (key == "distance-text") {
            s.distanceText = value;
        } else if (key == "elapsed-text") {
            s.elapsedText = value;
        } else if (key == "kcal-text") {
            s.kcalText = value;
        } else if (key == "totals") {
            int anyFix = 0;
            ok = (Fields(value) >> s.totalDistance >> s.elapsedSeconds >> s.totalKcal >> s.maxSpeed10 >>
                  anyFix >> s.trackLogLines)
                     .Ok();
            s.anyFix = anyFix != 0;
        } else if (key == "first-fix") {
            ok = (Fields(value) >> s.posStart).Ok();
        } else if (key == "last-fix") {
            ok = (Fields(value) >> s.posEnd).Ok();
        } else if (key == "box") {
            ok = (Fields(value) >> s.minLat >> s.maxLat >> s.minLon >> s.maxLon).Ok();
        } else {
            ok = false;
        }
        for (std::size_t i = 0; i < kKeys.size(); ++i) {
            seen[i] += key == kKeys[i] ? 1 : 0;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    for (const int count : seen) {
        if (count != 1) {
            return std::nullopt;
        }
    }
    // The run name becomes file names: only what the program itself forms is accepted.
    if (s.runName.size() != 15 || s.runName[8] != '-' ||
        s.runName.find_first_not_of("0123456789-") != std::string::npos) {
        return std::nullopt;
    }
    return s;
}

namespace {

// Opens each frame: "AMBLJRNL <sequence> <length> <checksum>\n", then length bytes of journal.
constexpr std::string_view kFrameMark = "AMBLJRNL ";

// FNV-1a: cheap, and enough to tell a torn or stale frame from a whole one.
std::uint64_t Checksum(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

struct Frame {
    std::uint64_t sequence = 0;
    JournalState state;
};

std::optional<Frame> ReadFrame(const platform::DeviceRoot& root, const std::string& path) {
    platform::File file = platform::File::OpenExisting(root, path);
    const auto bytes = file.IsOpen() ? file.ReadUpTo(kJournalReadLimit) : std::nullopt;
    if (!bytes || !bytes->starts_with(kFrameMark)) {
        return std::nullopt;
    }
    const std::size_t lf = bytes->find('\n');
    if (lf == std::string::npos) {
        return std::nullopt;
    }
    Frame frame;
    std::size_t length = 0;
    std::uint64_t checksum = 0;
    const std::string_view head = std::string_view(*bytes).substr(kFrameMark.size(), lf - kFrameMark.size());
    if (!(Fields(head) >> frame.sequence >> length >> checksum).Ok() || bytes->size() - lf - 1 < length) {
        return std::nullopt;
    }
    const std::string_view body = std::string_view(*bytes).substr(lf + 1, length);
    auto state = Checksum(body) == checksum ? DecodeJournal(body) : std::nullopt;
    if (!state) {
        return std::nullopt;
    }
    frame.state = std::move(*state);
    return frame;
}

} // namespace

bool RecoveryJournal::SyncDue() const {
    return !m_lastSync || m_now() - *m_lastSync >= kSyncInterval;
}

platform::WriteResult RecoveryJournal::Write(const platform::DeviceRoot& root, std::string_view logFolder,
                                             const JournalState& state) {
    if (!m_files[0].IsOpen() || !m_files[1].IsOpen()) {
        // A workout's first state: nothing of an earlier journal may outrank it.
        platform::CreateDirectories(root, logFolder);
        m_sequence = 0;
        for (int copy = 0; copy < 2; ++copy) {
            m_files[copy] = platform::File::CreateAlways(root, JournalPath(logFolder, copy));
            if (!m_files[copy].IsOpen()) {
                return platform::WriteResult::Failed(m_files[copy].Error());
            }
        }
    }
    ++m_sequence;
    const std::string body = EncodeJournal(state);
    const std::string frame = std::string(kFrameMark) +
                              CFormat("%llu %zu %llu\n", static_cast<unsigned long long>(m_sequence),
                                      body.size(), static_cast<unsigned long long>(Checksum(body))) +
                              body;
    // Odd states go to the first file, even ones to the second: the other always holds the one before.
    platform::File& file = m_files[m_sequence % 2 == 1 ? 0 : 1];
    const bool sync = SyncDue();
    if (!file.WriteAt(0, frame) || (sync && !file.Flush())) {
        return platform::WriteResult::Failed(file.Error());
    }
    if (sync) {
        m_lastSync = m_now();
    }
    return {};
}

bool RecoveryJournal::Remove(const platform::DeviceRoot& root, std::string_view logFolder) {
    bool gone = true;
    for (int copy = 0; copy < 2; ++copy) {
        m_files[copy].Close();
        const std::string path = JournalPath(logFolder, copy);
        gone = (platform::DeleteFile(root, path) || !platform::FileExists(root, path)) && gone;
    }
    return gone;
}

RecoveryJournal::Found RecoveryJournal::Read(const platform::DeviceRoot& root, std::string_view logFolder,
                                             JournalState& state) {
    bool any = false;
    std::optional<Frame> newest;
    for (int copy = 0; copy < 2; ++copy) {
        const std::string path = JournalPath(logFolder, copy);
        any = any || platform::FileExists(root, path);
        auto frame = ReadFrame(root, path);
        if (frame && (!newest || frame->sequence > newest->sequence)) {
            newest = std::move(frame);
        }
    }
    if (!newest) {
        return any ? Found::Damaged : Found::None;
    }
    state = std::move(newest->state);
    return Found::Readable;
}

std::optional<std::string> RecoveryJournal::SetAside(const platform::DeviceRoot& root,
                                                     std::string_view logFolder) {
    std::optional<std::string> first;
    for (int copy = 0; copy < 2; ++copy) {
        const auto from = root.ToHost(JournalPath(logFolder, copy));
        if (!from || !platform::FileExists(root, JournalPath(logFolder, copy))) {
            continue;
        }
        // Never over an earlier one: the first free number wins.
        for (int n = 1; n < 1000; ++n) {
            const std::string aside =
                std::string(logFolder) + CFormat(copy == 0 ? "AMBLJRNL-%03d.BAD" : "AMBLJRN2-%03d.BAD", n);
            const auto to = root.ToHost(aside);
            if (to && !platform::FileExists(root, aside)) {
                std::error_code ec;
                std::filesystem::rename(*from, *to, ec);
                if (!ec && !first) {
                    first = aside;
                }
                break;
            }
        }
    }
    return first;
}
