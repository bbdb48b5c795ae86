// The main of the benchmarks that draw: painting wants an application object and the screen's
// fonts, without a display.
#include <QApplication>
#include <QFont>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The figures stay bold at 64 pixels and more, as in the program.
    qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
    QApplication app(argc, argv);
    QFont::insertSubstitution("MS Gothic", "IPAGothic");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
