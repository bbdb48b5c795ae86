#include "BenchServices.h"
#include "logs/TextFormat.h"
#include "platform/File.h"
#include "review/ResultDlg.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

constexpr int kLines = 36000; // ten hours, one fix a second
constexpr const char* kTrackLog = R"(\Log\20080102-150900.log)";

// A ten-hour walk around 5 km/h, one line a second, as the track log holds it.
void WriteTrackLog(const platform::DeviceRoot& root) {
    std::string text = "DataVersion=0.01\r\nID, 日付,時刻,緯度,経度,海抜,高度,距離,時間,速度\r\n";
    for (int n = 0; n < kLines; ++n) {
        const double t = n;
        text += CFormat("%d,2008/01/02,%02d:%02d:%02d,%f,%f,%f,%f,%.02f,%d,%.01f\r\n", n,
                        (15 + n / 3600) % 24, n / 60 % 60, n % 60, 35.0 + t * 1.0e-5, 139.0 + t * 4.0e-6,
                        12.0, 48.0, 1.39, 1, 5.0 + 2.0 * std::sin(t / 300.0));
    }
    platform::CreateDirectories(root, R"(\Log\)");
    platform::File file = platform::File::CreateAlways(root, kTrackLog);
    file.Write(kUtf16Bom);
    WriteUtf16(file, text);
}

// What a size change of the result dialog costs: the whole image, the track log read again.
void DrawResult(benchmark::State& state) {
    BenchServices s;
    WriteTrackLog(s.root);
    ResultFigures figures;
    figures.m_strTitle = "20080102-150900";
    figures.m_strDistanceText = "50000 ";
    figures.m_strTimeText = ElapsedText(kLines);
    figures.m_strAvgSpeedText = "5.0";
    figures.m_strKcalText = "2500.0 ";
    figures.m_nTotalSeconds = kLines;
    figures.m_nMaxSpeed10 = 70;
    figures.m_strTrackLogPath = kTrackLog;
    const auto W = static_cast<int>(state.range(0));
    const auto H = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const QImage image = DrawResultImage(figures, s.root, W, H);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DrawResult)->Args({480, 536})->Args({640, 440})->Unit(benchmark::kMillisecond);

} // namespace
