#pragma once

#include "engine/MyAmbuloDoc.h"
#include "platform/DeviceRoot.h"
#include "platform/File.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What saving a workout needs, kept on disk while it is under way so that a workout whose
// program died can still be saved at the next start. The route itself is not in it: the track
// log, the KML coordinates file and the GPX points file are appended as the workout runs and stay
// on disk.
struct JournalState {
    enum class Phase {
        Measuring,
        Resting,
        Finishing,      // the goal is recorded; the files are being written
        HistoryWritten, // its history line is written too: saving again must not add another
    };
    Phase phase = Phase::Measuring;
    std::string runName;
    platform::SYSTEMTIME runStart{};
    platform::SYSTEMTIME written{}; // device local time of this state
    // The texts the screen shows (and the record copies), trailing blanks included.
    std::string distanceText;
    std::string elapsedText;
    std::string kcalText;
    double totalDistance = 0.0;
    int elapsedSeconds = 0;
    double totalKcal = 0.0;
    int maxSpeed10 = 0;
    bool anyFix = false; // a fix was accepted: the start and end fixes and the box mean something
    platform::GPS_POSITION posStart{};
    platform::GPS_POSITION posEnd{};
    double minLat = 0.0;
    double maxLat = 0.0;
    double minLon = 0.0;
    double maxLon = 0.0;
    std::vector<CheckpointRecord> checkpoints;
    int trackLogLines = 0;
};

// The workout figures of the document, with the given phase; the texts are the screen's to fill.
JournalState CaptureJournal(const CMyAmbuloDoc& doc, JournalState::Phase phase);
// Puts a journal's workout back into the document, as it stood when the journal was written.
void RestoreJournal(const JournalState& state, CMyAmbuloDoc& doc);

// A journal as text (UTF-8, one "key value" per line, numbers in the C locale, exact to the bit),
// and back. Nothing when the text is not a whole journal.
std::string EncodeJournal(const JournalState& state);
std::optional<JournalState> DecodeJournal(std::string_view text);

// The journal of a log folder, written while a workout runs and removed once it is saved. It is
// kept in two files written in turn, each a frame with a sequence number and a checksum, so that
// whatever moment the program dies at, one of them holds the last or the one before last state
// whole. Each write is one write into a file kept open: replacing the file by a rename instead
// makes the file system push it to the disk every time, which on ext4 costs more than the rest
// of a replayed workout.
class RecoveryJournal {
public:
    using SteadyNow = std::function<std::chrono::steady_clock::time_point()>;

    // Rewrites go to disk (fsync) at most this far apart, whatever the pace of the workout.
    static constexpr std::chrono::seconds kSyncInterval{30};

    explicit RecoveryJournal(SteadyNow now = std::chrono::steady_clock::now) : m_now(std::move(now)) {}

    // Whether the next Write goes to the disk: the first one, then once every kSyncInterval.
    bool SyncDue() const;
    // Records the state; the first write of a workout starts both files afresh. When a sync is
    // due the data also reaches the disk, against power loss.
    platform::WriteResult Write(const platform::DeviceRoot& root, std::string_view logFolder,
                                const JournalState& state);
    // Closes and removes the journal; true when none is left.
    bool Remove(const platform::DeviceRoot& root, std::string_view logFolder);

    enum class Found { None, Readable, Damaged };
    // The newest whole state of a log folder's journal, when there is one.
    static Found Read(const platform::DeviceRoot& root, std::string_view logFolder, JournalState& state);
    // Moves a journal that cannot be read out of the way, under new names beside it; the device
    // path of the first file moved, or nothing when none could be moved.
    static std::optional<std::string> SetAside(const platform::DeviceRoot& root, std::string_view logFolder);

private:
    SteadyNow m_now;
    std::optional<std::chrono::steady_clock::time_point> m_lastSync;
    platform::File m_files[2];
    std::uint64_t m_sequence = 0;
};
