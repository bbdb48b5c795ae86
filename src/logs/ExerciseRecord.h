#pragma once

#include "platform/DeviceRoot.h"
#include "platform/File.h"

#include <optional>
#include <string>
#include <string_view>

// The short key-value summary of one finished workout (".hol", UTF-16LE), written beside its
// track log and read back when a past workout is opened.
struct ExerciseRecord {
    int nVersion = 1;        // read back; any value is accepted
    std::string strTitle;    // the run name
    std::string strDistance; // the screen's distance text, "%d " with its trailing blank
    int nSeconds = 0;        // measuring seconds
    std::string strKcal;     // the screen's energy text, "%.01f " with its trailing blank
    std::string strAvgSpeed; // "%.01f" km/h, as formatted by the caller
    int nMaxSpeed10 = 0;     // tenths of km/h
};

// Writes the record (all seven lines, version "001") in place of any earlier one; when it cannot
// be written whole the earlier one stays and the result carries the error.
platform::WriteResult WriteExerciseRecord(const platform::DeviceRoot& root, std::string_view devicePath,
                                          const ExerciseRecord& record);

// Reads a record from the first 1024 bytes of the file; nothing when it cannot be opened. Keys
// are searched in their written order; a missing key leaves its field empty (or 0).
std::optional<ExerciseRecord> ReadExerciseRecord(const platform::DeviceRoot& root,
                                                 std::string_view devicePath);
