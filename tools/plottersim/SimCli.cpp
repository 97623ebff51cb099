#include "tools/plottersim/SimCli.h"

#include "platform/Errors.h"
#include "sender/PlotterSettings.h"
#include "tools/plottersim/PlotterModel.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace plotalon {

namespace {

const char* const kHelp =
    R"(Aufruf: plotalon-plotter-sim [Optionen]

Ein simulierter HPGL-Plotter an einem Pseudo-Terminal, zum Ausprobieren ohne Plotter. Die
erste Ausgabezeile ist der Pfad des Geräts (etwa /dev/pts/7); dorthin sendet plotalon-send
oder Plotalon selbst ("An Plotter senden"). Der Simulator liest so schnell, wie die Leitung
Zeichen überträgt, legt sie in seinen Empfangspuffer und leert ihn so schnell, wie der Stift
zeichnet. Was bei vollem Puffer ankommt, geht verloren und wird als Überlauf gezählt.

Optionen:
  --buffer N          Empfangspuffer in Bytes (Vorgabe 1024)
  --baud N            Leitungsrate in Baud (Vorgabe 9600)
  --bits 7|8          Datenbits (Vorgabe 8)
  --parity none|even|odd
                      Parität (Vorgabe none)
  --stop 1|2          Stoppbits (Vorgabe 1); Baud und Rahmen ergeben die Zeichenzeit
  --drain N           der Stift arbeitet N Bytes je Sekunde ab (Vorgabe 500)
  --drain-commands N  statt dessen N Befehle je Sekunde
  --xonxoff           XOFF senden, wenn der Puffer voll wird, und XON, wenn wieder Platz ist
  --xoff N            XOFF, sobald höchstens N Bytes frei sind (Vorgabe 128)
  --xon N             XON, sobald wieder mindestens N Bytes frei sind (Vorgabe: halber Puffer)
  --model NAME        Antwort auf OI (Vorgabe 7475A)
  --record DATEI      jedes angenommene Byte am Ende in DATEI schreiben, auch die
                      Gerätesteuerbefehle (ESC.B, ESC.K ...), nicht die verlorenen
  --report DATEI      den Abschlussbericht zusätzlich in DATEI schreiben
  --link PFAD         zusätzlich einen symbolischen Link PFAD auf das Gerät anlegen
  --idle-exit S       enden, wenn nach dem ersten Byte S Sekunden lang nichts mehr kam
                      und der Puffer leer ist
  --help              diese Hilfe

Antworten: ESC.B mit dem freien Platz im Puffer, ESC.L mit seiner Größe, ESC.O und ESC.E mit
einem Status, jeweils mit CR; OI mit dem Modellnamen und OS mit dem Status, sobald der Stift
den Befehl erreicht. ESC.K leert den Puffer.

Der Simulator endet mit Strg+C, SIGTERM oder --idle-exit und gibt dann seinen Bericht auf
der Standardfehlerausgabe aus.

Rückgabewerte:
  0  beendet, kein Byte verloren
  1  beendet, mit Überläufen (der Bericht nennt sie)
  2  falscher Aufruf, kein Pseudo-Terminal oder Aufzeichnung nicht schreibbar
)";

class EUsage : public Exception {
    using Exception::Exception;
};

struct TSimOptions {
    TLineSettings Line;
    TPlotterModelOptions Plotter;
    std::optional<int> XonAt;
    std::string Record, Report, Link;
    double IdleExit = 0;
    bool Help = false;
};

double ParsePositive(const std::string& option, const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value > 0))
        throw EUsage("Ungültiger Wert für " + option + ": " + text);
    return value;
}

int ParseCount(const std::string& option, const std::string& text) {
    const double value = ParsePositive(option, text);
    if (value != double(int(value))) throw EUsage("Ungültiger Wert für " + option + ": " + text);
    return int(value);
}

TSimOptions ParseArgs(const std::vector<std::string>& args) {
    TSimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--xonxoff") {
            o.Plotter.XonXoff = true;
        } else {
            if (i + 1 >= args.size()) throw EUsage("Option " + a + " erwartet einen Wert");
            const std::string& v = args[++i];
            try {
                if (a != "--handshake" && ApplyLineOption(a, v, o.Line)) continue;
            } catch (const Exception& bad) {
                throw EUsage(bad.Message());
            }
            if (a == "--buffer")
                o.Plotter.BufferSize = ParseCount(a, v);
            else if (a == "--drain")
                o.Plotter.DrainRate = ParsePositive(a, v);
            else if (a == "--drain-commands") {
                o.Plotter.DrainRate = ParsePositive(a, v);
                o.Plotter.DrainCommands = true;
            } else if (a == "--xoff")
                o.Plotter.XoffAt = ParseCount(a, v);
            else if (a == "--xon")
                o.XonAt = ParseCount(a, v);
            else if (a == "--model")
                o.Plotter.Model = v;
            else if (a == "--record")
                o.Record = v;
            else if (a == "--report")
                o.Report = v;
            else if (a == "--link")
                o.Link = v;
            else if (a == "--idle-exit")
                o.IdleExit = ParsePositive(a, v);
            else
                throw EUsage("Unbekannte Option: " + a);
        }
    }
    o.Plotter.XonAt = o.XonAt.value_or(o.Plotter.BufferSize / 2);
    if (o.Plotter.XoffAt >= o.Plotter.XonAt || o.Plotter.XonAt > o.Plotter.BufferSize)
        throw EUsage("--xoff muss kleiner als --xon sein und --xon höchstens --buffer");
    return o;
}

std::atomic<bool> StopRequested{false};

extern "C" void OnStopSignal(int) {
    StopRequested = true;
}

// The pseudo-terminal: the master end is the plotter's side of the line; the slave end is
// kept open here as well, raw, so that a sender closing it does not hang up the line.
struct TPty {
    int Master = -1, Slave = -1;
    std::string Path;
    ~TPty() {
        if (Slave >= 0) ::close(Slave);
        if (Master >= 0) ::close(Master);
    }
};

void OpenPty(TPty& pty) {
    pty.Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.Master < 0 || ::grantpt(pty.Master) != 0 || ::unlockpt(pty.Master) != 0)
        throw Exception("Kein Pseudo-Terminal verfügbar");
    const char* name = ::ptsname(pty.Master);
    if (!name) throw Exception("Kein Pseudo-Terminal verfügbar");
    pty.Path = name;
    pty.Slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (pty.Slave < 0 || ::tcgetattr(pty.Slave, &tio) != 0)
        throw Exception("Kein Pseudo-Terminal verfügbar");
    ::cfmakeraw(&tio);
    ::tcsetattr(pty.Slave, TCSANOW, &tio);
}

// The plotter's side of the line. Bytes come off the master end at the line's rate. When the
// plotter sends XOFF, the bytes it has read but not yet taken in, and whatever the sender
// had handed over until then, are held as a sender's driver holds them while XOFF stands;
// they come after the XON. Should more bytes arrive while XOFF stands, the sender does not
// honour it: the line then flows on, and those bytes count against it as they would on a
// real line.
class TLine {
public:
    TLine(TPty& pty, const TSimOptions& options)
        : pty_(pty), model_(options.Plotter), charTime_(1 / options.Line.CharsPerSecond()),
          start_(std::chrono::steady_clock::now()) {}

    bool Step() {
        const double now = Now();
        if (holding_) CheckHonoured();
        if (!holding_) Deliver(now);
        std::string reply;
        model_.DrainTo(now, reply);
        const bool xon = reply.find('\x11') != std::string::npos;
        Send(reply);
        if (xon) holding_ = false;
        Wait(now);
        return true;
    }

    // Idle only once something came: before the first byte the sender may take its time.
    bool IdleFor(double seconds) const {
        return model_.Figures().Received > 0 && held_.empty() && model_.Idle() &&
               Now() - lastByte_ > seconds;
    }
    const TPlotterModel& Plotter() const { return model_; }
    double Now() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    // Takes the bytes the line has carried since the last step, each at its time.
    void Deliver(double now) {
        // After a pause of this process the line catches up, but not by more than a moment.
        lineTime_ = std::max(lineTime_, now - kCatchUp);
        while (lineTime_ + charTime_ <= now) {
            if (held_.empty() && !Fill(std::size_t((now - lineTime_) / charTime_))) {
                lineTime_ = now;
                return;
            }
            lineTime_ += charTime_;
            const char byte = held_.front();
            held_.pop_front();
            lastByte_ = now;
            std::string reply;
            model_.Receive(byte, lineTime_, reply);
            if (!reply.empty() && reply.find('\x13') != std::string::npos) {
                Send(reply);
                HoldSenderBytes();
                return;
            }
            Send(reply);
        }
    }

    bool Fill(std::size_t upTo) {
        char buffer[65536];
        const ssize_t got = ::read(pty_.Master, buffer, std::min(upTo, sizeof buffer));
        if (got <= 0) return false;
        held_.insert(held_.end(), buffer, buffer + got);
        return true;
    }

    void HoldSenderBytes() {
        holding_ = true;
        while (Fill(65536)) {
        }
    }

    // While XOFF stands a sender that honours it hands over nothing more.
    void CheckHonoured() {
        pollfd entry{pty_.Master, POLLIN, 0};
        if (::poll(&entry, 1, 0) > 0 && (entry.revents & POLLIN)) holding_ = false;
    }

    void Send(const std::string& reply) {
        std::size_t at = 0;
        while (at < reply.size()) {
            const ssize_t put = ::write(pty_.Master, reply.data() + at, reply.size() - at);
            if (put > 0)
                at += std::size_t(put);
            else if (errno != EAGAIN && errno != EINTR)
                return;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // While XOFF stands, a moment for the pen; while the line carries a character, until the
    // next one is due; while it is idle, until the sender hands over the next byte.
    void Wait(double now) {
        const double due = lineTime_ + charTime_ - now;
        if (holding_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } else if (due > 0.0005) {
            std::this_thread::sleep_for(std::chrono::duration<double>(std::min(due, 0.02)));
        } else {
            pollfd entry{pty_.Master, POLLIN, 0};
            ::poll(&entry, 1, 20);
        }
    }

    static constexpr double kCatchUp = 0.2;

    TPty& pty_;
    TPlotterModel model_;
    double charTime_;
    std::chrono::steady_clock::time_point start_;
    double lineTime_ = 0;
    double lastByte_ = 0;
    std::deque<char> held_;
    bool holding_ = false;
};

std::string Report(const TLine& line, const TSimOptions& options) {
    const TPlotterFigures& f = line.Plotter().Figures();
    std::ostringstream out;
    out << "Empfangen: " << f.Received << " Bytes\n"
        << "Angenommen: " << f.Accepted << " Bytes\n"
        << "Überläufe: " << f.Overflows << " Bytes\n"
        << "Während XOFF empfangen: " << f.DuringXoff << " Bytes\n"
        << "XOFF gesendet: " << f.XoffsSent << "\n"
        << "ESC.B-Abfragen: " << f.Queries << "\n"
        << "ESC.K-Abbrüche: " << f.Aborts << "\n"
        << "Gezeichnete Befehle: " << f.Drawn << "\n"
        << "Höchster Füllstand: " << f.MaxFill << " von " << options.Plotter.BufferSize
        << " Bytes\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", line.Now());
    out << "Dauer: " << seconds << " s\n";
    return out.str();
}

int Simulate(const TSimOptions& options, std::ostream& out, std::ostream& err) {
    TPty pty;
    OpenPty(pty);
    if (!options.Link.empty()) {
        ::unlink(options.Link.c_str());
        if (::symlink(pty.Path.c_str(), options.Link.c_str()) != 0)
            throw Exception("Link " + options.Link + " kann nicht angelegt werden");
    }
    out << pty.Path << std::endl;

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    TLine line(pty, options);
    while (!StopRequested && !(options.IdleExit > 0 && line.IdleFor(options.IdleExit)))
        line.Step();

    if (!options.Link.empty()) ::unlink(options.Link.c_str());
    const std::string report = Report(line, options);
    err << report;
    if (!options.Report.empty()) std::ofstream(options.Report) << report;
    if (!options.Record.empty()) {
        std::ofstream record(options.Record, std::ios::binary);
        const std::string& bytes = line.Plotter().Recorded();
        record.write(bytes.data(), std::streamsize(bytes.size()));
        if (!record) throw Exception("Aufzeichnung " + options.Record + " nicht schreibbar");
    }
    return line.Plotter().Figures().Overflows > 0 ? seOverflow : seClean;
}

} // namespace

int RunPlotterSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const TSimOptions options = ParseArgs(args);
        if (options.Help) {
            out << kHelp;
            return seClean;
        }
        return Simulate(options, out, err);
    } catch (const EUsage& e) {
        err << "plotalon-plotter-sim: " << e.Message() << "\n(--help zeigt den Aufruf)\n";
    } catch (const Exception& e) {
        err << "plotalon-plotter-sim: " << e.Detailed() << '\n';
    }
    return seUsage;
}

} // namespace plotalon
