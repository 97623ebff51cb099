#pragma once
// Ports of the operating system without Qt: a serial line (a terminal device set up through
// termios) and a device or file written in place (a USB plotter that appears as a printer
// device, a file to look at later). The command-line tools use them; the program uses the Qt
// serial port for serial lines and the file port for everything else.

#include "sender/BytePort.h"
#include "sender/PlotterSettings.h"

#include <functional>
#include <memory>
#include <string>

namespace plotalon {

// The port could not be opened; the message tells the user what to do.
class EPortOpenError : public Exception {
    using Exception::Exception;
};

// The message for an open of path that failed with error (an errno value): no access names
// the group that owns the device, a missing device asks whether the plotter is connected.
std::string PortOpenMessage(const std::string& path, int error);

// True when path names a terminal device (a serial line); false for anything else, also a
// path that does not exist yet. Throws EPortOpenError when a device cannot be opened to tell.
bool IsSerialLine(const std::string& path);

// A serial line through termios: raw 8-bit bytes, the line's frame and rate, RTS/CTS set in
// the driver for that handshake, XON/XOFF set in the driver (IXON) for that one, so that an
// XOFF stops the output at once. Throws EPortOpenError.
class TTermiosPort : public IBytePort {
public:
    TTermiosPort(const std::string& path, const TLineSettings& line);
    ~TTermiosPort() override;
    TTermiosPort(const TTermiosPort&) = delete;
    TTermiosPort& operator=(const TTermiosPort&) = delete;

    std::size_t Write(std::string_view bytes, TMillis wait) override;
    std::string Read(TMillis wait) override;
    bool WaitSent(TMillis wait) override;
    void DiscardOutput() override;
    double CharsPerSecond() const override { return line_.CharsPerSecond(); }
    bool CanAnswer() const override { return true; }
    std::string Name() const override { return path_; }

private:
    void Close();
    std::string path_;
    TLineSettings line_;
    int fd_ = -1;
};

// A device or file written in place: no line rate, no answers. A regular file is emptied
// first, a missing one made, but never below /dev/, where a missing name is a device that is
// not there. Throws EPortOpenError.
class TFilePort : public IBytePort {
public:
    explicit TFilePort(const std::string& path);
    ~TFilePort() override;
    TFilePort(const TFilePort&) = delete;
    TFilePort& operator=(const TFilePort&) = delete;

    std::size_t Write(std::string_view bytes, TMillis wait) override;
    std::string Read(TMillis wait) override;
    bool WaitSent(TMillis wait) override;
    void DiscardOutput() override {}
    double CharsPerSecond() const override { return 0; }
    bool CanAnswer() const override { return false; }
    std::string Name() const override { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// Makes the port of a serial line.
using TSerialPortMaker =
    std::function<std::unique_ptr<IBytePort>(const std::string& path, const TLineSettings& line)>;

// The port for path: a serial line (through termios, unless serial makes it) when it is a
// terminal, otherwise the device or file. Throws EPortOpenError, also for an empty path.
std::unique_ptr<IBytePort> OpenPosixPort(const std::string& path, const TLineSettings& line,
                                         const TSerialPortMaker& serial = {});

// For every port on a file descriptor: true once the driver's output queue is empty, false
// when wait ran out first; throws EPortLost when the line hung up.
bool WaitOutputQueueEmpty(int fd, const std::string& name, TMillis wait);

} // namespace plotalon
