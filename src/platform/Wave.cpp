#include "platform/Wave.h"

#include "platform/File.h"

#include <sys/stat.h>

namespace platform {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// Larger files (a minute and a half of CD sound) are not sounds for a workout; reading one would
// stall the screen.
constexpr std::size_t kLargestFile = std::size_t{16} << 20;

std::uint32_t Little(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

} // namespace

std::optional<WaveSound> DecodeWave(std::string_view bytes, std::string& error) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        error = "not a wave file";
        return std::nullopt;
    }
    std::string_view format;
    std::string_view data;
    bool hasData = false;
    // Chunks are word-aligned; a size beyond the end (a file cut short, or written while recording)
    // takes what is there.
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = Little(bytes, at + 4, 4);
        const std::string_view body = bytes.substr(at + 8, size);
        if (id == "fmt ") {
            format = body;
        } else if (id == "data" && !hasData) {
            data = body;
            hasData = true;
        }
        at += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    if (format.size() < 16 || !hasData) {
        error = "no wave format or no sound data";
        return std::nullopt;
    }
    std::uint32_t tag = Little(format, 0, 2);
    if (tag == kFormatExtensible && format.size() >= 26) {
        tag = Little(format, 24, 2); // the sub-format's leading two bytes are the plain format tag
    }
    const auto channels = static_cast<int>(Little(format, 2, 2));
    const auto rate = Little(format, 4, 4);
    const auto bits = static_cast<int>(Little(format, 14, 2));

    WaveSound sound;
    sound.channels = channels;
    sound.sampleRate = static_cast<int>(rate);
    if (tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        sound.sample = bits == 8    ? WaveSound::Sample::UInt8
                       : bits == 16 ? WaveSound::Sample::Int16
                                    : WaveSound::Sample::Int32;
    } else if (tag == kFormatFloat && bits == 32) {
        sound.sample = WaveSound::Sample::Float;
    } else {
        error =
            "unsupported encoding (format " + std::to_string(tag) + ", " + std::to_string(bits) + " bits)";
        return std::nullopt;
    }
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) {
        error = "unsupported channels or sample rate";
        return std::nullopt;
    }
    const std::size_t inFrame = static_cast<std::size_t>(channels) * (bits / 8);
    const std::size_t frames = data.size() / inFrame;
    if (frames == 0) {
        error = "no sound data";
        return std::nullopt;
    }
    if (bits == 24) {
        // The sample's three bytes become the upper three of a 32-bit sample.
        sound.pcm.reserve(frames * channels * 4);
        for (std::size_t i = 0; i < frames * channels; ++i) {
            sound.pcm += '\0';
            sound.pcm.append(data.substr(i * 3, 3));
        }
    } else {
        sound.pcm.assign(data.substr(0, frames * inFrame));
    }
    return sound;
}

bool WaveCache::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

std::shared_ptr<const WaveSound> WaveCache::Get(std::string_view devicePath) {
    const auto host = m_root.ToHost(devicePath);
    Stamp stamp;
    struct stat info {};
    if (host && ::stat(host->c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        stamp = {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
    }
    auto found = m_entries.find(devicePath);
    if (found != m_entries.end() && found->second.stamp == stamp) {
        return found->second.sound;
    }
    if (found == m_entries.end()) {
        found = m_entries.emplace(std::string(devicePath), Entry{}).first;
    }
    found->second = {stamp, nullptr};

    std::string error;
    if (!stamp.exists) {
        error = "no such file";
    } else if (static_cast<std::size_t>(stamp.size) > kLargestFile) {
        error = "file too large";
    } else {
        File file = File::OpenExisting(m_root, devicePath);
        const auto bytes = file.IsOpen() ? file.ReadUpTo(kLargestFile) : std::nullopt;
        if (!bytes) {
            error = "cannot read the file";
        } else if (auto sound = DecodeWave(*bytes, error)) {
            found->second.sound = std::make_shared<const WaveSound>(std::move(*sound));
            return found->second.sound;
        }
    }
    m_report("cannot play " + std::string(devicePath) + ": " + error);
    return nullptr;
}

} // namespace platform
