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

TCodeEditFiler::TCodeEditFiler() : buffer_(kInitialBufferSize + kTail, '\0') {}

// ---------------------------------------------------------------------------------------

TCodeEditFileReader::TCodeEditFileReader(const std::string& path) {
    fd_ = OpenForReading(path, TReadSource::PlainFile);
    if (fd_ < 0) throw EFOpenError(path);
    struct stat st {};
    fstat(fd_, &st);
    size_ = st.st_size;
}

TCodeEditFileReader::~TCodeEditFileReader() {
    if (fd_ >= 0) ::close(fd_);
}

// Moves the unread bytes to the front and fills the buffer behind them. A partial line that
// has grown beyond half the buffer doubles it first, so a line may be of any length.
void TCodeEditFileReader::Refill() {
    std::size_t keep = end_ - pos_;
    if (pos_ > 0 && keep > 0) std::memmove(buffer_.data(), buffer_.data() + pos_, keep);
    pos_ = 0;
    end_ = keep;
    if (keep > bufSize_ / 2) {
        bufSize_ *= 2;
        buffer_.resize(bufSize_ + kTail);
    }
    for (;;) {
        ssize_t n = ::read(fd_, buffer_.data() + end_, bufSize_ - end_);
        if (n < 0) {
            if (errno == EINTR) continue;
            buffer_[end_] = '\0';
            throw EReadError();
        }
        if (n == 0) eof_ = true;
        end_ += std::size_t(n);
        read_ += n;
        break;
    }
    buffer_[end_] = '\0';
}

bool TCodeEditFileReader::AtEnd() {
    if (stopped_) return true;
    if (pos_ == end_ && !eof_) Refill();
    if (pos_ < end_ && buffer_[pos_] == '\0') stopped_ = true;
    return stopped_ || (pos_ == end_ && eof_);
}

std::string_view TCodeEditFileReader::ReadLine() {
    std::size_t scan = pos_;
    for (;;) {
        const char* b = buffer_.data();
        std::size_t q = FindLineStop(b, scan);
        if (q < end_) {
            std::string_view line(b + pos_, q - pos_);
            if (b[q] == '\n') {
                pos_ = q + 1;
                return line;
            }
            if (b[q] == '\r') {
                if (q + 1 == end_ && !eof_) { // the next byte decides; fetch it first
                    std::size_t offset = q - pos_;
                    Refill();
                    scan = pos_ + offset;
                    continue;
                }
                if (b[q + 1] == '\n') {
                    format_ = TLineBreakFormat::CRLF;
                    pos_ = q + 2;
                } else {
                    pos_ = q + 1; // a lone CR ends the line on its own
                }
                return line;
            }
            pos_ = q; // a 0 byte in the data ends the text
            stopped_ = true;
            return line;
        }
        if (eof_) { // the last line ends with the data
            std::string_view line(b + pos_, end_ - pos_);
            pos_ = end_;
            return line;
        }
        std::size_t offset = q - pos_;
        Refill();
        scan = pos_ + offset;
    }
}

// ---------------------------------------------------------------------------------------

TCodeEditFileWriter::TCodeEditFileWriter(const std::string& path) : path_(path), file_(path) {
    if (!file_.Ok()) throw EFCreateError(path, file_.ErrorCode());
}

void TCodeEditFileWriter::Flush() {
    if (pos_ == 0) return;
    file_.Write(std::string_view(buffer_.data(), pos_));
    pos_ = 0;
    if (!file_.Ok()) throw EWriteError(file_.ErrorCode());
}

void TCodeEditFileWriter::WriteLine(std::string_view text) {
    std::string_view lineBreak = format_ == TLineBreakFormat::CRLF ? "\r\n" : "\n";
    std::size_t need = text.size() + lineBreak.size();
    if (pos_ + need > bufSize_) Flush();
    if (need > bufSize_) {
        bufSize_ = need;
        buffer_.resize(bufSize_ + kTail);
    }
    if (!text.empty()) std::memcpy(buffer_.data() + pos_, text.data(), text.size());
    std::memcpy(buffer_.data() + pos_ + text.size(), lineBreak.data(), lineBreak.size());
    pos_ += need;
}

void TCodeEditFileWriter::Commit() {
    Flush();
    if (!file_.Ok()) throw EWriteError(file_.ErrorCode());
    if (!file_.Commit()) throw EFCreateError(path_, file_.ErrorCode());
}

} // namespace plotalon
