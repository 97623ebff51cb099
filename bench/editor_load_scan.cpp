// Loading a large NC file into a pane's line list, highlighting every line of it and saving
// it back.
// The 100 MB input (about 5 million lines) is generated once into the temporary folder;
// set PLOTALON_BENCH_NC to use another file.

#include "editor/CodeEditHighlighterLink.h"
#include "editor/CodeEditStringList.h"
#include "editor/ncSyn.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>

using namespace plotalon;

namespace {

constexpr std::size_t kFileSize = 100u << 20;

// Short blocks as a CAM post-processor writes them, CR LF terminated, some with comments.
std::string MakeNcFile() {
    const char* env = std::getenv("PLOTALON_BENCH_NC");
    std::string path = env ? env : "/tmp/plotalon-bench-100mb.nc";
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && std::size_t(st.st_size) >= kFileSize) return path;
    std::ofstream out(path, std::ios::binary);
    std::mt19937 random(42);
    std::string block;
    char buf[64];
    std::size_t written = 0;
    for (long n = 10; written < kFileSize; n += 10) {
        unsigned r = random();
        switch (r % 8) {
        case 0:
            std::snprintf(buf, sizeof buf, "N%ld G1 X%u.%u\r\n", n % 100000, r % 500, r % 10);
            break;
        case 1:
            std::snprintf(buf, sizeof buf, "G2 X%u Y-%u R5\r\n", r % 99, r % 77);
            break;
        case 2:
            std::snprintf(buf, sizeof buf, "(Kontur %u)\r\n", r % 1000);
            break;
        default:
            std::snprintf(buf, sizeof buf, "X%u.%02u Y%u.5\r\n", r % 300, r % 100, r % 200);
        }
        block = buf;
        out << block;
        written += block.size();
    }
    return path;
}

long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_size;
}

// The first load of a process also pays for mapping fresh memory; its time is reported apart.
void BM_LoadFile(benchmark::State& state) {
    std::string path = MakeNcFile();
    long lines = 0;
    double firstMs = -1;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TCodeEditStringList list;
        list.LoadFile(path);
        lines = list.Count();
        benchmark::DoNotOptimize(list.LineAt(0).data());
        if (firstMs < 0)
            firstMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
    }
    state.SetBytesProcessed(FileSize(path) * std::int64_t(state.iterations()));
    state.counters["lines"] = double(lines);
    state.counters["first_load_ms"] = firstMs;
    state.counters["peak_rss_MB"] = double(PeakRssKb()) / 1024.0;
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Loading into a pane with the NC highlighter attached: every added line is followed by the
// range upkeep, as in the source pane.
void BM_LoadFileHighlighted(benchmark::State& state) {
    std::string path = MakeNcFile();
    TNCSyn syn;
    for (auto _ : state) {
        TCodeEditStringList list;
        TCodeEditHighlighterLink link(list);
        link.SetHighlighter(&syn);
        list.OnLineAdded = [&link](int i) { link.LineAdded(i); };
        list.LoadFile(path);
        benchmark::DoNotOptimize(list.LineRange(list.Count() - 1));
    }
    state.SetBytesProcessed(FileSize(path) * std::int64_t(state.iterations()));
}
BENCHMARK(BM_LoadFileHighlighted)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScanAllLines(benchmark::State& state) {
    TCodeEditStringList list;
    list.LoadFile(MakeNcFile());
    TNCSyn syn;
    std::int64_t tokens = 0;
    for (auto _ : state) {
        for (int i = 0; i < list.Count(); ++i) {
            syn.BeginLine(list.LineAt(std::size_t(i)), i);
            while (!syn.AtLineEnd()) {
                benchmark::DoNotOptimize(syn.TokenKind());
                ++tokens;
                syn.NextToken();
            }
        }
    }
    state.SetItemsProcessed(tokens);
    state.counters["lines"] = double(list.Count());
}
BENCHMARK(BM_ScanAllLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The conversion engine's target seam: appending millions of short lines.
void BM_AppendLines(benchmark::State& state) {
    const std::string line = "PA1234,5678";
    for (auto _ : state) {
        TCodeEditStringList list;
        ILineSink& sink = list;
        for (int i = 0; i < 5'000'000; ++i)
            sink.AppendLine(line);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * 5'000'000);
}
BENCHMARK(BM_AppendLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// Saving the large file back through the safe save: temporary file, sync, rename and the
// folder's sync.
void BM_SaveFile(benchmark::State& state) {
    TCodeEditStringList list;
    list.LoadFile(MakeNcFile());
    const std::string target = "/tmp/plotalon-bench-save.nc";
    for (auto _ : state)
        list.SaveFile(target);
    state.SetBytesProcessed(FileSize(target) * std::int64_t(state.iterations()));
    std::remove(target.c_str());
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// What one save costs beyond its bytes: opening the target's writer, the two syncs, the
// rename.
void BM_SaveSmallFile(benchmark::State& state) {
    TCodeEditStringList list;
    for (int i = 0; i < 10; ++i)
        list.AddLine("G1 X10 Y20");
    const std::string target = "/tmp/plotalon-bench-small.nc";
    for (auto _ : state)
        list.SaveFile(target);
    std::remove(target.c_str());
}
BENCHMARK(BM_SaveSmallFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
