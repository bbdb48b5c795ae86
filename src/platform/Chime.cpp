#include "platform/Chime.h"

#include "platform/File.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace platform {

namespace {

constexpr int kSampleRate = 22050;

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

std::string MakeChimeWav() {
    // Two bell-like notes, E6 then A6, each dying away.
    struct Note {
        double frequency;
        double start;
        double length;
    };
    constexpr Note kNotes[] = {{1318.5, 0.0, 0.35}, {1760.0, 0.12, 0.45}};
    constexpr double kSeconds = 0.6;
    const int samples = static_cast<int>(kSeconds * kSampleRate);

    std::string pcm;
    pcm.reserve(static_cast<std::size_t>(samples) * 2);
    for (int n = 0; n < samples; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        double value = 0.0;
        for (const Note& note : kNotes) {
            const double age = t - note.start;
            if (age >= 0.0 && age < note.length) {
                const double attack = std::min(1.0, age / 0.005); // no click at the onset
                const double decay = std::exp(-age * 7.0);
                value += 0.35 * attack * decay * std::sin(2.0 * std::numbers::pi * note.frequency * age);
            }
        }
        const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
        PutLittleEndian(pcm, static_cast<std::uint16_t>(sample), 2);
    }

    std::string wav = "RIFF";
    PutLittleEndian(wav, static_cast<std::uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    PutLittleEndian(wav, 16, 4);              // format chunk size
    PutLittleEndian(wav, 1, 2);               // PCM
    PutLittleEndian(wav, 1, 2);               // mono
    PutLittleEndian(wav, kSampleRate, 4);     // samples per second
    PutLittleEndian(wav, kSampleRate * 2, 4); // bytes per second
    PutLittleEndian(wav, 2, 2);               // bytes per frame
    PutLittleEndian(wav, 16, 2);              // bits per sample
    wav += "data";
    PutLittleEndian(wav, static_cast<std::uint32_t>(pcm.size()), 4);
    return wav + pcm;
}

bool InstallChimeIfMissing(const DeviceRoot& root) {
    if (FileExists(root, kDefaultSoundPath)) {
        return true;
    }
    return WriteFileAtomically(root, kDefaultSoundPath, MakeChimeWav());
}

} // namespace platform
