// ambulo-replay: replays an NMEA log as a workout and writes the workout's files.
#include "replay/Replay.h"

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    // Honour the user's locale as any program does; the files must not depend on it.
    std::setlocale(LC_ALL, "");
    std::string error;
    const auto options = ParseReplayArguments(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "ambulo-replay: %s\n", error.c_str());
        return 1;
    }
    const ReplayResult result = RunReplay(*options);
    for (const auto& note : result.notes) {
        std::fprintf(stderr, "ambulo-replay: %s\n", note.c_str());
    }
    if (!result.recovered.empty()) {
        std::fprintf(stderr, "ambulo-replay: saved the unfinished workout %s first:\n",
                     result.recovered.c_str());
        for (const auto& file : result.recoveredFiles) {
            std::fprintf(stderr, "  %s\n", file.c_str());
        }
    }
    for (const auto& file : result.files) {
        std::printf("%s\n", file.c_str());
    }
    if (!result.ok) {
        std::fprintf(stderr, "ambulo-replay: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%s\n", result.summary.c_str());
    return 0;
}
