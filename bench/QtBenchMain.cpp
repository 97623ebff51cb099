// The main of the benchmarks of windows and controls: Google Benchmark inside the program's
// application object, on the offscreen platform unless another one is asked for.
#include "platform/qt/ErrorReport.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    plotalon::TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
