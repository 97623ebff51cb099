#include "preview/PlotModel.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"

namespace plotalon {

namespace {

// Closes a file descriptor when it goes.
struct TFd {
    int Fd;
    ~TFd() {
        if (Fd >= 0) ::close(Fd);
    }
};

} // namespace

std::unique_ptr<TPlotModel> FinishPlotModel(THpglReader& reader) {
    auto model = std::make_unique<TPlotModel>();
    model->Ignored = reader.Ignored();
    model->LineCount = reader.LineCount();
    model->Plot = reader.TakePlot();
    model->Index = TPlotIndex(model->Plot);
    model->Statistics = ComputeStatistics(model->Plot);
    return model;
}

std::unique_ptr<TPlotModel> ReadPlotModel(const ILineSource& lines, std::stop_token stop) {
    THpglReader reader;
    reader.Reserve(lines.LineCount());
    if (!reader.ReadLines(lines, stop)) return nullptr;
    return FinishPlotModel(reader);
}

std::unique_ptr<TPlotModel> PlotModelOfText(std::string_view text) {
    THpglReader reader;
    reader.ReserveFor(text.size());
    reader.ReadText(text);
    return FinishPlotModel(reader);
}

std::unique_ptr<TPlotModel> ReadPlotModelFile(const std::string& path) {
    const TFd file{OpenForReading(path, TReadSource::FileOrStream)};
    if (file.Fd < 0) throw EFOpenError(path);
    THpglReader reader;
    struct stat status {};
    if (fstat(file.Fd, &status) == 0 && S_ISREG(status.st_mode))
        reader.ReserveFor(std::uint64_t(status.st_size));
    std::string buffer;
    std::vector<char> chunk(1 << 20);
    bool afterCr = false; // the last piece ended in CR: an LF right after belongs to it
    for (;;) {
        const ssize_t n = ::read(file.Fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EInOutError("Stream-Lesefehler", errno);
        if (n == 0) break;
        std::string_view piece(chunk.data(), std::size_t(n));
        if (afterCr && piece.front() == '\n') piece.remove_prefix(1);
        afterCr = false;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = FindLineBreak(piece, start);
            if (end == piece.size()) break;
            const std::string_view rest = piece.substr(start, end - start);
            if (buffer.empty()) {
                reader.ReadLine(rest);
            } else {
                buffer += rest;
                reader.ReadLine(buffer);
                buffer.clear();
            }
            start = end + 1;
            if (piece[end] == '\r') {
                if (start == piece.size())
                    afterCr = true;
                else if (piece[start] == '\n')
                    ++start;
            }
        }
        buffer.append(piece.substr(start));
    }
    if (!buffer.empty()) reader.ReadLine(buffer);
    return FinishPlotModel(reader);
}

std::string DescribeUnevaluated(const TIgnoredCommands& ignored) {
    const std::uint64_t count = ignored.Total();
    if (count == 0) return {};
    return std::to_string(count) + (count == 1 ? " Befehl" : " Befehle") +
           " nicht ausgewertet: " + DescribeIgnored(ignored);
}

} // namespace plotalon
