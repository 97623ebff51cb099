// The conversion as the user meets it: in the main window, offscreen, from the click on
// "&HPGL erzeugen" to the target pane settled and painted, for generated NC programs of
// 1,000,000 and 5,000,000 blocks (about 20 and 100 MB). "fresh" converts into an empty target
// pane; "again" converts over the output of the run before, which the run clears first. The
// counters give the target's lines and the process's peak memory.
//
// Run on an idle machine: build/bench/bench_app

#include "app/Unit1.h"
#include "bench/NcProgram.h"
#include "controls/XPSpeedButton.h"
#include "editor/view/CodeEdit.h"
#include "engine/ConvState.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

using namespace plotalon;

namespace {

// The main window at a desktop size with the program loaded from its command line.
std::unique_ptr<TForm1> Window(std::size_t blocks) {
    TConvSettings& settings = ConvSettings();
    settings.Factor = 1000;
    settings.Deg = 10;
    settings.HpglType = 1;
    auto form = std::make_unique<TForm1>(std::vector<std::string>{bench::NcProgramFile(blocks)});
    form->setWindowState(Qt::WindowNoState);
    form->resize(1280, 900);
    form->show();
    QApplication::processEvents();
    return form;
}

void Convert(TForm1& form) {
    QTest::mouseClick(form.XPSpeedButton3, Qt::LeftButton, {}, {5, 5});
    QApplication::processEvents(); // the scroll bars and the gutter follow the new text
    form.Ziel->viewport()->repaint();
}

void BM_ConvertOnThePanes(benchmark::State& state) {
    const auto blocks = std::size_t(state.range(0));
    const bool again = state.range(1) != 0;
    std::unique_ptr<TForm1> form = Window(blocks);
    if (again) Convert(*form);
    for (auto _ : state) {
        if (!again) {
            state.PauseTiming();
            form->Ziel->Clear();
            QApplication::processEvents();
            state.ResumeTiming();
        }
        Convert(*form);
    }
    state.SetLabel(again ? "again" : "fresh");
    state.counters["target_lines"] = form->Ziel->Lines().Count();
    state.counters["peak_mb"] = bench::PeakMb();
}

constexpr long kMillion = 1000000;

BENCHMARK(BM_ConvertOnThePanes)
    ->Args({kMillion, 0})
    ->Args({kMillion, 1})
    ->Args({5 * kMillion, 0})
    ->Args({5 * kMillion, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
