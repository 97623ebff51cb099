// plotalon-send and plotalon-plotter-sim together, over a pseudo-terminal: the simulated
// plotter receives at the line's rate and draws more slowly, so only a working handshake gets
// every byte through.
#include "sender/PosixPorts.h"

#include "platform/AtomicFile.h"

#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"
#include "tests/tools/send/Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <regex>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>

namespace plotalon {
namespace {

using test::TProcess;
using test::TTempDir;
using namespace std::chrono_literals;

// A fast line and a pen a little slower, so that several hundred kilobytes take seconds.
const std::vector<std::string> kLine = {"--baud", "1000000"};

std::string BigPlot() {
    std::string text = "IN;\r\nSP1;\r\n";
    unsigned seed = 1;
    while (text.size() < 256 * 1024) {
        seed = seed * 1103515245 + 12345;
        text += "PA" + std::to_string(int(seed >> 16) % 60000 - 30000) + "," +
                std::to_string(int(seed % 30000)) + ";\r\n";
    }
    return text;
}

class PlotterChain : public ::testing::Test {
protected:
    // Starts the simulator with a 1 KiB buffer; returns the device it listens on.
    std::string StartPlotter(std::vector<std::string> options) {
        // XOFF at half the buffer: room for what a pseudo-terminal still passes on while the
        // kernel has not yet stopped the sender.
        std::vector<std::string> argv{PLOTTER_SIM,
                                      "--buffer",
                                      "1024",
                                      "--drain",
                                      "80000",
                                      "--xoff",
                                      "512",
                                      "--xon",
                                      "768",
                                      "--record",
                                      dir_.Path("record.plt"),
                                      "--report",
                                      dir_.Path("report.txt"),
                                      "--idle-exit",
                                      "0.5"};
        argv.insert(argv.end(), kLine.begin(), kLine.end());
        argv.insert(argv.end(), options.begin(), options.end());
        plotter_ = std::make_unique<TProcess>(argv, dir_.Path("sim.err"));
        return plotter_->ReadLine();
    }
    std::unique_ptr<TProcess> StartSender(const std::string& device,
                                          std::vector<std::string> options) {
        std::vector<std::string> argv{SEND_TOOL, "--port", device};
        argv.insert(argv.end(), kLine.begin(), kLine.end());
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(dir_.Write("plot.plt", plot_));
        return std::make_unique<TProcess>(argv, dir_.Path("send.err"));
    }
    // A figure of the simulator's end report.
    long Figure(const std::string& name) {
        const std::string report = TTempDir::Read(dir_.Path("report.txt"));
        std::smatch match;
        if (!std::regex_search(report, match, std::regex(name + ": (\\d+)"))) return -1;
        return std::stol(match[1]);
    }
    std::string Recorded() { return TTempDir::Read(dir_.Path("record.plt")); }
    std::string SenderErrors() { return TTempDir::Read(dir_.Path("send.err")); }

    TTempDir dir_;
    std::string plot_ = BigPlot();
    std::unique_ptr<TProcess> plotter_;
};

std::string WithoutQueries(std::string bytes) {
    for (std::size_t at; (at = bytes.find("\x1b.B")) != std::string::npos;)
        bytes.erase(at, 3);
    return bytes;
}

TEST_F(PlotterChain, EveryHandshakeAPtyCarriesDeliversEveryByteAndNoHandshakeOverflows) {
    const struct {
        const char* handshake;
        std::vector<std::string> plotter;
        bool delivered;
    } cases[] = {
        {"xonxoff", {"--xonxoff"}, true},
        {"query", {}, true},
        {"none", {"--xonxoff"}, false}, // the plotter says XOFF, but nobody listens
    };
    for (const auto& c : cases) {
        const std::string device = StartPlotter(c.plotter);
        ASSERT_TRUE(device.starts_with("/dev/")) << device;
        EXPECT_EQ(StartSender(device, {"--handshake", c.handshake})->Wait(), 0)
            << c.handshake << ": " << SenderErrors();
        EXPECT_EQ(plotter_->Wait(), c.delivered ? 0 : 1) << c.handshake;
        EXPECT_EQ(Figure("Empfangen"), long(plot_.size()) + 3 * Figure("ESC.B-Abfragen"));
        if (c.delivered) {
            EXPECT_EQ(Figure("Überläufe"), 0) << c.handshake;
            EXPECT_TRUE(WithoutQueries(Recorded()) == plot_) << c.handshake;
        } else {
            EXPECT_GT(Figure("Überläufe"), 0);
            EXPECT_FALSE(Recorded() == plot_);
        }
    }
    EXPECT_GT(Figure("Während XOFF empfangen"), 0);
}

TEST_F(PlotterChain, CancelInTheMiddleEndsTheStreamWithTheAbortAndPenUp) {
    for (const char* handshake : {"xonxoff", "query"}) {
        const std::string device = StartPlotter({"--xonxoff"});
        std::unique_ptr<TProcess> sender = StartSender(device, {"--handshake", handshake});
        ASSERT_TRUE(sender->WaitUntilWritten(20000));
        sender->Signal(SIGINT);
        EXPECT_EQ(sender->Wait(), 3) << SenderErrors();
        EXPECT_EQ(plotter_->Wait(), 0) << handshake;
        const std::string recorded = WithoutQueries(Recorded());
        EXPECT_TRUE(recorded.ends_with("\x1b.KPU;")) << handshake;
        EXPECT_GT(recorded.size(), 10000u);
        EXPECT_LT(recorded.size(), plot_.size());
        EXPECT_EQ(Figure("ESC.K-Abbrüche"), 1);
        EXPECT_NE(SenderErrors().find("abgebrochen"), std::string::npos);
    }
}

TEST_F(PlotterChain, APlotterThatStopsAnsweringGivesTheTimeOut) {
    const std::string device = StartPlotter({});
    std::unique_ptr<TProcess> sender =
        StartSender(device, {"--handshake", "query", "--timeout", "1"});
    ASSERT_TRUE(sender->WaitUntilWritten(5000));
    plotter_->Signal(SIGSTOP);
    EXPECT_EQ(sender->Wait(), 1);
    plotter_->Signal(SIGCONT);
    EXPECT_TRUE(std::regex_search(
        SenderErrors(),
        std::regex("^plotalon-send: Plotter antwortet nicht \\(keine Antwort auf ESC\\.B nach 1 "
                   "s\\) \\([1-9]\\d* von 262\\d\\d\\d Bytes gesendet\\)\n$")))
        << SenderErrors();
}

TEST_F(PlotterChain, APortThatVanishesGivesAClearErrorAndTheBytesSent) {
    const std::string device = StartPlotter({"--xonxoff"});
    std::unique_ptr<TProcess> sender = StartSender(device, {"--handshake", "xonxoff"});
    ASSERT_TRUE(sender->WaitUntilWritten(5000));
    plotter_->Signal(SIGKILL);
    EXPECT_EQ(sender->Wait(), 1);
    EXPECT_TRUE(std::regex_search(SenderErrors(),
                                  std::regex("^plotalon-send: Verbindung zu " + device +
                                             " unterbrochen \\([1-9]\\d* von 262\\d\\d\\d Bytes "
                                             "gesendet\\)\n$")))
        << SenderErrors();
}

// A pseudo-terminal of the test's own, to look at the settings a port leaves on the line.
struct TTestPty {
    TTestPty() {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(Master);
        ::unlockpt(Master);
        Path = ::ptsname(Master);
    }
    ~TTestPty() { ::close(Master); }
    termios Settings() const {
        termios tio{};
        const int fd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::tcgetattr(fd, &tio);
        ::close(fd);
        return tio;
    }
    int Master;
    std::string Path;
};

TEST(SerialPort, LineSettingsAndHandshakeReachTheDriver) {
    const struct {
        TLineSettings line;
        tcflag_t cflagSet, cflagClear, iflagSet, iflagClear;
        speed_t speed;
    } cases[] = {
        // A pseudo-terminal keeps no parity bits, so parity is not looked at here.
        {{19200, 7, TParity::Even, 2, THandshake::RtsCts},
         CS7 | CSTOPB | CRTSCTS,
         0,
         0,
         IXON | IXOFF,
         B19200},
        {{9600, 8, TParity::Odd, 1, THandshake::XonXoff},
         CS8,
         CSTOPB | CRTSCTS,
         IXON | IXOFF,
         IXANY,
         B9600},
        {{115200, 8, TParity::None, 1, THandshake::Query},
         CS8 | CLOCAL | CREAD,
         PARENB | CSTOPB | CRTSCTS,
         0,
         IXON | IXOFF,
         B115200},
    };
    for (const auto& c : cases) {
        TTestPty pty;
        TTermiosPort port(pty.Path, c.line);
        const termios tio = pty.Settings();
        EXPECT_EQ(tio.c_cflag & c.cflagSet, c.cflagSet) << c.line.Baud;
        EXPECT_EQ(tio.c_cflag & c.cflagClear, 0u) << c.line.Baud;
        EXPECT_EQ(tio.c_iflag & c.iflagSet, c.iflagSet) << c.line.Baud;
        EXPECT_EQ(tio.c_iflag & c.iflagClear, 0u) << c.line.Baud;
        EXPECT_EQ(::cfgetospeed(&tio), c.speed);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u); // raw bytes
        EXPECT_DOUBLE_EQ(port.CharsPerSecond(), c.line.CharsPerSecond());
    }
    TTestPty pty;
    try {
        TTermiosPort(pty.Path, {12345, 8, TParity::None, 1, THandshake::None});
        FAIL();
    } catch (const EPortOpenError& e) {
        EXPECT_EQ(e.Message(), "Baudrate 12345 wird nicht unterstützt");
    }
}

TEST(SerialPort, OpenFailuresSayWhatToDo) {
    TTestPty pty; // the slave belongs to root, mode 620: no one else may open it
    // The group the device belongs to is named; where that is root's, the usual one is.
    const std::string owner = [&] {
        struct stat info {};
        ::stat(pty.Path.c_str(), &info);
        const ::group* g = info.st_gid != 0 ? ::getgrgid(info.st_gid) : nullptr;
        return std::string(g ? g->gr_name : "dialout");
    }();
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      OpenPosixPort(pty.Path, {});
                      return "opened";
                  } catch (const EPortOpenError& e) {
                      return e.Message();
                  }
              }),
              "Kein Zugriff auf " + pty.Path + " – ist der Benutzer in der Gruppe " + owner + "?");
    // A device that is not there, also one directly among the devices, where the file port
    // must not make a file of it (nor, for a user who may not write there, blame the group).
    for (const std::string path : {"/dev/ttyUSB-plotalon-none/x", "/dev/ttyUSB-plotalon-none"}) {
        const std::string missing = "Anschluss " + path +
                                    " nicht gefunden – ist der Plotter "
                                    "angeschlossen und eingeschaltet?";
        const auto open = [&]() -> std::string {
            try {
                OpenPosixPort(path, {});
                return "opened";
            } catch (const EPortOpenError& e) {
                return e.Message();
            }
        };
        EXPECT_EQ(open(), missing);
        EXPECT_EQ(test::RunUnprivileged(open), missing);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(PlotterChain, AFileOrDeviceIsWrittenInPlaceWithoutHandshake) {
    const std::string out = dir_.Path("out.plt");
    EXPECT_EQ(StartSender(out, {"--handshake", "query"})->Wait(), 0) << SenderErrors();
    EXPECT_TRUE(TTempDir::Read(out) == plot_); // no ESC.B: a file does not answer
}

TEST_F(PlotterChain, ACoordinateOutsideTheRangeStopsBeforeAnythingIsSent) {
    plot_ = "IN;\r\nPA0,0;\r\nPA40000,0;\r\n";
    const std::string out = dir_.Path("out.plt");
    EXPECT_EQ(StartSender(out, {})->Wait(), 4);
    EXPECT_EQ(SenderErrors(), "plotalon-send: Zeile 3 liegt außerhalb des Plotterbereichs -32768 "
                              "bis 32767: PA40000,0;\nNichts gesendet (--force sendet trotzdem)\n");
    EXPECT_FALSE(FileExists(out));
    EXPECT_EQ(StartSender(out, {"--range", "0,50000"})->Wait(), 0);
    EXPECT_EQ(StartSender(out, {"--force"})->Wait(), 0);
    EXPECT_EQ(TTempDir::Read(out), plot_);
}

} // namespace
} // namespace plotalon
