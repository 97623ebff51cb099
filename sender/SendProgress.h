#pragma once
// How far a send has come, reported through one small interface that the progress window
// and plotalon-send both implement.

#include <cstdint>
#include <optional>
#include <string>

namespace plotalon {

struct TSendStatus {
    std::uint64_t Sent = 0;
    std::uint64_t Total = 0;
    std::size_t Line = 0; // 0-based: the line the next byte to send belongs to
    std::string LineText; // that line, without its line break
    double Elapsed = 0;   // seconds of sending, pauses left out
    bool Paused = false;
    bool Finished = false; // every byte has been sent

    // Seconds still to go at the pace so far; nothing before the first byte has gone.
    std::optional<double> Remaining() const;
};

class ISendProgress {
public:
    virtual ~ISendProgress() = default;
    // Called on the sending thread, at most every few dozen milliseconds and at every change
    // between sending and pause, and once at the end.
    virtual void Progress(const TSendStatus& status) = 0;
};

// "0:07", "12:34", "1:02:03": seconds rounded down to whole ones.
std::string FormatDuration(double seconds);

} // namespace plotalon
