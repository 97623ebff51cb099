#include "sender/PlotSender.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <thread>

namespace plotalon {

namespace {

using namespace std::chrono_literals;

// How long one write or read waits before the sender looks at pause and cancel again.
constexpr TMillis kSlice{50};
// How long a full buffer is left to drain before it is asked again.
constexpr TMillis kFullRetry{20};
constexpr TMillis kReportEvery{50};
// How far ahead of the line the sender may run: a few milliseconds of the line's rate, and at
// least a UART's FIFO.
constexpr double kAheadSeconds = 0.002;
constexpr double kAheadMinimum = 32;

constexpr char kXon = '\x11', kXoff = '\x13';

std::string Seconds(TMillis wait) {
    const auto seconds = std::chrono::duration<double>(wait).count();
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

// The free space in an answer to ESC.B. XON and XOFF that a plotter set for them sends between
// answers, and blanks and line feeds around the number, are skipped.
long QueryAnswer(std::string_view answer, bool& readable) {
    std::string digits;
    for (char c : answer)
        if (c != kXon && c != kXoff && c != ' ' && c != '\n') digits += c;
    long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    readable = !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
    return value;
}

} // namespace

TSendOptions SendOptionsOf(const TPlotterSettings& settings) {
    TSendOptions options;
    options.Handshake = settings.Line.Handshake;
    options.BlockSize = std::clamp(settings.BlockSize, 1, kMaxBlockSize);
    options.Init = DecodeEscapes(settings.Init);
    options.AnswerTimeout = TMillis(1000LL * std::max(1, settings.TimeoutSeconds));
    return options;
}

TPlotSender::TPlotSender(IBytePort& port, TSendOptions options, TSendControl& control,
                         ISendProgress* progress)
    : port_(port), options_(std::move(options)), control_(control), progress_(progress) {
    options_.BlockSize = std::max(1, options_.BlockSize);
    // A device or file gives no answers and takes no device-control instructions.
    if (!port_.CanAnswer()) options_.Handshake = THandshake::None;
    rate_ = port_.CharsPerSecond();
    burst_ = std::max(kAheadMinimum, rate_ * kAheadSeconds);
}

TSendOutcome TPlotSender::Send(std::string_view text) {
    text_ = text;
    pos_ = line_ = lineStart_ = 0;
    started_ = creditAt_ = TClock::now();
    credit_ = burst_;
    try {
        return Run();
    } catch (const ESendError&) {
        throw;
    } catch (const Exception& error) { // the port lost, or a write it refused
        Fail(error.Message());
    }
}

TSendOutcome TPlotSender::Run() {
    Report(true);
    WriteAll(options_.Init);
    while (pos_ < text_.size()) {
        if (control_.Cancelled()) break;
        if (control_.Paused()) {
            WaitPaused();
            continue;
        }
        const std::size_t size = NextBlockSize();
        if (size == 0) {
            control_.Sleep(kFullRetry);
            continue;
        }
        WriteBlock(std::min(size, text_.size() - pos_));
    }
    if (control_.Cancelled()) {
        Abort();
        return TSendOutcome::Cancelled;
    }
    Finish();
    return TSendOutcome::Done;
}

std::size_t TPlotSender::NextBlockSize() {
    if (options_.Handshake != THandshake::Query) return std::size_t(options_.BlockSize);
    const long free = QueryFreeSpace();
    if (control_.Cancelled()) return 0;
    return std::size_t(std::clamp<long>(free, 0, options_.BlockSize));
}

void TPlotSender::WaitPaused() {
    const TClock::time_point from = TClock::now();
    Report(true);
    control_.WaitWhilePaused();
    pausedFor_ += TClock::now() - from;
    creditAt_ = TClock::now();
    Report(true);
}

// Writes size bytes of the text from Pos; returns early, with the rest unsent, on pause or
// cancel.
void TPlotSender::WriteBlock(std::size_t size) {
    TClock::time_point lastProgress = TClock::now();
    const std::size_t end = pos_ + size;
    while (pos_ < end && !control_.Cancelled() && !control_.Paused()) {
        const std::size_t from = pos_;
        pos_ += WriteSome(text_.substr(pos_, end - pos_), lastProgress);
        for (std::size_t i = from; i < pos_; ++i)
            if (text_[i] == '\n') {
                ++line_;
                lineStart_ = i + 1;
            }
        Report(false);
    }
}

// Bytes outside the text (set-up string, queries, abort): all of them, whatever pause says.
void TPlotSender::WriteAll(std::string_view bytes) {
    TClock::time_point lastProgress = TClock::now();
    while (!bytes.empty())
        bytes.remove_prefix(WriteSome(bytes, lastProgress));
}

// One write, at most what the pace of the line allows now; fails once the port has taken
// nothing for HoldTimeout.
std::size_t TPlotSender::WriteSome(std::string_view bytes, TClock::time_point& lastProgress) {
    std::size_t allowed = bytes.size();
    if (rate_ > 0) {
        const TClock::time_point now = TClock::now();
        credit_ = std::min(
            burst_, credit_ + std::chrono::duration<double>(now - creditAt_).count() * rate_);
        creditAt_ = now;
        if (credit_ < 1) {
            std::this_thread::sleep_for(std::chrono::duration<double>((1 - credit_) / rate_));
            return 0;
        }
        allowed = std::min(allowed, std::size_t(credit_));
    }
    const std::size_t written = port_.Write(bytes.substr(0, allowed), kSlice);
    credit_ -= double(written);
    const TClock::time_point now = TClock::now();
    if (written > 0)
        lastProgress = now;
    else if (now - lastProgress > options_.HoldTimeout)
        Fail(HoldMessage());
    return written;
}

std::string TPlotSender::HoldMessage() const {
    const std::string after = Seconds(std::chrono::duration_cast<TMillis>(options_.HoldTimeout));
    switch (options_.Handshake) {
    case THandshake::XonXoff:
        return "Plotter antwortet nicht (kein XON nach " + after + " s)";
    case THandshake::RtsCts:
        return "Plotter antwortet nicht (kein CTS nach " + after + " s)";
    default:
        return "Plotter nimmt keine Daten an (seit " + after + " s)";
    }
}

long TPlotSender::QueryFreeSpace() {
    WriteAll(kBufferQuery);
    const TClock::time_point deadline = TClock::now() + options_.AnswerTimeout;
    std::size_t end;
    while ((end = incoming_.find('\r')) == std::string::npos) {
        if (control_.Cancelled()) return 0;
        if (TClock::now() > deadline)
            Fail("Plotter antwortet nicht (keine Antwort auf ESC.B nach " +
                 Seconds(options_.AnswerTimeout) + " s)");
        incoming_ += port_.Read(kSlice);
    }
    const std::string answer = incoming_.substr(0, end);
    incoming_.erase(0, end + 1);
    bool readable = false;
    const long free = QueryAnswer(answer, readable);
    if (!readable) Fail("Unverständliche Antwort des Plotters auf ESC.B: " + answer);
    return free;
}

void TPlotSender::Finish() {
    if (options_.Handshake == THandshake::Query) {
        QueryFreeSpace(); // answered only after everything before it has arrived
    } else if (!port_.WaitSent(options_.HoldTimeout)) {
        Fail(HoldMessage());
    }
    Report(true);
}

void TPlotSender::Abort() {
    if (options_.Handshake == THandshake::None) {
        const std::size_t lineEnd = text_.find('\n', pos_);
        const std::size_t end = lineEnd == std::string_view::npos ? text_.size() : lineEnd + 1;
        if (pos_ > lineStart_) WriteAll(text_.substr(pos_, end - pos_));
    } else {
        port_.DiscardOutput();
        WriteAll(kAbort);
    }
    WriteAll(kPenUp);
    port_.WaitSent(options_.AnswerTimeout);
    Report(true);
}

void TPlotSender::Report(bool force) {
    if (!progress_) return;
    const TClock::time_point now = TClock::now();
    if (!force && now - lastReport_ < kReportEvery) return;
    lastReport_ = now;
    TSendStatus status;
    status.Sent = pos_;
    status.Total = text_.size();
    status.Line = line_;
    const std::size_t lineEnd = text_.find_first_of("\r\n", lineStart_);
    status.LineText = std::string(text_.substr(
        lineStart_, (lineEnd == std::string_view::npos ? text_.size() : lineEnd) - lineStart_));
    status.Elapsed = std::chrono::duration<double>(now - started_ - pausedFor_).count();
    status.Paused = control_.Paused() && !control_.Cancelled();
    status.Finished = pos_ == text_.size();
    progress_->Progress(status);
}

void TPlotSender::Fail(const std::string& reason) const {
    throw ESendError(reason, pos_, text_.size());
}

} // namespace plotalon
