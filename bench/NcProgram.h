#pragma once
// A synthetic NC program of straight moves and arcs, as a CAM system writes them, as text or
// as a file; and the process's peak memory, which the benchmarks report beside their times.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace plotalon::bench {

// One block per line, LF line ends. Every tenth block is an arc (G2 or G3 with R), about a
// tenth are rapid moves and pen lifts, the rest linear moves.
inline std::string GenerateNcProgram(std::size_t blocks) {
    std::string text;
    text.reserve(blocks * 24);
    char line[96];
    double x = 0, y = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t k = i % 10;
        int n = 0;
        if (k == 0) {
            n = std::snprintf(line, sizeof line, "G0 X%.3f Y%.3f\n", x, y);
        } else if (k == 1) {
            n = std::snprintf(line, sizeof line, "G1 Z-1.5 F300\n");
        } else if (k == 5) {
            // A quarter circle of radius 5 from the current point.
            const bool cw = (i / 10) % 2 == 0;
            x += 5;
            y += cw ? -5 : 5;
            n = std::snprintf(line, sizeof line, "%s X%.3f Y%.3f R5\n", cw ? "G2" : "G3", x, y);
        } else if (k == 9) {
            n = std::snprintf(line, sizeof line, "G0 Z5\n");
        } else {
            x += 1.25 + static_cast<double>(i % 7) * 0.5;
            y += static_cast<double>(i % 5) - 2.0;
            n = std::snprintf(line, sizeof line, "G1 X%.3f Y%.3f\n", x, y);
        }
        text.append(line, static_cast<std::size_t>(n));
    }
    return text;
}

inline long long FileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// The program of that many blocks as a file in the temporary folder (PLOTALON_BENCH_DIR to
// choose another), written once and kept for later runs. It is written in slices, so that
// generating it does not count in the peak memory.
inline std::string NcProgramFile(std::size_t blocks) {
    const char* dir = std::getenv("PLOTALON_BENCH_DIR");
    const std::string path =
        std::string(dir ? dir : "/tmp") + "/plotalon-view-" + std::to_string(blocks) + ".nc";
    if (FileSize(path) > 0) return path;
    std::ofstream out(path, std::ios::binary);
    constexpr std::size_t kSlice = 100000;
    for (std::size_t done = 0; done < blocks; done += kSlice)
        out << GenerateNcProgram(std::min(kSlice, blocks - done));
    return path;
}

// The process's peak resident memory so far, in MB.
inline double PeakMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long kb = 0;
    while (status >> key)
        if (key == "VmHWM:") {
            status >> kb;
            break;
        }
    return kb / 1024.0;
}

} // namespace plotalon::bench
