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
    : Port(port), Options(std::move(options)), Control(control), Progress(progress) {
    Options.BlockSize = std::max(1, Options.BlockSize);
    // A device or file gives no answers and takes no device-control instructions.
    if (!Port.CanAnswer()) Options.Handshake = THandshake::None;
    Rate = Port.CharsPerSecond();
    Burst = std::max(kAheadMinimum, Rate * kAheadSeconds);
}

TSendOutcome TPlotSender::Send(std::string_view text) {
    Text = text;
    Pos = Line = LineStart = 0;
    Started = CreditAt = TClock::now();
    Credit = Burst;
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
    WriteAll(Options.Init);
    while (Pos < Text.size()) {
        if (Control.Cancelled()) break;
        if (Control.Paused()) {
            WaitPaused();
            continue;
        }
        const std::size_t size = NextBlockSize();
        if (size == 0) {
            Control.Sleep(kFullRetry);
            continue;
        }
        WriteBlock(std::min(size, Text.size() - Pos));
    }
    if (Control.Cancelled()) {
        Abort();
        return TSendOutcome::Cancelled;
    }
    Finish();
    return TSendOutcome::Done;
}

std::size_t TPlotSender::NextBlockSize() {
    if (Options.Handshake != THandshake::Query) return std::size_t(Options.BlockSize);
    const long free = QueryFreeSpace();
    if (Control.Cancelled()) return 0;
    return std::size_t(std::clamp<long>(free, 0, Options.BlockSize));
}

void TPlotSender::WaitPaused() {
    const TClock::time_point from = TClock::now();
    Report(true);
    Control.WaitWhilePaused();
    PausedFor += TClock::now() - from;
    CreditAt = TClock::now();
    Report(true);
}

// Writes size bytes of the text from Pos; returns early, with the rest unsent, on pause or
// cancel.
void TPlotSender::WriteBlock(std::size_t size) {
    TClock::time_point lastProgress = TClock::now();
    const std::size_t end = Pos + size;
    while (Pos < end && !Control.Cancelled() && !Control.Paused()) {
        const std::size_t from = Pos;
        Pos += WriteSome(Text.substr(Pos, end - Pos), lastProgress);
        for (std::size_t i = from; i < Pos; ++i)
            if (Text[i] == '\n') {
                ++Line;
                LineStart = i + 1;
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
    if (Rate > 0) {
        const TClock::time_point now = TClock::now();
        Credit =
            std::min(Burst, Credit + std::chrono::duration<double>(now - CreditAt).count() * Rate);
        CreditAt = now;
        if (Credit < 1) {
            std::this_thread::sleep_for(std::chrono::duration<double>((1 - Credit) / Rate));
            return 0;
        }
        allowed = std::min(allowed, std::size_t(Credit));
    }
    const std::size_t written = Port.Write(bytes.substr(0, allowed), kSlice);
    Credit -= double(written);
    const TClock::time_point now = TClock::now();
    if (written > 0)
        lastProgress = now;
    else if (now - lastProgress > Options.HoldTimeout)
        Fail(HoldMessage());
    return written;
}

std::string TPlotSender::HoldMessage() const {
    const std::string after = Seconds(std::chrono::duration_cast<TMillis>(Options.HoldTimeout));
    switch (Options.Handshake) {
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
    const TClock::time_point deadline = TClock::now() + Options.AnswerTimeout;
    std::size_t end;
    while ((end = Incoming.find('\r')) == std::string::npos) {
        if (Control.Cancelled()) return 0;
        if (TClock::now() > deadline)
            Fail("Plotter antwortet nicht (keine Antwort auf ESC.B nach " +
                 Seconds(Options.AnswerTimeout) + " s)");
        Incoming += Port.Read(kSlice);
    }
    const std::string answer = Incoming.substr(0, end);
    Incoming.erase(0, end + 1);
    bool readable = false;
    const long free = QueryAnswer(answer, readable);
    if (!readable) Fail("Unverständliche Antwort des Plotters auf ESC.B: " + answer);
    return free;
}

void TPlotSender::Finish() {
    if (Options.Handshake == THandshake::Query) {
        QueryFreeSpace(); // answered only after everything before it has arrived
    } else if (!Port.WaitSent(Options.HoldTimeout)) {
        Fail(HoldMessage());
    }
    Report(true);
}

void TPlotSender::Abort() {
    if (Options.Handshake == THandshake::None) {
        const std::size_t lineEnd = Text.find('\n', Pos);
        const std::size_t end = lineEnd == std::string_view::npos ? Text.size() : lineEnd + 1;
        if (Pos > LineStart) WriteAll(Text.substr(Pos, end - Pos));
    } else {
        Port.DiscardOutput();
        WriteAll(kAbort);
    }
    WriteAll(kPenUp);
    Port.WaitSent(Options.AnswerTimeout);
    Report(true);
}

void TPlotSender::Report(bool force) {
    if (!Progress) return;
    const TClock::time_point now = TClock::now();
    if (!force && now - LastReport < kReportEvery) return;
    LastReport = now;
    TSendStatus status;
    status.Sent = Pos;
    status.Total = Text.size();
    status.Line = Line;
    const std::size_t lineEnd = Text.find_first_of("\r\n", LineStart);
    status.LineText = std::string(Text.substr(
        LineStart, (lineEnd == std::string_view::npos ? Text.size() : lineEnd) - LineStart));
    status.Elapsed = std::chrono::duration<double>(now - Started - PausedFor).count();
    status.Paused = Control.Paused() && !Control.Cancelled();
    status.Finished = Pos == Text.size();
    Progress->Progress(status);
}

void TPlotSender::Fail(const std::string& reason) const {
    throw ESendError(reason, Pos, Text.size());
}

} // namespace plotalon
