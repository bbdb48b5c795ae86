#pragma once

#include "platform/DeviceRoot.h"

#include <string>
#include <string_view>

namespace platform {

// Where the sounds point by default.
inline constexpr std::string_view kDefaultSoundPath = R"(\Windows\RecEnd.wav)";

// Our own short two-note chime as a WAV file: 16-bit mono PCM at 22 050 Hz.
std::string MakeChimeWav();

// Puts the chime at the default sound path unless a file is there already (a user's own sound is
// never replaced). False when it was missing and could not be written.
bool InstallChimeIfMissing(const DeviceRoot& root);

} // namespace platform
