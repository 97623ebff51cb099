// Plot preview speed on the HPGL of a generated 1,000,000-block NC program: reading it into
// strokes, writing the SVG, rasterising and encoding the PNG.

#include <benchmark/benchmark.h>

#include "bench/ConvertedProgram.h"
#include "engine/ConversionRun.h"
#include "preview/HpglReader.h"
#include "preview/PlotRaster.h"
#include "preview/PlotSvg.h"
#include "preview/PngWriter.h"
#include "tools/convert/ConvertCli.h"

namespace {

using namespace plotalon;

const TLineVector& Hpgl(std::uint8_t type) {
    static const TLineVector hpgl1 = bench::ConvertedProgram(1000000, 1000, 1),
                             hpgl2 = bench::ConvertedProgram(1000000, 1000, 2);
    return type == 1 ? hpgl1 : hpgl2;
}

THpglReader Read(const TLineVector& hpgl) {
    THpglReader reader;
    for (const std::string& line : hpgl.Lines)
        reader.ReadLine(line);
    return reader;
}

void BM_ReadHpgl(benchmark::State& state, std::uint8_t type) {
    const TLineVector& hpgl = Hpgl(type);
    std::size_t steps = 0;
    for (auto _ : state)
        steps = Read(hpgl).Plot().StepCount();
    state.SetItemsProcessed(std::int64_t(state.iterations() * hpgl.Lines.size()));
    state.counters["steps"] = double(steps);
}
BENCHMARK_CAPTURE(BM_ReadHpgl, hpgl1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadHpgl, hpgl2, 2)->Unit(benchmark::kMillisecond);

void BM_WriteSvg(benchmark::State& state, std::uint8_t type) {
    const THpglReader reader = Read(Hpgl(type));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        WritePlotSvg(reader.Plot(), [&](std::string_view b) { bytes += b.size(); });
    }
    state.counters["svg_MB"] = double(bytes) / 1e6;
}
BENCHMARK_CAPTURE(BM_WriteSvg, hpgl1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteSvg, hpgl2, 2)->Unit(benchmark::kMillisecond);

void BM_RenderPng(benchmark::State& state, std::uint8_t type) {
    const THpglReader reader = Read(Hpgl(type));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const TRgbImage image = RenderPlot(reader.Plot());
        bytes = EncodePng(image.Width, image.Height, image.Pixels).size();
    }
    state.counters["png_kB"] = double(bytes) / 1e3;
}
BENCHMARK_CAPTURE(BM_RenderPng, hpgl1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPng, hpgl2, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
