#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Plays a wave file given as a device path, without waiting for it. A file that cannot be played
// and a machine without audio leave it quiet; neither shows a message.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void Play(std::string_view devicePath) = 0;
};

// Plays nothing and remembers what it was asked to play.
class SilentSound final : public Sound {
public:
    void Play(std::string_view devicePath) override { played.emplace_back(devicePath); }

    std::vector<std::string> played;
};

} // namespace platform
