#pragma once
// A serial line through Qt's serial-port module, for the program. Created, used and destroyed
// on one thread (the sending thread): the port is driven through its blocking calls there, so
// the window's thread never waits on it.
//
// XON/XOFF and RTS/CTS are set on the port (software and hardware flow control), so the
// driver stops the output as soon as the plotter says so.

#include "sender/BytePort.h"
#include "sender/PlotterSettings.h"

#include <QSerialPort>
#include <memory>
#include <string>
#include <vector>

namespace plotalon {

class TQtSerialPort : public IBytePort {
public:
    // Throws EPortOpenError with a message that tells the user what to do.
    TQtSerialPort(const std::string& path, const TLineSettings& line);

    std::size_t Write(std::string_view bytes, TMillis wait) override;
    std::string Read(TMillis wait) override;
    bool WaitSent(TMillis wait) override;
    void DiscardOutput() override;
    double CharsPerSecond() const override { return line_.CharsPerSecond(); }
    bool CanAnswer() const override { return true; }
    std::string Name() const override { return path_; }

    const QSerialPort& Port() const { return serial_; }

private:
    void CheckLost();
    std::string path_;
    TLineSettings line_;
    QSerialPort serial_;
};

// The ports to offer: the serial ports the system reports and the printer devices
// (/dev/usb/lp*, /dev/lp*), sorted, each once.
std::vector<std::string> AvailablePlotterPorts();

// The port for path, on the calling thread: a serial line through Qt when path is a terminal,
// otherwise the device or file written in place. Throws EPortOpenError.
std::unique_ptr<IBytePort> OpenPlotterPort(const std::string& path, const TLineSettings& line);

} // namespace plotalon
