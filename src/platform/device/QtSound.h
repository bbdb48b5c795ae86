#pragma once

#include "platform/DeviceRoot.h"
#include "platform/Sound.h"

#include <QSoundEffect>

#include <map>
#include <memory>
#include <string>

namespace platform::device {

// Plays WAV files through Qt Multimedia, without waiting for them to end. A missing file, a file
// Qt cannot read and a machine without audio are all silently quiet. The effects are kept, one per
// file, so a sound is not cut off by its own destruction and the next play starts at once.
class QtSound final : public Sound {
public:
    explicit QtSound(const DeviceRoot& root) : m_root(root) {}

    void Play(std::string_view devicePath) override;

private:
    const DeviceRoot& m_root;
    std::map<std::string, std::unique_ptr<QSoundEffect>, std::less<>> m_effects;
};

} // namespace platform::device
