#include "app/PlotterSend.h"
#include "app/SendProgress.h"
#include "controls/XPSpeedButton.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Questions.h"
#include "sender/qt/QtSerialPort.h"
#include "tests/support/TempDir.h"
#include "tests/tools/send/Process.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

#include <QPointer>
#include <atomic>
#include <fcntl.h>
#include <regex>
#include <stdlib.h>
#include <termios.h>
#include <thread>

namespace plotalon {
namespace {

using test::TProcess;
using test::TTempDir;

// An HPGL program of some tens of kilobytes as the target pane holds it.
TLineVector Plot(std::size_t bytes) {
    TLineVector lines{"IN;", "SP1;"};
    std::size_t size = 0;
    for (int i = 0; size < bytes; ++i) {
        lines.Lines.push_back("PA" + std::to_string(i % 30000) + "," + std::to_string(i / 7) + ";");
        size += lines.Lines.back().size() + 2;
    }
    return lines;
}

std::string AsFile(const TLineVector& lines) {
    std::string text;
    for (const std::string& line : lines.Lines)
        text += line + "\r\n";
    return text;
}

// The program's folder with a settings file whose plotter hangs on port; the simulated
// plotter, when one is started, with a 1 KiB buffer on a line of 230400 baud: a window test
// shares the machine with others, and at this rate a moment's delay in the kernel's stopping
// the sender after an XOFF still fits into the plotter's spare room.
class SendFromTheProgram : public ::testing::Test {
protected:
    void SetUp() override {
        main_.resize(600, 400);
        main_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    }
    void Settings(const std::string& port, const std::string& more = "") {
        files_.Write("main.ini", "[plotter]\r\nport=" + port + "\r\nbaud=230400\r\n" + more);
    }
    // idle: how long the simulator waits for more before it ends (longer than any pause, and
    // than the stalls a loaded machine gives a window test).
    std::string StartPlotter(const std::string& drain, const char* idle = "1.5") {
        const std::vector<std::string> argv{PLOTTER_SIM,   "--buffer",
                                            "1024",        "--baud",
                                            "230400",      "--drain",
                                            drain,         "--xonxoff",
                                            "--xoff",      "512",
                                            "--xon",       "768",
                                            "--record",    files_.Path("record.plt"),
                                            "--report",    files_.Path("report.txt"),
                                            "--idle-exit", idle};
        plotter_ = std::make_unique<TProcess>(argv, files_.Path("sim.err"));
        return plotter_->ReadLine();
    }
    long Overflows() {
        std::smatch match;
        const std::string report = TTempDir::Read(files_.Path("report.txt"));
        return std::regex_search(report, match, std::regex("Überläufe: (\\d+)"))
                   ? std::stol(match[1])
                   : -1;
    }
    static bool WaitForEnd(TSendProgress* window) {
        return QTest::qWaitFor([&] { return window->Ended(); }, 20000);
    }
    static void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, {5, 5}); }

    TTempDir files_;
    TProgramFolderOverride folder_{files_.Folder()};
    QWidget main_;
    TErrorRecorder errors_;
    std::unique_ptr<TProcess> plotter_;
};

TEST_F(SendFromTheProgram, XonXoffThroughTheQtPortDeliversEveryByteWhileTheWindowShowsProgress) {
    const std::string device = StartPlotter("18000");
    ASSERT_TRUE(device.starts_with("/dev/"));
    Settings(device, "handshake=xonxoff\r\n");
    const TLineVector lines = Plot(64 * 1024);
    QPointer<TSendProgress> window = SendToPlotter(lines, &main_);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u"An Plotter senden"_qs);
    EXPECT_EQ(window->LPort->text(),
              QString::fromStdString("Anschluss: " + device) + u" – 230400 Baud, 8N1, XON/XOFF"_qs);
    int updates = 0;
    QObject::connect(&window->Job(), &TSendJob::Progressed, [&] { ++updates; });
    ASSERT_TRUE(WaitForEnd(window));
    EXPECT_GT(updates, 3); // the window heard of the send while it ran
    EXPECT_EQ(window->LState->text(), u"Fertig: alle Daten gesendet"_qs)
        << window->LState->text().toStdString() << "\n"
        << TTempDir::Read(files_.Path("sim.err"));
    EXPECT_EQ(window->Bar->value(), 1000);
    EXPECT_EQ(window->BAbort->Caption(), u"&Schließen"_qs);
    EXPECT_FALSE(window->BPause->isEnabled());
    EXPECT_TRUE(errors_.Entries.empty());
    Click(window->BAbort);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); })); // closed, and gone
    EXPECT_EQ(plotter_->Wait(), 0);
    EXPECT_EQ(Overflows(), 0);
    EXPECT_TRUE(TTempDir::Read(files_.Path("record.plt")) == AsFile(lines));
}

TEST_F(SendFromTheProgram, PauseHoldsTheSendingAndCancelLiftsThePen) {
    const std::string device = StartPlotter("4000", "3");
    Settings(device, "handshake=xonxoff\r\n");
    QPointer<TSendProgress> window = SendToPlotter(Plot(64 * 1024), &main_);
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Job().Status().Sent > 2000; }, 5000));

    QTest::keyClick(window, Qt::Key_P, Qt::AltModifier); // "&Pause"
    EXPECT_EQ(window->BPause->Caption(), u"&Weiter"_qs);
    EXPECT_EQ(window->LState->text(), u"Angehalten"_qs);
    // Once the sender has reached the pause it says so, and sends nothing more.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Job().Status().Paused; }, 5000));
    const std::uint64_t held = window->Job().Status().Sent;
    QTest::qWait(400);
    EXPECT_EQ(window->Job().Status().Sent, held);
    Click(window->BPause); // "&Weiter"
    EXPECT_EQ(window->BPause->Caption(), u"&Pause"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Job().Status().Sent > held; }, 5000));

    Click(window->BAbort);
    ASSERT_TRUE(WaitForEnd(window));
    EXPECT_EQ(window->LState->text(), u"Abgebrochen, der Stift ist angehoben"_qs);
    EXPECT_EQ(window->BAbort->Caption(), u"&Schließen"_qs);
    window->close();
    EXPECT_EQ(plotter_->Wait(), 0);
    const std::string recorded = TTempDir::Read(files_.Path("record.plt"));
    EXPECT_TRUE(recorded.ends_with("\x1b.KPU;"));
    EXPECT_LT(recorded.size(), 60000u);
}

TEST_F(SendFromTheProgram, ClosingTheWindowWhileSendingCancelsTheSend) {
    const std::string device = StartPlotter("4000");
    Settings(device, "handshake=query\r\n");
    QPointer<TSendProgress> window = SendToPlotter(Plot(64 * 1024), &main_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Job().Status().Sent > 1000; }, 5000));
    window->close();     // the close box
    EXPECT_TRUE(window); // still there until the abort has gone out
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 10000));
    EXPECT_EQ(plotter_->Wait(), 0);
    const std::string recorded = TTempDir::Read(files_.Path("record.plt"));
    EXPECT_TRUE(recorded.ends_with("\x1b.KPU;"));
}

TEST_F(SendFromTheProgram, TheRangeCheckNamesTheFirstLineOutsideAndTheUserMayStop) {
    Settings(files_.Path("plotter.plt"), "rangemin=0\r\nrangemax=10300\r\n");
    const TLineVector lines{"IN;", "PA0,0;", "PA10301,5;", "PA-1,0;"};
    TScriptedQuestions questions;
    questions.Answers = {TAnswer::No, TAnswer::Yes};
    EXPECT_EQ(SendToPlotter(lines, &main_), nullptr);
    ASSERT_EQ(questions.Asked.size(), 1u);
    EXPECT_EQ(questions.Asked[0].text, u"Zeile 3 liegt außerhalb des Plotterbereichs 0 bis 10300: "
                                       u"PA10301,5;\n\nTrotzdem senden?"_qs);
    EXPECT_FALSE(FileExists(files_.Path("plotter.plt"))); // nothing sent

    // Sent all the same: a file is written in place, as it stands, without handshake.
    QPointer<TSendProgress> window = SendToPlotter(lines, &main_);
    ASSERT_TRUE(window && WaitForEnd(window));
    EXPECT_EQ(TTempDir::Read(files_.Path("plotter.plt")), AsFile(lines));
    window->close();
}

TEST_F(SendFromTheProgram, ProblemsBeforeOrAtTheStartAreReportedInGerman) {
    const TLineVector lines{"IN;"};
    Settings("");
    try {
        SendToPlotter(lines, &main_);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Kein Anschluss für den Plotter eingestellt (Einstellungen, Seite "
                               "„Plotter“)");
    }
    EXPECT_THROW(SendToPlotter(TLineVector(), &main_), Exception);
    Settings("/dev/ttyUSB0", "init=\\q\r\n");
    EXPECT_THROW(SendToPlotter(lines, &main_), Exception);

    // A port that cannot be opened fails in the window, which tells why in its own words: a
    // message box would end the question with the report's full stop.
    Settings("/dev/plotalon-no-such-port/tty");
    QPointer<TSendProgress> window = SendToPlotter(lines, &main_);
    ASSERT_TRUE(window && WaitForEnd(window));
    EXPECT_TRUE(errors_.Entries.empty());
    EXPECT_EQ(window->LState->text(),
              u"Fehler: Anschluss /dev/plotalon-no-such-port/tty nicht gefunden – ist der Plotter "
              u"angeschlossen und eingeschaltet?"_qs);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->BAbort->Caption(), u"&Schließen"_qs);
    window->close();
}

// A port that takes nothing until it goes away altogether.
class TVanishingPort : public IBytePort {
public:
    explicit TVanishingPort(std::shared_ptr<std::atomic<bool>> gone) : gone_(std::move(gone)) {}
    std::size_t Write(std::string_view, TMillis wait) override {
        if (*gone_) throw EPortLost(Name());
        std::this_thread::sleep_for(std::min(wait, TMillis(5)));
        return 0;
    }
    std::string Read(TMillis wait) override {
        std::this_thread::sleep_for(std::min(wait, TMillis(5)));
        return {};
    }
    bool WaitSent(TMillis) override { return true; }
    void DiscardOutput() override {}
    double CharsPerSecond() const override { return 0; }
    bool CanAnswer() const override { return false; }
    std::string Name() const override { return "/dev/ttyTest"; }

private:
    std::shared_ptr<std::atomic<bool>> gone_;
};

// Closed while it sends, the window waits for the abort; when the port goes instead, the
// window stays with the reason and the bytes sent, rather than vanishing without a word.
TEST_F(SendFromTheProgram, AFailureAfterACloseKeepsTheWindowWithItsReason) {
    auto gone = std::make_shared<std::atomic<bool>>(false);
    auto job = std::make_unique<TSendJob>([gone] { return std::make_unique<TVanishingPort>(gone); },
                                          TSendOptions(), AsFile({"IN;", "PA0,0;"}));
    TSendProgress window(std::move(job), u"/dev/ttyTest"_qs, &main_);
    window.show();
    window.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Job().Running(); }));
    window.close();
    EXPECT_EQ(window.LState->text(), u"Wird abgebrochen ..."_qs);
    *gone = true;
    ASSERT_TRUE(WaitForEnd(&window));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.LState->text(),
              u"Fehler: Verbindung zu /dev/ttyTest unterbrochen (0 von 13 Bytes gesendet)"_qs);
    EXPECT_TRUE(errors_.Entries.empty());
    Click(window.BAbort); // "&Schließen"
    EXPECT_FALSE(window.isVisible());
}

TEST(QtSerialPort, LineSettingsAndHandshakeReachTheDriver) {
    const struct {
        TLineSettings line;
        tcflag_t cflagSet, cflagClear, iflagSet;
    } cases[] = {
        // Qt refuses 7 data bits on a pseudo-terminal, which keeps no parity either.
        {{19200, 8, TParity::None, 2, THandshake::RtsCts}, CS8 | CSTOPB | CRTSCTS, 0, 0},
        {{9600, 8, TParity::None, 1, THandshake::XonXoff}, CS8, CSTOPB | CRTSCTS, IXON},
    };
    for (const auto& c : cases) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        const std::string path = ::ptsname(master);
        {
            TQtSerialPort port(path, c.line);
            termios tio{};
            ASSERT_EQ(::tcgetattr(int(port.Port().handle()), &tio), 0);
            EXPECT_EQ(tio.c_cflag & c.cflagSet, c.cflagSet) << c.line.Baud;
            EXPECT_EQ(tio.c_cflag & c.cflagClear, 0u) << c.line.Baud;
            EXPECT_EQ(tio.c_iflag & c.iflagSet, c.iflagSet) << c.line.Baud;
            EXPECT_EQ(port.Port().baudRate(), c.line.Baud);
        }
        ::close(master);
    }
}

} // namespace
} // namespace plotalon
