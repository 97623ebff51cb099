// The editor pane on the offscreen platform, on generated NC files of 1,000,000 and
// 5,000,000 lines (about 20 and 100 MB): from the file to the first painted frame with the
// NC highlighter attached, a full repaint, a page down and a character typed on the last
// line, each with its repaint; and a million lines appended one at a time, as the
// conversion fills its pane. The process's peak memory after each load is reported as
// the counters peak_mb and peak_per_file (peak memory / file size).
//
// One long line of 1 MB and 100 MB ("G1 X1 Y2 " over and over, with a comment across it,
// and with tabs): the caret's blink, which repaints the cell under the caret at its start,
// in its middle and at its end, and the repaint of the whole pane there. Both must cost the
// same on any line.
//
// The files are generated once into the temporary folder (PLOTALON_BENCH_DIR to choose
// another). Run on an idle machine: build/bench/bench_editview

#include "bench/NcProgram.h"
#include "bench/ShownPane.h"

#include <QApplication>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace plotalon;

namespace {

struct TViewFixture : bench::TShownPane {
    void Paint() { pane.viewport()->repaint(); }
    void Key(int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&pane, &press);
        QApplication::processEvents();
        Paint();
    }
};

std::unique_ptr<TViewFixture> loaded;
std::size_t loadedLines = 0;

TViewFixture& Loaded(std::size_t lines) {
    if (loadedLines != lines) {
        loaded.reset();
        loaded = std::make_unique<TViewFixture>();
        loaded->pane.LoadFile(bench::NcProgramFile(lines));
        loaded->Paint();
        loadedLines = lines;
    }
    return *loaded;
}

void BM_FileToFirstFrame(benchmark::State& state) {
    const std::size_t lines = std::size_t(state.range(0));
    const std::string path = bench::NcProgramFile(lines);
    loaded.reset();
    loadedLines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<TViewFixture>();
        state.ResumeTiming();
        view->pane.LoadFile(path);
        QApplication::processEvents();
        view->Paint();
        state.PauseTiming();
        loaded = std::move(view);
        loadedLines = lines;
        state.ResumeTiming();
    }
    state.counters["peak_mb"] = bench::PeakMb();
    state.counters["peak_per_file"] = bench::PeakMb() * 1024 * 1024 / double(bench::FileSize(path));
}

void BM_FullRepaint(benchmark::State& state) {
    TViewFixture& view = Loaded(std::size_t(state.range(0)));
    view.pane.SetTopLine(view.pane.Lines().Count() / 2);
    for (auto _ : state)
        view.Paint();
}

void BM_PageDown(benchmark::State& state) {
    TViewFixture& view = Loaded(std::size_t(state.range(0)));
    view.pane.Core().SetCaretXY({1, 1});
    view.pane.EnsureCursorPosVisible();
    for (auto _ : state)
        view.Key(Qt::Key_PageDown, Qt::NoModifier);
}

void BM_TypeOnLastLine(benchmark::State& state) {
    TViewFixture& view = Loaded(std::size_t(state.range(0)));
    view.Key(Qt::Key_End, Qt::ControlModifier);
    int typed = 0;
    for (auto _ : state) {
        // Type and take it back now and then, so that the line keeps its length.
        if (++typed % 64 == 0)
            view.Key(Qt::Key_Backspace, Qt::NoModifier);
        else
            view.Key(Qt::Key_X, Qt::NoModifier, QStringLiteral("X"));
    }
}

// The conversion fills the target pane one AddLine at a time, behind the core's back.
void BM_AppendLinesOneByOne(benchmark::State& state) {
    const std::string block = "PA12345,-6789";
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<TViewFixture>();
        state.ResumeTiming();
        for (long i = 0; i < state.range(0); ++i)
            view->pane.Lines().AddLine(block);
        QApplication::processEvents();
        view->Paint();
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One pane holding one long line, the view scrolled to the caret at the line's start (0),
// middle (1) or end (2).
std::unique_ptr<TViewFixture> longLine;
std::pair<long, long> longLineShape{-1, -1};

TViewFixture& LongLine(long megabytes, long tabs) {
    if (longLineShape != std::pair{megabytes, tabs}) {
        longLine.reset();
        longLine = std::make_unique<TViewFixture>();
        const std::string block = tabs ? "G1\tX1\tY2 " : "G1 X1 Y2 ";
        std::string line;
        const std::size_t size = std::size_t(megabytes) << 20;
        line.reserve(size + block.size());
        while (line.size() < size)
            line += block;
        line.replace(size / 3, 10, "(Kommentar");
        line.replace(2 * size / 3, 1, ")");
        longLine->pane.Lines().AddLine(line);
        QApplication::processEvents();
        longLineShape = {megabytes, tabs};
    }
    return *longLine;
}

void PlaceCaret(TViewFixture& view, long where) {
    const int length = int(view.pane.Lines().LineAt(0).size());
    const int column = where == 0 ? 1 : where == 1 ? length / 2 : length + 1;
    view.pane.Core().SetCaretXY({column, 1});
    view.pane.EnsureCursorPosVisible();
    view.Paint();
}

// What the blink timer does, with the painting it asks for.
void BM_CaretBlinkOnLongLine(benchmark::State& state) {
    TViewFixture& view = LongLine(state.range(0), state.range(2));
    PlaceCaret(view, state.range(1));
    for (auto _ : state) {
        view.pane.BlinkCaret();
        QApplication::processEvents();
    }
}

void BM_RepaintOnLongLine(benchmark::State& state) {
    TViewFixture& view = LongLine(state.range(0), state.range(2));
    PlaceCaret(view, state.range(1));
    for (auto _ : state)
        view.Paint();
}

constexpr long kMillion = 1000000;

// Line size in MB, caret at start/middle/end, tabs.
void LongLineArgs(benchmark::internal::Benchmark* b) {
    for (long megabytes : {1, 100})
        for (long where : {0, 1, 2})
            b->Args({megabytes, where, 0});
    for (long where : {0, 2})
        b->Args({100, where, 1});
    b->ArgNames({"mb", "at", "tabs"})->Unit(benchmark::kMicrosecond);
}
BENCHMARK(BM_CaretBlinkOnLongLine)->Apply(LongLineArgs);
BENCHMARK(BM_RepaintOnLongLine)->Apply(LongLineArgs);

BENCHMARK(BM_AppendLinesOneByOne)->Arg(kMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_FileToFirstFrame)->Arg(kMillion)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeOnLastLine)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileToFirstFrame)->Arg(5 * kMillion)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Arg(5 * kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Arg(5 * kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeOnLastLine)->Arg(5 * kMillion)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    loaded.reset();
    longLine.reset();
    benchmark::Shutdown();
    return 0;
}
