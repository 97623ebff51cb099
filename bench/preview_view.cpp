// The preview window on the offscreen platform.
//
// Without arguments, Google benchmarks on the HPGL of a generated 5,000,000-block NC program
// (HPGL 1, factor 40, arcs every 10 degrees; about 8.5 million lines): reading its lines as
// the window gets them from a pane, the first drawing (model handed to the window, fitted,
// painted), a repaint at several magnifications, and one wheel step of zoom with its repaint.
//
// With --files F...: for every HPGL file the CPU time of reading it and of the window's
// first drawing, as bench/preview_vs_hp2xx.sh reports them beside plotalon-view --png and
// hp2xx.

#include "bench/ConvertedProgram.h"
#include "bench/NcProgram.h"
#include "engine/ConversionRun.h"
#include "platform/qt/ErrorReport.h"
#include "preview/PlotModel.h"
#include "preview/qt/Vorschau.h"
#include "tools/convert/ConvertCli.h"

#include <QApplication>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>

using namespace plotalon;

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

const TLineVector& Hpgl5M() {
    static const TLineVector hpgl = bench::ConvertedProgram(5000000, 40, 1, {"SP0;"});
    return hpgl;
}

std::shared_ptr<const TPlotModel> Model5M() {
    static const std::shared_ptr<const TPlotModel> model = ReadPlotModel(Hpgl5M());
    return model;
}

struct TShownWindow {
    TVorschau window;
    TShownWindow() {
        window.resize(1000, 750);
        window.show();
        QApplication::processEvents();
    }
    void Paint() { window.Plot->repaint(); }
};

TShownWindow& Window() {
    static TShownWindow shown;
    return shown;
}

// The process's resident memory now, in MB.
double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == "VmRSS:") {
            status >> kb;
            break;
        }
    return double(kb) / 1024.0;
}

void BM_ReadLines(benchmark::State& state) {
    const TLineVector& hpgl = Hpgl5M();
    std::unique_ptr<TPlotModel> model;
    const double before = ResidentMb();
    for (auto _ : state) {
        model.reset();
        model = ReadPlotModel(hpgl);
    }
    state.counters["lines"] = double(hpgl.LineCount());
    state.counters["steps"] = double(model->Plot.StepCount());
    // What the model holds beside the text it was read from.
    state.counters["model_mb"] = ResidentMb() - before;
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FirstDrawing(benchmark::State& state) {
    const auto model = Model5M();
    TShownWindow& shown = Window();
    for (auto _ : state) {
        shown.window.ShowModel(model);
        shown.Paint();
    }
}
BENCHMARK(BM_FirstDrawing)->Unit(benchmark::kMillisecond);

// A repaint at the fitted view magnified by 10^range(0), about the middle of the drawing's
// first tenth (where the path runs through the view).
void BM_Repaint(benchmark::State& state) {
    TShownWindow& shown = Window();
    shown.window.ShowModel(Model5M());
    TPlotWidget& view = *shown.window.Plot;
    const TPlotBounds& all = Model5M()->Plot.AllBounds();
    const TDevicePoint at =
        view.View().ToDevice({all.MinX + all.Width() / 20, all.MinY + all.Height() / 20});
    view.ZoomAt({at.X, at.Y}, std::pow(10.0, double(state.range(0))));
    const TDevicePoint moved =
        view.View().ToDevice({all.MinX + all.Width() / 20, all.MinY + all.Height() / 20});
    const TViewTransform centred{view.View().Scale, view.View().OffsetX + 500 - moved.X,
                                 view.View().OffsetY + 330 - moved.Y};
    view.SetView(centred);
    for (auto _ : state)
        shown.Paint();
}
BENCHMARK(BM_Repaint)->Arg(0)->Arg(1)->Arg(3)->Arg(5)->Arg(7)->Unit(benchmark::kMillisecond);

// One wheel notch in (or out, every other time) at the pointer, and its repaint.
void BM_ZoomStep(benchmark::State& state) {
    TShownWindow& shown = Window();
    shown.window.ShowModel(Model5M());
    TPlotWidget& view = *shown.window.Plot;
    const QPointF pointer(300, 300);
    int delta = 120;
    for (auto _ : state) {
        QWheelEvent event(pointer, view.mapToGlobal(pointer), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
        shown.Paint();
        delta = -delta;
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond);

int TimeFiles(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        const double start = CpuSeconds();
        std::shared_ptr<const TPlotModel> model;
        try {
            model = ReadPlotModelFile(argv[i]);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        const double read = CpuSeconds();
        TShownWindow shown;
        shown.window.ShowModel(model);
        shown.Paint();
        const double drawn = CpuSeconds();
        shown.Paint();
        const double repainted = CpuSeconds();
        std::printf("%s: read %.3f s, first drawing %.3f s, repaint %.1f ms\n", argv[i],
                    read - start, drawn - read, (repainted - drawn) * 1000);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--files") return TimeFiles(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
