#include "BenchServices.h"
#include "engine/Geodesy.h"
#include "engine/MyAmbuloDoc.h"
#include "platform/Clock.h"
#include "platform/ScriptedGps.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Ten hours of walking, one fix a second at about 5 km/h along a wavy line, with the odd glitch,
// so that every branch of the processing is taken.
std::vector<platform::GPS_POSITION> LongWalk() {
    constexpr int kFixes = 36000;
    std::vector<platform::GPS_POSITION> walk(kFixes);
    std::int64_t second = platform::CalendarSeconds(platform::SYSTEMTIME{2008, 1, 2, 15, 9, 0, 0, 0});
    for (int n = 0; n < kFixes; ++n) {
        const auto t = static_cast<double>(n);
        platform::GPS_POSITION& fix = walk[n];
        fix.dwValidFields = 0xF | platform::GPS_VALID_ALTITUDE_WRT_SEA_LEVEL;
        fix.dblLatitude = 35.0 + t * 1.0e-5 + 2.0e-5 * std::sin(t / 50.0);
        fix.dblLongitude = 139.0 + t * 4.0e-6;
        if (n % 997 == 500) {
            fix.dblLatitude += 0.01; // a receiver glitch
        }
        fix.flAltitudeWRTSeaLevel = static_cast<float>(20.0 + 5.0 * std::sin(t / 300.0));
        fix.stUTCTime = platform::LocalTimeFromCalendar(++second);
    }
    return walk;
}

void ProcessFixOnALongWalk(benchmark::State& state) {
    BenchServices s;
    CMyAmbuloDoc doc(s.services);
    const auto walk = LongWalk();
    std::size_t n = 0;
    for (auto _ : state) {
        if (n == walk.size()) {
            n = 0;
            doc.m_bAwaitFirstFix = 1; // the next workout
        }
        doc.m_posCurrent = walk[n++];
        benchmark::DoNotOptimize(doc.ProcessFix());
    }
    state.SetItemsProcessed(state.iterations());
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
