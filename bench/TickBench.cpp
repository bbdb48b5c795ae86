#include "BenchServices.h"
#include "engine/MyAmbuloDoc.h"
#include "platform/Clock.h"
#include "platform/ScriptedGps.h"
#include "view/MainLayout.h"
#include "view/MainPainter.h"
#include "view/MainScreen.h"
#include "view/MapCanvas.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

constexpr int kRoutePoints = 36000; // ten hours, one point a second

// A fix n seconds into a walk at about 5 km/h along a wavy line.
platform::GPS_POSITION WalkFix(int n) {
    const auto t = static_cast<double>(n);
    platform::GPS_POSITION fix;
    fix.dwValidFields = 0xF;
    fix.dblLatitude = 35.0 + t * 1.0e-5 + 2.0e-5 * std::sin(t / 50.0);
    fix.dblLongitude = 139.0 + t * 4.0e-6;
    fix.stUTCTime = platform::LocalTimeFromCalendar(
        platform::CalendarSeconds(platform::SYSTEMTIME{2008, 1, 2, 15, 9, 0, 0, 0}) + n);
    return fix;
}

// The work of one second of a long workout on a VGA screen: the fix is processed, the route plotted
// and the screen painted into its back buffer.
// The argument is the map scale: at 10000 pixels a degree most of a ten-hour route lies beyond the
// canvas; at 500 all of it is drawn.
void Tick(benchmark::State& state, bool centreOnStart) {
    BenchServices s;
    CMyAmbuloDoc doc(s.services);
    MainScreenHooks hooks;
    CMainScreen screen(doc, hooks);
    doc.m_bCenterOnStart = centreOnStart ? 1 : 0;
    doc.m_nMapScale = static_cast<int>(state.range(0));
    doc.m_bGpsReady = 1;
    doc.m_posCurrent = WalkFix(0);
    doc.ProcessFix();
    for (int n = 1; n < kRoutePoints; ++n) {
        doc.m_route.push_back({WalkFix(n).dblLatitude, WalkFix(n).dblLongitude});
    }
    doc.m_posPrevious = doc.m_posLastFix = WalkFix(kRoutePoints - 1);

    const MainLayout layout = MainLayout::For(480, 640);
    CMapCanvas canvas;
    canvas.CreateMapCanvas();
    QImage back(layout.W, layout.H, QImage::Format_RGB32);
    int n = kRoutePoints;
    for (auto _ : state) {
        doc.m_posCurrent = WalkFix(n++);
        doc.ProcessFix();
        if (doc.m_route.size() > kRoutePoints) {
            doc.m_route.erase(doc.m_route.begin()); // always the last ten hours
        }
        canvas.PlotRoute(doc, layout, screen.m_nZoomPercent, screen.m_ptMapPosition);
        PaintMainScreen(back, screen, doc, canvas, layout);
        benchmark::DoNotOptimize(back.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void TickFollowingTheRunner(benchmark::State& state) {
    Tick(state, false);
}
BENCHMARK(TickFollowingTheRunner)->Arg(10000)->Arg(500)->Unit(benchmark::kMillisecond);

void TickAroundTheStart(benchmark::State& state) {
    Tick(state, true);
}
BENCHMARK(TickAroundTheStart)->Arg(10000)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
