#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kDefaultLogFolder = R"(\My Documents\Ambulo\)";
inline constexpr std::string_view kDefaultSound = R"(\Windows\RecEnd.wav)";
inline constexpr std::string_view kSettingsProductName = "Ambulo";
inline constexpr std::uint32_t kSettingsVersion = 5;

// The image of the settings file, field by field in file order. Flags are stored as read: nothing is
// validated, so a file may carry any value.
struct SavedSettings {
    std::string strProductName{kSettingsProductName};
    std::uint32_t dwVersion = kSettingsVersion;
    std::uint32_t bKeepAwakeIdle = 1;
    std::uint32_t bShowBluetooth = 1;
    std::string strLogFolder{kDefaultLogFolder};
    std::uint32_t bSaveHistory = 1;
    std::uint32_t bSaveKml = 1;
    std::uint32_t bSaveGpsLog = 0;
    double dblWeightKg = 60.0;
    double dblMinDistance = 2.0;
    std::uint32_t bFlatAltitude = 0;
    std::string strPitchSound{kDefaultSound};
    std::uint32_t bPitchSound = 0;
    std::uint32_t bPitchByTime = 1;
    std::uint32_t nPitchSeconds = 60;
    std::uint32_t bPitchByDistance = 0;
    std::uint32_t nPitchMetres = 500;
    // From version 2.
    std::uint32_t bIgnoreGpsFlags = 0;
    // From version 3; means nothing, kept as read.
    std::uint32_t dwReserved = 0;
    // From version 4.
    std::uint32_t bCenterOnStart = 0;
    std::uint32_t nMapScale = 10000;
    // From version 5.
    std::string strCheckpointSound{kDefaultSound};
    std::uint32_t bCheckpointSound = 1;
    std::uint32_t bCheckpointAuto = 0;
    std::uint32_t bCheckpointByTime = 1;
    std::uint32_t nCheckpointSeconds = 300;
    std::uint32_t nCheckpointMetres = 1000;

    friend bool operator==(const SavedSettings&, const SavedSettings&) = default;
};

// The settings file's bytes for a record.
std::string EncodeSettings(const SavedSettings& settings);

// Reads the fields a file of the stored version holds, over the values already in the record.
// False when the bytes end before the last field the version promises; the fields read before
// that stay in the record. Bytes after the last field are ignored.
bool DecodeSettings(std::string_view bytes, SavedSettings& settings);

// A log folder as it is kept: never empty, always starting and ending with a backslash.
std::string NormalizedLogFolder(std::string_view folder);
