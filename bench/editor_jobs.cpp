// Loading a big NC file into a shown pane, as the window meets it: how long the event loop
// stands still at most (a 10 ms timer records how late it fires), the wall time from the
// start to the first painted frame, and the CPU time of all threads. "sync" loads on the
// GUI thread (TCodeEdit::LoadFile); "job" reads on a worker (the pane's TCodeEditJob) and
// adopts the lines in one step. Then the adopt step alone, with the pane's former text
// freed apart. Files of 1,000,000 and 5,000,000 blocks (about 20 and 100 MB), generated
// once into the temporary folder (PLOTALON_BENCH_DIR to choose another).
//
// The other core may be busy: compare CPU times, and stalls only between runs on the same
// machine. Run: build/bench/bench_editjobs

#include "bench/NcProgram.h"
#include "bench/ShownPane.h"
#include "bench/StallMeter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace plotalon;
using bench::CpuMs;
using bench::TStallMeter;

namespace {

enum TLoadWay { kSync = 0, kJob = 1 };

void BM_LoadStall(benchmark::State& state) {
    const std::size_t blocks = std::size_t(state.range(0));
    const auto way = TLoadWay(state.range(1));
    const std::string path = bench::NcProgramFile(blocks);
    TStallMeter meter;
    double stallMs = 0, cpuMs = 0, wallMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<bench::TShownPane>();
        QEventLoop loop;
        auto painted = [&] {
            view->pane.viewport()->repaint();
            loop.quit();
        };
        state.ResumeTiming();
        const double cpu = CpuMs();
        QElapsedTimer wall;
        wall.start();
        meter.Start();
        if (way == kSync) {
            QTimer::singleShot(0, [&] {
                view->pane.LoadFile(path);
                QApplication::processEvents(); // scroll bars and gutter settle
                painted();
            });
        } else {
            view->pane.Job().StartLoad(path, [&](const TCodeEditJob::TOutcome&) {
                QTimer::singleShot(0, painted); // after the scroll bars settle
            });
        }
        loop.exec();
        meter.Stop();
        wallMs = double(wall.nsecsElapsed()) / 1e6;
        cpuMs = CpuMs() - cpu;
        stallMs = meter.WorstMs();
        state.PauseTiming();
        state.counters["lines"] = view->pane.Lines().Count();
        view.reset();
        state.ResumeTiming();
    }
    state.SetLabel(way == kSync ? "sync" : "job");
    state.counters["stall_ms"] = stallMs;
    state.counters["wall_ms"] = wallMs;
    state.counters["cpu_ms"] = cpuMs;
    state.counters["peak_mb"] = bench::PeakMb();
}

// The pane holds a text of the same size before; adopt_ms is the step on the GUI thread up
// to the painted frame, free_ms freeing the former text that the built list took over.
void BM_AdoptLines(benchmark::State& state) {
    const std::size_t blocks = std::size_t(state.range(0));
    const std::string path = bench::NcProgramFile(blocks);
    bench::TShownPane view;
    view.pane.LoadFile(path);
    double adoptMs = 0, freeMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto built = std::make_unique<TCodeEditDetachedLines>(view.pane.Core().TabWidth(),
                                                              view.pane.Highlighter());
        TProgress progress;
        built->Lines().LoadFile(path, &progress);
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        view.pane.AdoptLines(built->Lines());
        QApplication::processEvents();
        view.pane.viewport()->repaint();
        adoptMs = double(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        built.reset();
        freeMs = double(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["adopt_ms"] = adoptMs;
    state.counters["free_ms"] = freeMs;
}

constexpr long kMillion = 1000000;

BENCHMARK(BM_LoadStall)
    ->Args({kMillion, kSync})
    ->Args({kMillion, kJob})
    ->Args({5 * kMillion, kSync})
    ->Args({5 * kMillion, kJob})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdoptLines)
    ->Arg(kMillion)
    ->Arg(5 * kMillion)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
