// Converting and loading as the user meets them in the main window, offscreen, for generated
// NC programs of 1,000,000 and 5,000,000 blocks (about 20 and 100 MB), from the command to
// the panes settled and painted: "at_once" on the GUI thread, as small programs still run,
// and "worker" off it, as big ones do (after the window's moment of waiting for it). A conversion
// runs over the output of the one before, which it frees. Counters:
//   stall_ms  the longest time the event loop stood still (a 10 ms timer's lateness)
//   stall_cpu_ms  the most CPU time the GUI thread spent between two of the timer's ticks
//   wall_ms   from the command to the painted panes
//   cpu_ms    CPU time of all threads, which another busy core does not inflate
// BM_Save writes the converted text as a PLT file. BM_Engine is the yardstick: the conversion
// run alone over the same source lines, into a line list as the panes hold ("lines") and into
// nothing ("none").
//
// The preview on the converted 5,000,000 blocks (about 8.5 million HPGL lines): BM_PreviewOpen
// from "&Vorschau" to the first drawing painted (the HPGL pane copied a slice per event-loop
// turn, then read on a thread), with a repaint and a wheel step of zoom and its repaint after
// it (repaint_ms, zoom_ms); BM_PreviewEdit from one typed character in the HPGL pane to the
// drawing that follows it, the pause after typing (400 ms) included.
//
// The machine's other core may be busy: compare CPU times, and wall times only between runs
// on the same machine. Run: build/bench/bench_app

#include "app/Unit1.h"
#include "app/VorschauLink.h"
#include "bench/NcProgram.h"
#include "bench/StallMeter.h"
#include "controls/XPSpeedButton.h"
#include "editor/view/CodeEdit.h"
#include "engine/ConvState.h"
#include "engine/ConversionRun.h"
#include "platform/qt/FileDialogs.h"
#include "preview/qt/Vorschau.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <memory>

using namespace plotalon;

namespace {

enum TWay { kAtOnce = 0, kWorker = 1 };

TForm1::TLongWorkLimits Limits(TWay way) {
    return way == kAtOnce ? TForm1::TLongWorkLimits{INT_MAX, LLONG_MAX, INT_MAX, 0}
                          : TForm1::TLongWorkLimits{0, 0, 0, TForm1::kLongWork.WaitMs};
}

void UseBenchSettings() {
    TConvSettings& settings = ConvSettings();
    settings.Factor = 1000;
    settings.Deg = 10;
    settings.HpglType = 1;
}

struct TFigures {
    double StallMs = 0, StallCpuMs = 0, WallMs = 0, CpuMs = 0;
};

// Runs command from the event loop and lets the loop run until the window's work has ended
// and both panes have painted.
// done: when the work has ended; by default the window's long work.
TFigures Measure(TForm1& form, const std::function<void()>& command,
                 std::function<bool()> done = {}) {
    if (!done) done = [&form] { return !form.Busy(); };
    bench::TStallMeter meter;
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!done()) return;
        watch.stop();
        QTimer::singleShot(0, [&] { // after the scroll bars have settled
            form.Quelle->viewport()->repaint();
            form.Ziel->viewport()->repaint();
            loop.quit();
        });
    });
    TFigures figures;
    const double cpu = bench::CpuMs();
    QElapsedTimer wall;
    wall.start();
    meter.Start();
    QTimer::singleShot(0, [&] {
        command();
        watch.start();
    });
    loop.exec();
    meter.Stop();
    figures.WallMs = double(wall.nsecsElapsed()) / 1e6;
    figures.CpuMs = bench::CpuMs() - cpu;
    figures.StallMs = meter.WorstMs();
    figures.StallCpuMs = meter.WorstCpuMs();
    return figures;
}

// The main window at a desktop size.
std::unique_ptr<TForm1> Window(TWay way) {
    UseBenchSettings();
    auto form = std::make_unique<TForm1>(std::vector<std::string>{"-"});
    form->SetLongWorkLimits(Limits(way));
    form->setWindowState(Qt::WindowNoState);
    form->resize(1280, 900);
    form->show();
    QApplication::processEvents();
    return form;
}

TFigures Open(TForm1& form, const std::string& path) {
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {QString::fromStdString(path)};
    return Measure(form, [&] { form.Button_LadenClick(); });
}

TFigures Convert(TForm1& form) {
    return Measure(form, [&] {
        QTest::mouseClick(form.XPSpeedButton3, Qt::LeftButton, {}, {5, 5});
    });
}

// "H&PGL speichern" into a new file.
TFigures Save(TForm1& form, const std::string& path) {
    std::remove(path.c_str());
    TScriptedFileDialogs dialogs;
    dialogs.Answers = {QString::fromStdString(path)};
    return Measure(form, [&] { form.PLT_SpeichernClick(); });
}

void Report(benchmark::State& state, const TFigures& figures, TWay way) {
    state.SetLabel(way == kAtOnce ? "at_once" : "worker");
    state.counters["stall_ms"] = figures.StallMs;
    state.counters["stall_cpu_ms"] = figures.StallCpuMs;
    state.counters["wall_ms"] = figures.WallMs;
    state.counters["cpu_ms"] = figures.CpuMs;
    state.counters["peak_mb"] = bench::PeakMb();
}

void BM_Load(benchmark::State& state) {
    const auto blocks = std::size_t(state.range(0));
    const auto way = TWay(state.range(1));
    const std::string path = bench::NcProgramFile(blocks);
    std::unique_ptr<TForm1> form = Window(way);
    TFigures figures;
    for (auto _ : state)
        figures = Open(*form, path);
    state.counters["lines"] = form->Quelle->Lines().Count();
    Report(state, figures, way);
}

// The window with the program of that many blocks loaded and converted: the output that a
// measured conversion replaces, or that a save writes.
std::unique_ptr<TForm1> Converted(std::size_t blocks, TWay way) {
    std::unique_ptr<TForm1> form = Window(way);
    Open(*form, bench::NcProgramFile(blocks));
    Convert(*form);
    return form;
}

void BM_Convert(benchmark::State& state) {
    const auto way = TWay(state.range(1));
    std::unique_ptr<TForm1> form = Converted(std::size_t(state.range(0)), way);
    TFigures figures;
    for (auto _ : state)
        figures = Convert(*form);
    state.counters["target_lines"] = form->Ziel->Lines().Count();
    Report(state, figures, way);
}

void BM_Save(benchmark::State& state) {
    const auto blocks = std::size_t(state.range(0));
    const auto way = TWay(state.range(1));
    std::unique_ptr<TForm1> form = Converted(blocks, way);
    const std::string path = bench::NcProgramFile(blocks) + ".plt";
    TFigures figures;
    for (auto _ : state)
        figures = Save(*form, path);
    state.counters["lines"] = form->Ziel->Lines().Count();
    Report(state, figures, way);
    std::remove(path.c_str());
}

class TNoLines : public ILineSink {
public:
    void AppendLine(std::string_view) override {}
};

void BM_Engine(benchmark::State& state) {
    const auto blocks = std::size_t(state.range(0));
    const bool keep = state.range(1) != 0;
    UseBenchSettings();
    TCodeEditStringList source;
    source.LoadFile(bench::NcProgramFile(blocks));
    double cpuMs = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        auto kept = std::make_unique<TCodeEditStringList>();
        TNoLines none;
        TModalState modal;
        const double cpu = bench::CpuMs();
        TConversionRun run(ConvSettings(), modal, keep ? static_cast<ILineSink&>(*kept) : none);
        run.Execute(source, TLineVector(), TLineVector());
        cpuMs = bench::CpuMs() - cpu;
        lines = kept->LineCount();
        state.PauseTiming();
        kept.reset();
        state.ResumeTiming();
    }
    state.SetLabel(keep ? "lines" : "none");
    state.counters["cpu_ms"] = cpuMs;
    if (keep) state.counters["target_lines"] = double(lines);
}

constexpr long kMillion = 1000000;

// Each of the blocks counts with each of the second argument's values, once.
void Sizes(benchmark::internal::Benchmark* bench, std::initializer_list<long> blocks) {
    for (long count : blocks)
        for (long second : {0, 1})
            bench->Args({count, second});
    bench->Iterations(1)->Unit(benchmark::kMillisecond);
}

// The preview's drawing follows the HPGL pane as it stands, and is painted.
std::function<bool()> Drawn(TForm1& form) {
    return [&form] {
        if (!form.Vorschau().Current()) return false;
        form.Vorschau().Window().Plot->repaint();
        return true;
    };
}

// Milliseconds of CPU time that step takes, the best of five.
double BestCpuMs(const std::function<void()>& step) {
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const double cpu = bench::CpuMs();
        step();
        best = std::min(best, bench::CpuMs() - cpu);
    }
    return best;
}

void BM_PreviewOpen(benchmark::State& state) {
    std::unique_ptr<TForm1> form = Converted(std::size_t(state.range(0)), kWorker);
    TVorschau& window = form->Vorschau().Window();
    TFigures figures;
    for (auto _ : state) {
        figures = Measure(
            *form, [&] { form->VorschauClick(); }, Drawn(*form));
        state.PauseTiming();
        window.hide();
        form->Vorschau().TextReplaced(); // read afresh at the next opening
        state.ResumeTiming();
    }
    form->VorschauClick();
    Measure(
        *form, [] {}, Drawn(*form));
    TPlotWidget& plot = *window.Plot;
    state.counters["repaint_ms"] = BestCpuMs([&] { plot.repaint(); });
    int delta = 120;
    state.counters["zoom_ms"] = BestCpuMs([&] {
        const QPointF at(plot.width() / 3.0, plot.height() / 2.0);
        QWheelEvent wheel(at, plot.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plot, &wheel);
        plot.repaint();
        delta = -delta;
    });
    state.counters["lines"] = form->Ziel->Lines().Count();
    Report(state, figures, kWorker);
}

void BM_PreviewEdit(benchmark::State& state) {
    std::unique_ptr<TForm1> form = Converted(std::size_t(state.range(0)), kWorker);
    form->VorschauClick();
    Measure(
        *form, [] {}, Drawn(*form));
    form->Ziel->setFocus();
    TFigures figures;
    for (auto _ : state)
        figures = Measure(
            *form, [&] { QTest::keyClick(form->Ziel, Qt::Key_X); }, Drawn(*form));
    Report(state, figures, kWorker);
}

BENCHMARK(BM_Load)->Apply([](auto* b) { Sizes(b, {kMillion, 5 * kMillion}); });
BENCHMARK(BM_Convert)->Apply([](auto* b) { Sizes(b, {kMillion, 5 * kMillion}); });
BENCHMARK(BM_Save)->Apply([](auto* b) { Sizes(b, {kMillion}); });
BENCHMARK(BM_Engine)->Apply([](auto* b) { Sizes(b, {kMillion, 5 * kMillion}); });
BENCHMARK(BM_PreviewOpen)->Arg(5 * kMillion)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewEdit)->Arg(5 * kMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
