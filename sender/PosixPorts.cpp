#include "sender/PosixPorts.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace plotalon {

namespace {

constexpr std::pair<int, speed_t> kSpeeds[] = {
    {300, B300},         {600, B600},       {1200, B1200},       {2400, B2400},
    {4800, B4800},       {9600, B9600},     {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},   {460800, B460800},
    {500000, B500000},   {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
    {4000000, B4000000},
};

std::string GroupOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_gid != 0)
        if (const group* owner = ::getgrgid(info.st_gid)) return owner->gr_name;
    return "dialout";
}

// Lost for good: the device is gone or the other end closed it.
bool IsLost(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

// poll for events within wait; true when they came. Throws EPortLost on a hang-up.
bool Await(int fd, short events, TMillis wait, const std::string& name) {
    pollfd entry{fd, events, 0};
    int ready;
    do
        ready = ::poll(&entry, 1, int(wait.count()));
    while (ready < 0 && errno == EINTR);
    if (ready > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
        !(entry.revents & events & POLLIN))
        throw EPortLost(name);
    return ready > 0;
}

std::size_t WriteFd(int fd, std::string_view bytes, TMillis wait, const std::string& name) {
    if (bytes.empty() || !Await(fd, POLLOUT, wait, name)) return 0;
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written >= 0) return std::size_t(written);
    if (errno == EAGAIN || errno == EINTR) return 0;
    if (IsLost(errno)) throw EPortLost(name);
    throw Exception(FormatMessage("Schreibfehler auf %s", name) + " (errno " +
                    std::to_string(errno) + ")");
}

int OpenOrThrow(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) throw EPortOpenError(PortOpenMessage(path, errno));
    return fd;
}

} // namespace

std::string PortOpenMessage(const std::string& path, int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "Kein Zugriff auf " + path + " – ist der Benutzer in der Gruppe " + GroupOf(path) +
               "?";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Anschluss " + path +
               " nicht gefunden – ist der Plotter angeschlossen und "
               "eingeschaltet?";
    case EBUSY:
        return "Anschluss " + path + " ist belegt";
    case EISDIR:
        return path + " ist ein Ordner, kein Anschluss";
    default:
        return "Anschluss " + path + " kann nicht geöffnet werden (errno " + std::to_string(error) +
               ")";
    }
}

bool IsSerialLine(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const int fd = OpenOrThrow(path, O_RDWR | O_NONBLOCK);
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal;
}

bool WaitOutputQueueEmpty(int fd, const std::string& name, TMillis wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0) throw EPortLost(name);
        if (queued == 0) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        Await(fd, 0, TMillis(5), name); // notices a hang-up while it waits
    }
}

TTermiosPort::TTermiosPort(const std::string& path, const TLineSettings& line)
    : path_(path), line_(line) {
    speed_t speed = 0;
    for (const auto& [baud, constant] : kSpeeds)
        if (baud == line.Baud) speed = constant;
    if (speed == 0)
        throw EPortOpenError("Baudrate " + std::to_string(line.Baud) + " wird nicht unterstützt");
    fd_ = OpenOrThrow(path, O_RDWR | O_NONBLOCK);
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        Close();
        throw EPortOpenError(path + " ist keine serielle Schnittstelle");
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (line.DataBits == 7 ? CS7 : CS8);
    if (line.Parity != TParity::None) tio.c_cflag |= PARENB;
    if (line.Parity == TParity::Odd) tio.c_cflag |= PARODD;
    if (line.StopBits == 2) tio.c_cflag |= CSTOPB;
    if (line.Handshake == THandshake::RtsCts) tio.c_cflag |= CRTSCTS;
    // XOFF stops the output in the driver, at once; any other byte does not restart it.
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    if (line.Handshake == THandshake::XonXoff) tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        Close();
        throw EPortOpenError("Anschluss " + path + " lässt sich nicht einstellen");
    }
    ::tcflush(fd_, TCIFLUSH); // answers to an earlier send
}

TTermiosPort::~TTermiosPort() {
    Close();
}

void TTermiosPort::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::size_t TTermiosPort::Write(std::string_view bytes, TMillis wait) {
    return WriteFd(fd_, bytes, wait, path_);
}

std::string TTermiosPort::Read(TMillis wait) {
    if (!Await(fd_, POLLIN, wait, path_)) return {};
    char buffer[4096];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got > 0) return std::string(buffer, std::size_t(got));
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return {};
    throw EPortLost(path_);
}

bool TTermiosPort::WaitSent(TMillis wait) {
    return WaitOutputQueueEmpty(fd_, path_, wait);
}

void TTermiosPort::DiscardOutput() {
    ::tcflush(fd_, TCOFLUSH);
}

TFilePort::TFilePort(const std::string& path) : path_(path) {
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    // A device that is not there (an adapter unplugged, a name mistyped) is not made a file
    // among the devices, which would take the data in silence: it is reported as missing.
    if (!exists && path.starts_with("/dev/")) throw EPortOpenError(PortOpenMessage(path, ENOENT));
    const bool regular = !exists || S_ISREG(info.st_mode);
    // Never waits in the open: a FIFO without a reader fails at once rather than holding
    // the sending thread where no cancel reaches it.
    fd_ = OpenOrThrow(path, O_WRONLY | O_CREAT | O_NONBLOCK | (regular ? O_TRUNC : 0));
}

TFilePort::~TFilePort() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t TFilePort::Write(std::string_view bytes, TMillis wait) {
    return WriteFd(fd_, bytes, wait, path_);
}

std::string TFilePort::Read(TMillis wait) {
    std::this_thread::sleep_for(std::min(wait, TMillis(1)));
    return {};
}

bool TFilePort::WaitSent(TMillis) {
    return true;
}

std::unique_ptr<IBytePort> OpenPosixPort(const std::string& path, const TLineSettings& line,
                                         const TSerialPortMaker& serial) {
    if (path.empty()) throw EPortOpenError("Kein Anschluss für den Plotter angegeben");
    if (!IsSerialLine(path)) return std::make_unique<TFilePort>(path);
    if (serial) return serial(path, line);
    return std::make_unique<TTermiosPort>(path, line);
}

} // namespace plotalon
