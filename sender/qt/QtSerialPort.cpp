#include "sender/qt/QtSerialPort.h"

#include "sender/PosixPorts.h"

#include <QDir>
#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>

namespace plotalon {

namespace {

QSerialPort::FlowControl FlowOf(THandshake handshake) {
    switch (handshake) {
    case THandshake::XonXoff:
        return QSerialPort::SoftwareControl;
    case THandshake::RtsCts:
        return QSerialPort::HardwareControl;
    default:
        return QSerialPort::NoFlowControl;
    }
}

QSerialPort::Parity ParityOf(TParity parity) {
    switch (parity) {
    case TParity::Even:
        return QSerialPort::EvenParity;
    case TParity::Odd:
        return QSerialPort::OddParity;
    default:
        return QSerialPort::NoParity;
    }
}

int ErrnoOf(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::PermissionError:
        return EACCES;
    case QSerialPort::DeviceNotFoundError:
        return ENOENT;
    case QSerialPort::OpenError:
        return EBUSY;
    default:
        return EIO;
    }
}

} // namespace

TQtSerialPort::TQtSerialPort(const std::string& path, const TLineSettings& line)
    : path_(path), line_(line) {
    serial_.setPortName(QString::fromStdString(path));
    if (!serial_.open(QIODevice::ReadWrite))
        throw EPortOpenError(PortOpenMessage(path, ErrnoOf(serial_.error())));
    // Each setting on its own, so that the message names the one the port refused.
    const std::pair<bool, std::string> settings[] = {
        {serial_.setBaudRate(line.Baud), "Baudrate " + std::to_string(line.Baud)},
        {serial_.setDataBits(line.DataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8),
         std::to_string(line.DataBits) + " Datenbits"},
        {serial_.setParity(ParityOf(line.Parity)),
         "Parität " + std::string(ParityName(line.Parity))},
        {serial_.setStopBits(line.StopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop),
         std::to_string(line.StopBits) + " Stoppbits"},
        {serial_.setFlowControl(FlowOf(line.Handshake)),
         "Handshake " + std::string(HandshakeName(line.Handshake))},
    };
    for (const auto& [ok, what] : settings)
        if (!ok) {
            serial_.close();
            throw EPortOpenError(what + " wird von " + path + " nicht unterstützt");
        }
    serial_.clear(QSerialPort::Input); // answers to an earlier send
}

void TQtSerialPort::CheckLost() {
    const QSerialPort::SerialPortError error = serial_.error();
    if (error == QSerialPort::TimeoutError)
        serial_.clearError();
    else if (error != QSerialPort::NoError)
        throw EPortLost(path_);
}

// Bytes the port has taken into its own buffer count as handed over; the next write waits
// until they have gone to the driver, so that a handshake holding the driver holds the
// sending too.
std::size_t TQtSerialPort::Write(std::string_view bytes, TMillis wait) {
    if (serial_.bytesToWrite() > 0) {
        serial_.waitForBytesWritten(int(wait.count()));
        CheckLost();
        if (serial_.bytesToWrite() > 0) return 0;
    }
    const qint64 written = serial_.write(bytes.data(), qint64(bytes.size()));
    if (written < 0) throw EPortLost(path_);
    serial_.waitForBytesWritten(0);
    CheckLost();
    return std::size_t(written);
}

std::string TQtSerialPort::Read(TMillis wait) {
    if (serial_.bytesAvailable() == 0) serial_.waitForReadyRead(int(wait.count()));
    CheckLost();
    const QByteArray bytes = serial_.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool TQtSerialPort::WaitSent(TMillis wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (serial_.bytesToWrite() > 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        serial_.waitForBytesWritten(50);
        CheckLost();
    }
    const auto left =
        std::chrono::duration_cast<TMillis>(deadline - std::chrono::steady_clock::now());
    return WaitOutputQueueEmpty(int(serial_.handle()), path_, std::max(left, TMillis(0)));
}

void TQtSerialPort::DiscardOutput() {
    serial_.clear(QSerialPort::Output);
}

std::vector<std::string> AvailablePlotterPorts() {
    std::vector<std::string> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back(info.systemLocation().toStdString());
    for (const char* folder : {"/dev/usb", "/dev"})
        for (const QString& name :
             QDir(QString::fromUtf8(folder)).entryList({QStringLiteral("lp*")}, QDir::System))
            ports.push_back(std::string(folder) + "/" + name.toStdString());
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::unique_ptr<IBytePort> OpenPlotterPort(const std::string& path, const TLineSettings& line) {
    return OpenPosixPort(path, line, [](const std::string& serial, const TLineSettings& frame) {
        return std::make_unique<TQtSerialPort>(serial, frame);
    });
}

} // namespace plotalon
