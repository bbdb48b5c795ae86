#include "BenchServices.h"
#include "engine/MyAmbuloDoc.h"
#include "platform/ScriptedGps.h"
#include "replay/Replay.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The log to replay: $AMBULO_BENCH_NMEA (tools/bench.sh makes a ten-hour one), else the demo jog.
std::filesystem::path LogToReplay() {
    const char* log = std::getenv("AMBULO_BENCH_NMEA");
    return log != nullptr ? std::filesystem::path(log) : std::filesystem::path(AMBULO_DEMO_NMEA);
}

// Settings that keep the track log and its exercise record besides the KML and the history.
void SaveEveryFile(const std::filesystem::path& root) {
    BenchServices s;
    platform::DeviceRoot device(root);
    const platform::Services services{device, s.clock, s.messages, s.gps, s.radio, s.sound, s.power, s.shell};
    CMyAmbuloDoc doc(services);
    doc.m_saved.bSaveGpsLog = 1;
    doc.SaveSettings();
}

// A whole replay with every file on: track log, exercise record, KML and history.
void ReplayWholeLog(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "ambulo-bench-XXXXXX").string();
    const std::filesystem::path root = ::mkdtemp(pattern.data());
    SaveEveryFile(root);
    ReplayOptions options;
    options.root = root;
    options.nmeaLog = LogToReplay();
    std::size_t files = 0;
    for (auto _ : state) {
        const ReplayResult result = RunReplay(options);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        files = result.files.size();
        state.PauseTiming();
        std::filesystem::remove_all(root / "My Documents");
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(files);
    std::filesystem::remove_all(root);
}
BENCHMARK(ReplayWholeLog)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
