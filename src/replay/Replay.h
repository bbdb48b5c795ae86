#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Plays an NMEA log through the main screen as a workout, one epoch per tick, as fast as the
// machine allows: the files come out as the program on screen would write them.
struct ReplayOptions {
    std::optional<std::filesystem::path> root; // the device root; the program's own when absent
    std::filesystem::path nmeaLog;
    struct Rest {
        int afterTick = 0;  // Rest is pressed right after this tick
        int resumeTick = 0; // and Start right after this one
    };
    std::vector<Rest> rests;
    std::vector<int> taps; // the map is tapped right after these ticks
    bool gpx = false;      // list the GPX too (written whenever the KML is, listed only when asked)
};

struct ReplayResult {
    bool ok = false;
    std::string error;                 // what went wrong, when not ok
    std::vector<std::string> failures; // every file that could not be written, once each
    std::vector<std::string> files;    // host paths of the files written whole, in the order written
    // A workout left unsaved by a program that died, saved before the replay: its run name and
    // files.
    std::string recovered;
    std::vector<std::string> recoveredFiles;
    std::vector<std::string> notes; // what the recovery had to say, for the user
    std::string summary;            // "run NAME distance M seconds S kcal X.X maxspeed10 N"
};

// Reads the command line of ambulo-replay: [--root DIR] [--rest N:M]... [--tap N]... [--gpx] LOG.nmea
// Nothing, with a one-line error, when it cannot be understood.
std::optional<ReplayOptions> ParseReplayArguments(const std::vector<std::string>& args, std::string& error);

ReplayResult RunReplay(const ReplayOptions& options);
