#pragma once

#include "platform/DeviceRoot.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The samples of a wave file as a sound device takes them: interleaved frames of little-endian
// samples.
struct WaveSound {
    enum class Sample { UInt8, Int16, Int32, Float };

    Sample sample = Sample::Int16;
    int channels = 0;
    int sampleRate = 0;
    std::string pcm;
};

// The samples of a RIFF WAVE file of linear PCM (8, 16, 24 or 32 bits) or 32-bit floating point,
// also in the extensible format; 24-bit samples come out as 32-bit ones. Nothing, with the reason in
// error, for anything else.
std::optional<WaveSound> DecodeWave(std::string_view bytes, std::string& error);

// Wave files by device path, each read and decoded once and again only when the file on disk
// changes (its modification time, size or identity), so a play costs one stat of the file. A file
// that is missing or cannot be decoded is reported once, and again only when it changes.
class WaveCache {
public:
    using Report = std::function<void(const std::string& message)>;

    WaveCache(const DeviceRoot& root, Report report) : m_root(root), m_report(std::move(report)) {}

    // Nothing when the file is missing or cannot be played.
    std::shared_ptr<const WaveSound> Get(std::string_view devicePath);

private:
    struct Stamp {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::timespec modified{};

        bool operator==(const Stamp& other) const;
    };
    struct Entry {
        Stamp stamp;
        std::shared_ptr<const WaveSound> sound;
    };

    const DeviceRoot& m_root;
    Report m_report;
    std::map<std::string, Entry, std::less<>> m_entries;
};

} // namespace platform
