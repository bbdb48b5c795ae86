#include "BenchServices.h"
#include "logs/TextFormat.h"
#include "platform/File.h"
#include "review/HistoryDlg.h"

#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kWorkouts = 10000;

// Ten thousand workouts, one or two a day for about fifteen years, as the history log holds them.
void WriteHistory(const platform::DeviceRoot& root) {
    std::string text = "DataVersion=0.01\r\n日付,時刻,距離(m),時間(秒),消費カロリー(kcal)\r\n";
    for (int n = 0; n < kWorkouts; ++n) {
        const int day = n * 2 / 3;
        text += CFormat("%d/%02d/%02d,%02d:%02d:%02d,%d,%d,%.1f\r\n", 1994 + day / 336, day / 28 % 12 + 1,
                        day % 28 + 1, 6 + n % 3 * 6, n % 60, 0, 3000 + n % 5000, 1200 + n % 3600,
                        150.0 + n % 700 * 0.3);
    }
    platform::File file = platform::File::CreateAlways(root, R"(\amblHistory.log)");
    file.Write(kUtf16Bom);
    WriteUtf16(file, text);
}

// What opening the history dialog costs: the log read, the seven days summed, the graph drawn and
// the list filled.
void OpenHistory(benchmark::State& state) {
    BenchServices s;
    WriteHistory(s.root);
    const auto W = static_cast<int>(state.range(0));
    const auto H = static_cast<int>(state.range(1));
    for (auto _ : state) {
        CHistoryDlg dlg(s.root, "\\", platform::SYSTEMTIME{2008, 1, 2, 15, 10, 0, 0, 0}, s.messages,
                        [](const std::string&, const std::string&) { return 0; });
        dlg.SetClientSize(W, H);
        benchmark::DoNotOptimize(dlg.Image().constBits());
        benchmark::DoNotOptimize(dlg.List()->topLevelItemCount());
    }
}
BENCHMARK(OpenHistory)->Args({240, 320})->Args({640, 480})->Unit(benchmark::kMillisecond);

} // namespace
