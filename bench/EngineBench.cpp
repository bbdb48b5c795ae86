#include "engine/Geodesy.h"
#include "engine/MyAmbuloDoc.h"
#include "platform/Clock.h"
#include "platform/ScriptedGps.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

// Services over a throw-away device root.
struct BenchServices {
    BenchServices() : root(MakeRoot()) {}
    ~BenchServices() {
        std::error_code ec;
        std::filesystem::remove_all(root.HostFolder(), ec);
    }
    BenchServices(const BenchServices&) = delete;
    BenchServices& operator=(const BenchServices&) = delete;

    static platform::DeviceRoot MakeRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ambulo-bench-XXXXXX").string();
        return platform::DeviceRoot(::mkdtemp(pattern.data()));
    }

    platform::DeviceRoot root;
    platform::ManualClock clock{platform::SYSTEMTIME{2008, 1, 2, 15, 9, 0, 0, 0}};
    platform::ScriptedMessageBox messages;
    platform::ScriptedGpsSource gps;
    platform::ScriptedRadio radio;
    platform::Services services{root, clock, messages, gps, radio};
};

// A walk of one fix a second at about 5 km/h along a wavy line, with the odd glitch and pause, so
// that every branch of the processing is taken.
void ProcessFixOnALongWalk(benchmark::State& state) {
    BenchServices s;
    CMyAmbuloDoc doc(s.services);
    platform::GPS_POSITION fix;
    fix.dwValidFields = 0xF | platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
    std::int64_t second = platform::CalendarSeconds(s.clock.LocalNow());
    std::int64_t n = 0;
    for (auto _ : state) {
        const auto t = static_cast<double>(n);
        fix.dblLatitude = 35.0 + t * 1.0e-5 + 2.0e-5 * std::sin(t / 50.0);
        fix.dblLongitude = 139.0 + t * 4.0e-6;
        if (n % 997 == 500) {
            fix.dblLatitude += 0.01; // a receiver glitch
        }
        fix.flAltitudeWRTSeaLevel = static_cast<float>(20.0 + 5.0 * std::sin(t / 300.0));
        fix.stUTCTime = platform::LocalTimeFromCalendar(++second);
        doc.m_posCurrent = fix;
        benchmark::DoNotOptimize(doc.ProcessFix());
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["route_points"] = doc.RoutePointCount();
}
BENCHMARK(ProcessFixOnALongWalk);

void GeoDistanceBetweenNearbyPoints(benchmark::State& state) {
    double minutes = 0.0;
    for (auto _ : state) {
        minutes += 1.0e-6;
        benchmark::DoNotOptimize(GeoDistance(35, minutes, 139, 12.5, 20.0, 35, 0.06, 139, 12.51, 21.0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GeoDistanceBetweenNearbyPoints);

void LoadSettingsFile(benchmark::State& state) {
    BenchServices s;
    {
        CMyAmbuloDoc doc(s.services);
        doc.m_saved.strLogFolder = "\\SD Card\\ランニング\\ログ\\";
        doc.SaveSettings();
    }
    for (auto _ : state) {
        CMyAmbuloDoc doc(s.services); // construction loads the file
        benchmark::DoNotOptimize(doc.m_strLogFolder.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LoadSettingsFile);

} // namespace

BENCHMARK_MAIN();
