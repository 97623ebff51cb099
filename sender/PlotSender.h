#pragma once
// Sends an HPGL text over a byte port under one of the handshakes:
//
// - none: the text goes out as fast as the port takes it.
// - XON/XOFF and RTS/CTS: the port's driver stops the output while the plotter says so (the
//   port is set up for it); a hold longer than HoldTimeout ends the send.
// - query: before each block "ESC.B" asks for the free space in the plotter's buffer, answered
//   by a number and CR within AnswerTimeout; the block holds at most that many bytes (and at
//   most BlockSize); a full buffer is asked again shortly after. A last query at the end tells
//   that the plotter has taken in everything.
//
// On a port with a line rate the sender never runs more than a few milliseconds ahead of it,
// as a UART would: bytes the port has taken in but not yet sent are out of the handshake's
// reach (USB adapters and pseudo-terminals keep sending them after an XOFF), so only a small
// block may be in flight.
//
// The set-up string goes out first. Pause holds the sending between two writes. Cancel stops
// it; where the handshake speaks the plotter's device-control language (every one but none),
// what is still queued in the port is dropped and the abort "ESC.K" follows, so the plotter
// discards its buffer; without a handshake the line that was being sent is completed instead,
// so that the plotter does not read half an instruction. "PU;" then lifts the pen.

#include "sender/BytePort.h"
#include "sender/PlotterSettings.h"
#include "sender/SendControl.h"
#include "sender/SendProgress.h"

#include <chrono>
#include <string>
#include <string_view>

namespace plotalon {

struct TSendOptions {
    THandshake Handshake = THandshake::None;
    int BlockSize = 256;
    std::string Init; // raw bytes
    TMillis AnswerTimeout{5000};
    TMillis HoldTimeout{120000};
};

// The options of saved plotter settings (the set-up string decoded; throws on a bad one).
TSendOptions SendOptionsOf(const TPlotterSettings& settings);

enum class TSendOutcome { Done, Cancelled };

inline constexpr std::string_view kAbort = "\x1b.K";
inline constexpr std::string_view kPenUp = "PU;";
inline constexpr std::string_view kBufferQuery = "\x1b.B";

class TPlotSender {
public:
    // progress may be nullptr.
    TPlotSender(IBytePort& port, TSendOptions options, TSendControl& control,
                ISendProgress* progress);

    // Sends text. Throws ESendError (the reason and the bytes sent by then) when the port goes
    // away or the plotter stops answering.
    TSendOutcome Send(std::string_view text);

private:
    using TClock = std::chrono::steady_clock;

    TSendOutcome Run();
    std::size_t NextBlockSize();
    void WriteBlock(std::size_t size);
    void WriteAll(std::string_view bytes);
    std::size_t WriteSome(std::string_view bytes, TClock::time_point& lastProgress);
    long QueryFreeSpace();
    void Finish();
    void Abort();
    void WaitPaused();
    void Report(bool force);
    [[noreturn]] void Fail(const std::string& reason) const;
    std::string HoldMessage() const;

    IBytePort& port_;
    TSendOptions options_;
    TSendControl& control_;
    ISendProgress* progress_;

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;      // the line Pos lies in
    std::size_t lineStart_ = 0; // where it begins
    std::string incoming_;      // answer bytes not yet used

    // The pace of the line.
    double rate_ = 0;  // characters per second, 0: none
    double burst_ = 0; // how far the sender may run ahead of the line, in characters
    double credit_ = 0;
    TClock::time_point creditAt_;

    TClock::time_point started_;
    TClock::duration pausedFor_{};
    TClock::time_point lastReport_;
};

} // namespace plotalon
