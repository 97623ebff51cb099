// Memory of the window's conversion, without the window: the generated NC program loaded into
// a line list as the source pane holds it, then converted (HPGL 1, factor 1000, 10 degrees)
// into a detached line list with the NC highlighter, as the target pane's worker builds it
// before the pane adopts it. "again" converts a second time while the first result is still
// held, as a pane keeps its text until the new one has been built.
//
// Counters: the text sizes (the NC file; the HPGL text as saved, CR LF after every line), what
// one line costs in each list (resident bytes per line, from the resident set before and
// after), and the peak resident set over the run: in MB, and above the process's own start
// as a multiple of source plus output text.
//
// Run: build/bench/bench_linememory

#include "bench/NcProgram.h"
#include "editor/CodeEditDetachedLines.h"
#include "editor/ncSyn.h"
#include "engine/ConversionRun.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

using namespace plotalon;

namespace {

// A field of /proc/self/status in kB.
long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == field + ":") {
            status >> kb;
            return kb;
        }
    return 0;
}

// Starts a new peak: the resident set's high-water mark drops to what is resident now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double Mb(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

// The HPGL text as a PLT file holds it.
double SavedBytes(const TCodeEditStringList& lines) {
    double bytes = 0;
    for (std::size_t i = 0; i < lines.LineCount(); ++i)
        bytes += lines.LineAt(i).size() + 2;
    return bytes;
}

void BM_ConvertIntoLineLists(benchmark::State& state) {
    const auto blocks = std::size_t(state.range(0));
    const bool again = state.range(1) != 0;
    const std::string path = bench::NcProgramFile(blocks);
    TConvSettings settings;
    settings.Factor = 1000;
    settings.Deg = 10;
    settings.HpglType = 1;
    const TLineVector none;
    TNCSyn paneHighlighter;
    for (auto _ : state) {
        ResetPeak();
        const double start = StatusKb("VmRSS") * 1024.0;
        TCodeEditStringList source;
        source.LoadFile(path);
        const double loaded = StatusKb("VmRSS") * 1024.0;
        const auto convert = [&] {
            auto target = std::make_unique<TCodeEditDetachedLines>(8, &paneHighlighter);
            TModalState modal;
            TConversionRun run(settings, modal, target->Lines());
            run.Execute(source, none, none);
            return target;
        };
        const std::unique_ptr<TCodeEditDetachedLines> first = convert();
        const double converted = StatusKb("VmRSS") * 1024.0;
        if (again) convert();
        const double peak = StatusKb("VmHWM") * 1024.0;

        const TCodeEditStringList& target = first->Lines();
        const double sourceBytes = double(bench::FileSize(path)), outputBytes = SavedBytes(target);
        state.counters["source_MB"] = Mb(sourceBytes);
        state.counters["output_MB"] = Mb(outputBytes);
        state.counters["nc_line_B"] = (loaded - start) / double(source.LineCount());
        state.counters["hpgl_line_B"] = (converted - loaded) / double(target.LineCount());
        state.counters["peak_MB"] = Mb(peak);
        state.counters["peak_x_text"] = (peak - start) / (sourceBytes + outputBytes);
    }
    state.SetLabel(again ? "again" : "fresh");
}

constexpr long kMillion = 1000000;

BENCHMARK(BM_ConvertIntoLineLists)
    ->Args({kMillion, 0})
    ->Args({5 * kMillion, 0})
    ->Args({5 * kMillion, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
