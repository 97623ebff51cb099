#include "editor/CodeEditFiler.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotalon {

namespace {

// The buffer keeps this many bytes beyond the terminating 0, so that the line scan may read
// whole 8-byte words without checking the end.
constexpr std::size_t kTail = 1 + 8;

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Marks the zero bytes of w; the lowest mark is always exact.
constexpr std::uint64_t ZeroBytes(std::uint64_t w) {
    return (w - kOnes) & ~w & kHighs;
}

// Index of the first LF, CR or 0 byte at or after q; the data ends with a 0, so there is one.
std::size_t FindLineStop(const char* b, std::size_t q) {
    if constexpr (std::endian::native == std::endian::little) {
        for (;;) {
            std::uint64_t w;
            std::memcpy(&w, b + q, 8);
            std::uint64_t hits =
                ZeroBytes(w) | ZeroBytes(w ^ (kOnes * '\n')) | ZeroBytes(w ^ (kOnes * '\r'));
            if (hits != 0) return q + std::size_t(std::countr_zero(hits) >> 3);
            q += 8;
        }
    } else {
        while (b[q] != '\n' && b[q] != '\r' && b[q] != '\0')
            ++q;
        return q;
    }
}

} // namespace

TCodeEditFiler::TCodeEditFiler() : Buffer(kInitialBufferSize + kTail, '\0') {}

// ---------------------------------------------------------------------------------------

TCodeEditFileReader::TCodeEditFileReader(const std::string& path) {
    Fd = OpenForReading(path, TReadSource::PlainFile);
    if (Fd < 0) throw EFOpenError(path);
    struct stat st {};
    fstat(Fd, &st);
    Size = st.st_size;
}

TCodeEditFileReader::~TCodeEditFileReader() {
    if (Fd >= 0) ::close(Fd);
}

// Moves the unread bytes to the front and fills the buffer behind them. A partial line that
// has grown beyond half the buffer doubles it first, so a line may be of any length.
void TCodeEditFileReader::Refill() {
    std::size_t keep = End - Pos;
    if (Pos > 0 && keep > 0) std::memmove(Buffer.data(), Buffer.data() + Pos, keep);
    Pos = 0;
    End = keep;
    if (keep > BufSize / 2) {
        BufSize *= 2;
        Buffer.resize(BufSize + kTail);
    }
    for (;;) {
        ssize_t n = ::read(Fd, Buffer.data() + End, BufSize - End);
        if (n < 0) {
            if (errno == EINTR) continue;
            Buffer[End] = '\0';
            throw EReadError();
        }
        if (n == 0) Eof = true;
        End += std::size_t(n);
        Read += n;
        break;
    }
    Buffer[End] = '\0';
}

bool TCodeEditFileReader::AtEnd() {
    if (Stopped) return true;
    if (Pos == End && !Eof) Refill();
    if (Pos < End && Buffer[Pos] == '\0') Stopped = true;
    return Stopped || (Pos == End && Eof);
}

std::string_view TCodeEditFileReader::ReadLine() {
    std::size_t scan = Pos;
    for (;;) {
        const char* b = Buffer.data();
        std::size_t q = FindLineStop(b, scan);
        if (q < End) {
            std::string_view line(b + Pos, q - Pos);
            if (b[q] == '\n') {
                Pos = q + 1;
                return line;
            }
            if (b[q] == '\r') {
                if (q + 1 == End && !Eof) { // the next byte decides; fetch it first
                    std::size_t offset = q - Pos;
                    Refill();
                    scan = Pos + offset;
                    continue;
                }
                if (b[q + 1] == '\n') {
                    Format = TLineBreakFormat::CRLF;
                    Pos = q + 2;
                } else {
                    Pos = q + 1; // a lone CR ends the line on its own
                }
                return line;
            }
            Pos = q; // a 0 byte in the data ends the text
            Stopped = true;
            return line;
        }
        if (Eof) { // the last line ends with the data
            std::string_view line(b + Pos, End - Pos);
            Pos = End;
            return line;
        }
        std::size_t offset = q - Pos;
        Refill();
        scan = Pos + offset;
    }
}

// ---------------------------------------------------------------------------------------

TCodeEditFileWriter::TCodeEditFileWriter(const std::string& path) : Path(path), File(path) {
    if (!File.Ok()) throw EFCreateError(path, File.ErrorCode());
}

void TCodeEditFileWriter::Flush() {
    if (Pos == 0) return;
    File.Write(std::string_view(Buffer.data(), Pos));
    Pos = 0;
    if (!File.Ok()) throw EWriteError(File.ErrorCode());
}

void TCodeEditFileWriter::WriteLine(std::string_view text) {
    std::string_view lineBreak = Format == TLineBreakFormat::CRLF ? "\r\n" : "\n";
    std::size_t need = text.size() + lineBreak.size();
    if (Pos + need > BufSize) Flush();
    if (need > BufSize) {
        BufSize = need;
        Buffer.resize(BufSize + kTail);
    }
    if (!text.empty()) std::memcpy(Buffer.data() + Pos, text.data(), text.size());
    std::memcpy(Buffer.data() + Pos + text.size(), lineBreak.data(), lineBreak.size());
    Pos += need;
}

void TCodeEditFileWriter::Commit() {
    Flush();
    if (!File.Ok()) throw EWriteError(File.ErrorCode());
    if (!File.Commit()) throw EFCreateError(Path, File.ErrorCode());
}

} // namespace plotalon
