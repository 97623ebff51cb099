#include "tools/send/SendCli.h"

#include "platform/AtomicFile.h"
#include "sender/HpglRange.h"
#include "sender/PlotSender.h"
#include "sender/PosixPorts.h"

#include <charconv>
#include <istream>
#include <iterator>
#include <ostream>

namespace plotalon {

namespace {

const char* const kHelp =
    R"(Aufruf: plotalon-send --port GERÄT [Optionen] DATEI.plt

Sendet eine HPGL-Datei an einen Plotter: über eine serielle Schnittstelle mit Handshake, oder
an ein Gerät oder eine Datei, die so beschrieben wird, wie sie ist. "-" als DATEI liest die
Standardeingabe.

Optionen:
  --port GERÄT        serielle Schnittstelle (/dev/ttyS0, /dev/ttyUSB0), Druckergerät
                      (/dev/usb/lp0) oder Datei; nur eine serielle Schnittstelle kennt
                      Leitungseinstellungen und Handshake
  --baud N            Baudrate (Vorgabe 9600)
  --bits 7|8          Datenbits (Vorgabe 8)
  --parity none|even|odd
                      Parität (Vorgabe none)
  --stop 1|2          Stoppbits (Vorgabe 1); manche HP-Plotter erwarten 7 Bits, gerade
                      Parität, 1 Stoppbit
  --handshake none|xonxoff|rtscts|query
                      none: ohne Handshake; xonxoff: der Plotter hält mit XOFF an und gibt
                      mit XON frei; rtscts: Hardware-Handshake über die CTS-Leitung; query:
                      vor jedem Block fragt ESC.B nach dem freien Platz im Puffer
                      (Vorgabe none)
  --block N           Blockgröße in Bytes (Vorgabe 256); bei query höchstens so viel je
                      Abfrage
  --init TEXT         Set-up-String, der vor den Daten gesendet wird, z. B. '\e.@1024;0:'
                      (\e ist ESC; \r, \n, \t, \\ und \xHH wie üblich)
  --timeout S         so viele Sekunden darf die Antwort auf ESC.B dauern (Vorgabe 5)
  --range MIN,MAX     Bereich der Koordinaten, den der Plotter annimmt
                      (Vorgabe -32768,32767)
  --force             auch senden, wenn eine Koordinate außerhalb des Bereichs liegt
  --help              diese Hilfe

Vor dem Senden wird jede Zahl der HPGL-Befehle gegen den Bereich geprüft; die erste Zeile
außerhalb wird genannt. Der Fortschritt erscheint auf der Standardfehlerausgabe, wenn sie ein
Terminal ist. Strg+C bricht ab: mit Handshake verwirft ESC.K den Puffer des Plotters, ohne
Handshake wird die angefangene Zeile zu Ende gesendet; dann hebt PU; den Stift.

Rückgabewerte:
  0  alles gesendet und, soweit der Handshake es zulässt, vom Plotter angenommen
  1  Senden gescheitert (Plotter antwortet nicht, Verbindung unterbrochen)
  2  falscher Aufruf, Datei nicht lesbar oder Anschluss nicht zu öffnen
  3  mit Strg+C abgebrochen
  4  Koordinate außerhalb des Bereichs, nichts gesendet
)";

class EUsage : public Exception {
    using Exception::Exception;
};

struct TSendCliOptions {
    TPlotterSettings Plotter;
    std::string File;
    bool Force = false;
    bool Help = false;
};

int ParseInt(const std::string& option, std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw EUsage("Ungültige Zahl für " + option + ": " + std::string(text));
    return value;
}

void ParseRange(const std::string& text, TPlotterSettings& plotter) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) throw EUsage("--range erwartet MIN,MAX: " + text);
    plotter.RangeMin = ParseInt("--range", std::string_view(text).substr(0, comma));
    plotter.RangeMax = ParseInt("--range", std::string_view(text).substr(comma + 1));
    if (plotter.RangeMin > plotter.RangeMax) throw EUsage("--range: MIN ist größer als MAX");
}

TSendCliOptions ParseArgs(const std::vector<std::string>& args) {
    TSendCliOptions o;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
            continue;
        }
        if (a == "--force") {
            o.Force = true;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            if (i + 1 >= args.size()) throw EUsage("Option " + a + " erwartet einen Wert");
            const std::string& v = args[++i];
            try {
                if (ApplyLineOption(a, v, o.Plotter.Line)) continue;
            } catch (const Exception& bad) {
                throw EUsage(bad.Message());
            }
            if (a == "--port") {
                o.Plotter.Port = v;
                havePort = true;
            } else if (a == "--block") {
                o.Plotter.BlockSize = ParseInt(a, v);
                if (o.Plotter.BlockSize < 1 || o.Plotter.BlockSize > kMaxBlockSize)
                    throw EUsage("--block muss zwischen 1 und " + std::to_string(kMaxBlockSize) +
                                 " liegen");
            } else if (a == "--init") {
                o.Plotter.Init = v;
            } else if (a == "--timeout") {
                o.Plotter.TimeoutSeconds = ParseInt(a, v);
                if (o.Plotter.TimeoutSeconds < 1) throw EUsage("--timeout muss mindestens 1 sein");
            } else if (a == "--range") {
                ParseRange(v, o.Plotter);
            } else {
                throw EUsage("Unbekannte Option: " + a);
            }
            continue;
        }
        if (!o.File.empty()) throw EUsage("Nur eine Datei erlaubt: " + a);
        o.File = a;
    }
    if (o.Help) return o;
    if (!havePort || o.Plotter.Port.empty()) throw EUsage("Kein Anschluss angegeben (--port)");
    if (o.File.empty()) throw EUsage("Keine Datei angegeben");
    return o;
}

std::string ReadInput(const std::string& file, std::istream& in) {
    if (file == "-") return std::string(std::istreambuf_iterator<char>(in), {});
    std::string bytes;
    if (!ReadWholeFile(file, bytes, TReadSource::FileOrStream)) throw EFOpenError(file);
    return bytes;
}

// One line on the terminal, rewritten in place.
class TTerminalProgress : public ISendProgress {
public:
    explicit TTerminalProgress(std::ostream& err) : err_(err) {}
    void Progress(const TSendStatus& s) override {
        const unsigned percent = s.Total ? unsigned(s.Sent * 100 / s.Total) : 100;
        std::string line = std::to_string(s.Sent) + " von " + std::to_string(s.Total) + " Bytes (" +
                           std::to_string(percent) + " %), " + FormatDuration(s.Elapsed);
        if (s.Paused)
            line += ", angehalten";
        else if (const auto left = s.Remaining(); left && !s.Finished)
            line += ", noch " + FormatDuration(*left);
        line += ", Zeile " + std::to_string(s.Line + 1) + ": " + s.LineText.substr(0, 24);
        err_ << '\r' << line << "\x1b[K" << std::flush;
        shown_ = true;
    }
    void End() {
        if (shown_) err_ << '\n';
    }

private:
    std::ostream& err_;
    bool shown_ = false;
};

int Send(const TSendCliOptions& o, std::istream& in, std::ostream& out, std::ostream& err,
         TSendControl& control, bool progressToErr) {
    const std::string text = ReadInput(o.File, in);
    if (const auto outside = FindOutOfRangeInText(text, o.Plotter.RangeMin, o.Plotter.RangeMax)) {
        err << "plotalon-send: "
            << DescribeViolation(*outside, LineOfText(text, outside->Line), o.Plotter.RangeMin,
                                 o.Plotter.RangeMax)
            << '\n';
        if (!o.Force) {
            err << "Nichts gesendet (--force sendet trotzdem)\n";
            return sxOutOfRange;
        }
    }
    const TSendOptions options = SendOptionsOf(o.Plotter);
    const std::unique_ptr<IBytePort> port = OpenPosixPort(o.Plotter.Port, o.Plotter.Line);
    TTerminalProgress progress(err);
    TPlotSender sender(*port, options, control, progressToErr ? &progress : nullptr);
    TSendOutcome outcome;
    try {
        outcome = sender.Send(text);
    } catch (...) {
        progress.End();
        throw;
    }
    progress.End();
    if (outcome == TSendOutcome::Cancelled) {
        err << "plotalon-send: abgebrochen\n";
        return sxCancelled;
    }
    out << text.size() << " Bytes an " << o.Plotter.Port << " gesendet\n";
    return sxSent;
}

} // namespace

int RunSendCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, TSendControl& control, bool progressToErr) {
    try {
        const TSendCliOptions options = ParseArgs(args);
        if (options.Help) {
            out << kHelp;
            return sxSent;
        }
        return Send(options, in, out, err, control, progressToErr);
    } catch (const EUsage& e) {
        err << "plotalon-send: " << e.Message() << "\n(--help zeigt den Aufruf)\n";
    } catch (const ESendError& e) {
        err << "plotalon-send: " << e.Message() << '\n';
        return sxFailed;
    } catch (const Exception& e) {
        err << "plotalon-send: " << e.Detailed() << '\n';
    } catch (const std::bad_alloc&) {
        err << "plotalon-send: Zu wenig Arbeitsspeicher\n";
    }
    return sxUsage;
}

} // namespace plotalon
