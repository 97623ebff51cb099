#pragma once
// The plotter that plotalon-plotter-sim plays: a receive buffer of a given size, emptied at a
// given rate as the pen draws (bytes or instructions per second); device-control instructions
// (ESC . x) handled as they arrive, outside the buffer; XON/XOFF when the free space falls to
// one threshold and rises to another; bytes that arrive while the buffer is full are dropped,
// as a real plotter does. Time is the caller's, in seconds; nothing here reads a clock.

#include <cstdint>
#include <string>

namespace plotalon {

struct TPlotterModelOptions {
    int BufferSize = 1024;
    double DrainRate = 500;     // per second
    bool DrainCommands = false; // DrainRate counts instructions, not bytes
    bool XonXoff = false;
    int XoffAt = 128;            // XOFF once the free space is this or less
    int XonAt = 512;             // XON once it is this or more again
    std::string Model = "7475A"; // the answer to OI
};

struct TPlotterFigures {
    std::uint64_t Received = 0;   // bytes off the line
    std::uint64_t Accepted = 0;   // of them taken into the buffer or handled as device control
    std::uint64_t Overflows = 0;  // dropped because the buffer was full
    std::uint64_t DuringXoff = 0; // data bytes that came while XOFF held
    std::uint64_t XoffsSent = 0;
    std::uint64_t Queries = 0; // ESC.B
    std::uint64_t Aborts = 0;  // ESC.K
    std::uint64_t Drawn = 0;   // instructions the pen has carried out
    int MaxFill = 0;
};

class TPlotterModel {
public:
    explicit TPlotterModel(TPlotterModelOptions options);

    // One byte off the line at time t; what the plotter sends back is appended to reply.
    void Receive(char byte, double t, std::string& reply);
    // Lets the pen work until time t.
    void DrainTo(double t, std::string& reply);

    int Free() const { return options_.BufferSize - int(buffer_.size()); }
    bool Idle() const { return buffer_.empty(); }
    bool XoffHolds() const { return xoff_; }
    const TPlotterFigures& Figures() const { return figures_; }
    // Every byte taken in, in order: data and device-control instructions, not the dropped.
    const std::string& Recorded() const { return record_; }

private:
    void DeviceControl(std::string& reply);
    bool DrainOne(std::string& reply); // false: the pen waits for more
    void CheckXon(std::string& reply);

    TPlotterModelOptions options_;
    TPlotterFigures figures_;
    std::string buffer_;  // front: the next byte the pen takes
    std::string command_; // the instruction the pen is working through
    std::string escape_;  // a device-control instruction being received
    std::string record_;
    double credit_ = 0;
    double drainedAt_ = 0;
    bool xoff_ = false;
};

} // namespace plotalon
