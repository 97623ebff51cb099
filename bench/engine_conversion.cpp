// Conversion speed: a generated NC program through the whole run, blocks per second, in the
// literal and the standard reading.
// `bench_engine --generate FILE [BLOCKS]` writes the program for the end-to-end script.

#include <benchmark/benchmark.h>
#include <cstring>
#include <fstream>

#include "NcProgram.h"
#include "engine/ConversionRun.h"
#include "tools/convert/ConvertCli.h"

namespace {

using namespace plotalon;

// Counts the bytes the PLT file would hold, as the converter's output does.
class TPltSink : public ILineSink {
public:
    void AppendLine(std::string_view line) override {
        Text.append(line);
        Text.append("\r\n");
    }
    std::string Text;
};

void BM_ConversionRun(benchmark::State& state, std::uint8_t hpglType, TNcMode mode) {
    const auto blocks = static_cast<std::size_t>(state.range(0));
    const TLineVector source(SplitSourceText(bench::GenerateNcProgram(blocks)));
    const TLineVector none;
    TConvSettings settings;
    settings.Factor = 1000;
    settings.Deg = 10;
    settings.HpglType = hpglType;
    settings.NcMode = mode;
    TModalState modal;
    std::size_t bytes = 0;
    // One buffer for every iteration, so that the run is timed rather than fresh pages.
    TPltSink sink;
    sink.Text.reserve(blocks * 40);
    for (auto _ : state) {
        sink.Text.clear();
        TConversionRun run(settings, modal, sink);
        benchmark::DoNotOptimize(run.Execute(source, none, none));
        bytes = sink.Text.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * blocks));
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
}
// The literal reading, and the standard reading of the same program side by side.
BENCHMARK_CAPTURE(BM_ConversionRun, hpgl1, 1, TNcMode::nmLiteral)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConversionRun, hpgl2, 2, TNcMode::nmLiteral)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConversionRun, standard_hpgl1, 1, TNcMode::nmStandard)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConversionRun, standard_hpgl2, 2, TNcMode::nmStandard)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_SplitSource(benchmark::State& state) {
    const std::string text = bench::GenerateNcProgram(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SplitSourceText(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitSource)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--generate") == 0) {
        const std::size_t blocks = argc >= 4 ? std::stoul(argv[3]) : 1000000;
        std::ofstream(argv[2], std::ios::binary) << plotalon::bench::GenerateNcProgram(blocks);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
