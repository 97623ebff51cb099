#pragma once
// The line to the plotter as the sender sees it: bytes go out, answers come in. Serial ports,
// devices and files written in place, a Qt serial port and the tests' ports in memory all
// look the same to the sender. A port is used by one thread at a time.

#include "platform/Errors.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace plotalon {

using TMillis = std::chrono::milliseconds;

class IBytePort {
public:
    virtual ~IBytePort() = default;

    // Hands over as many of bytes as the port takes within wait (the port may take fewer, or
    // none while a handshake holds it). Throws EPortLost when the port has gone.
    virtual std::size_t Write(std::string_view bytes, TMillis wait) = 0;
    // What came in within wait; empty when nothing did. Throws EPortLost.
    virtual std::string Read(TMillis wait) = 0;
    // True once every byte handed over has left the port, false when wait ran out first.
    virtual bool WaitSent(TMillis wait) = 0;
    // Drops what was handed over but has not left yet, so that an abort goes out next.
    virtual void DiscardOutput() = 0;
    // Characters per second the line carries; 0 when it has no line rate (a file).
    virtual double CharsPerSecond() const = 0;
    // Whether answers can come back at all (a file or printer device gives none).
    virtual bool CanAnswer() const = 0;
    // The path or name, for messages.
    virtual std::string Name() const = 0;
};

// The port went away while in use (an adapter pulled out, the device closed at the other
// end). The message says so; the sender adds how much had been sent.
class EPortLost : public Exception {
public:
    explicit EPortLost(std::string_view port)
        : Exception(FormatMessage("Verbindung zu %s unterbrochen", port)) {}
};

// A failed send: the reason, and the bytes that had been sent by then.
class ESendError : public Exception {
public:
    ESendError(const std::string& message, std::uint64_t sent, std::uint64_t total)
        : Exception(message + " (" + std::to_string(sent) + " von " + std::to_string(total) +
                    " Bytes gesendet)"),
          Sent(sent), Total(total) {}
    std::uint64_t Sent, Total;
};

} // namespace plotalon
