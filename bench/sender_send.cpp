// Sending speed on the HPGL of a generated 1,000,000-block NC program: the range check that
// runs before a send (on the window's thread), and the sender's own cost per byte over a port
// that takes everything at once, without and with the buffer query's answers.

#include <benchmark/benchmark.h>

#include "bench/ConvertedProgram.h"
#include "engine/ConversionRun.h"
#include "sender/HpglRange.h"
#include "sender/PlotSender.h"
#include "tools/convert/ConvertCli.h"

namespace {

using namespace plotalon;

const TLineVector& Hpgl() {
    static const TLineVector hpgl = bench::ConvertedProgram(1000000, 1000, 1);
    return hpgl;
}

const std::string& HpglText() {
    static const std::string text = [] {
        std::string joined;
        for (const std::string& line : Hpgl().Lines)
            joined += line + "\r\n";
        return joined;
    }();
    return text;
}

// Takes every byte at once; answers a buffer query with plenty of room.
class TNullPort : public IBytePort {
public:
    std::size_t Write(std::string_view bytes, TMillis) override {
        Queries += bytes == kBufferQuery;
        return bytes.size();
    }
    std::string Read(TMillis) override {
        if (Queries == 0) return {};
        --Queries;
        return "1024\r";
    }
    bool WaitSent(TMillis) override { return true; }
    void DiscardOutput() override {}
    double CharsPerSecond() const override { return 0; }
    bool CanAnswer() const override { return true; }
    std::string Name() const override { return "null"; }
    int Queries = 0;
};

void BM_RangeCheck(benchmark::State& state) {
    const TLineVector& hpgl = Hpgl();
    // A range that holds every coordinate, so that every line is read.
    for (auto _ : state)
        benchmark::DoNotOptimize(FindOutOfRange(hpgl, INT32_MIN, INT32_MAX));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(HpglText().size()));
    state.counters["lines"] = double(hpgl.LineCount());
}
BENCHMARK(BM_RangeCheck)->Unit(benchmark::kMillisecond);

void BM_Send(benchmark::State& state) {
    const std::string& text = HpglText();
    TSendOptions options;
    options.Handshake = state.range(0) ? THandshake::Query : THandshake::None;
    options.BlockSize = 1024;
    for (auto _ : state) {
        TNullPort port;
        TSendControl control;
        benchmark::DoNotOptimize(TPlotSender(port, options, control, nullptr).Send(text));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_Send)->Arg(0)->Arg(1)->ArgNames({"query"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
