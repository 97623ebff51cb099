#include "tools/convert/ConvertCli.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/ConversionRun.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "settings/BlockFile.h"
#include "settings/NcFormat.h"
#include "settings/Reg.h"
#include "tools/convert/PreviewOutput.h"
#include "tools/convert/SourceLines.h"
#include "tools/convert/StagedBytes.h"

namespace plotalon {

namespace {

const char* const kHelp =
    R"(Aufruf: plotalon-convert [Optionen] EINGABE.nc

Wandelt ein NC-Programm (DIN/ISO, G-Code) in HPGL um, mit denselben Einstellungen wie
Plotalon selbst.

Optionen:
  --settings ORDNER  Einstellungen aus ORDNER lesen: main.ini (Abschnitt "convert":
                     factor, xmove, ymove, deg, type; fehlende Werte sind 0) sowie
                     vorspann.plt und nachspann.plt, sofern vorhanden.
                     Vorgabe: der Ordner des Programms.
  --factor N         Skalierungsfaktor (ganze Zahl)
  --xmove N          Ursprung X in Plottereinheiten
  --ymove N          Ursprung Y in Plottereinheiten
  --deg N            Auflösung Bogen in Grad (HPGL 1; Werte unter 1 gelten als 1)
  --type N           HPGL-Dialekt: 1 oder 2 (andere Werte: Bögen werden nicht gezeichnet)
  --nc-mode MODUS    Lesart des NC-Programms: "literal" (wörtlich, die alten Regeln)
                     oder "standard" (RS274, wie CAM-Systeme schreiben)
  --pen-z Z          Standard: Stift-Z, die Höhe, auf oder unter der ein Vorschub
                     zeichnet (NC-Einheiten, etwa 0 oder -0.5; Vorgabe 0)
  --pen-from QUELLE  Standard: was den Stift senkt: "z" (Z-Höhe) oder "spindle"
                     (Spindel oder Laser an, M3/M4 bis M5; Z zählt dann nicht)
  --tool-pens        Standard: "T n M6" wählt Stift n mit SPn; (T0: SP0;)
  --drill-marks      Standard: Bohrzyklen (G81, G82, G83, G73) setzen an jede Bohrung
                     einen Punkt
  --prefix DATEI     Vorspann aus DATEI statt vorspann.plt
  --suffix DATEI     Nachspann aus DATEI statt nachspann.plt
  -o AUSGABE.plt     HPGL in AUSGABE.plt schreiben statt auf die Standardausgabe
  --preview BILD     zusätzlich die Zeichnung genau dieses HPGL in BILD schreiben,
                     als SVG (BILD.svg) oder PNG (BILD.png); nicht ausgewertete
                     HPGL-Befehle werden auf der Standardfehlerausgabe gezählt
  --help             diese Hilfe

Ohne diese Optionen gelten die Werte aus main.ini: "ncmode" (0 wörtlich, 1 Standard),
"penz" (Stift-Z in Tausendsteln), "pensource" (0 Z, 1 Spindel), "toolpens" und
"drillmarks" (1 an). Fehlen sie dort, wird wörtlich gelesen, genau wie bisher.

In der Lesart "standard" ist der Faktor die Zahl der Plottereinheiten je Millimeter (40 für
die meisten Plotter); Programme in Zoll (G20) werden dafür mit 25.4 malgenommen. Bögen
werden in HPGL 1 in Sehnen zerlegt, die höchstens --deg Grad auseinanderliegen und genau im
Endpunkt enden; in HPGL 2 wird jeder Bogen bis 180 Grad ein AT-Befehl (Bogen durch einen
Zwischenpunkt), längere Bögen und Vollkreise werden zwei.

Jede HPGL-Zeile endet mit CR LF. Die Statusmeldung geht auf die Standardfehlerausgabe.
Eine bestehende Ausgabedatei wird erst ersetzt, wenn die Umwandlung vollständig gelungen ist;
ein Gerät oder eine FIFO (etwa /dev/stdout) wird beschrieben, nicht ersetzt. Die Eingabedatei
selbst ist als Ausgabe nicht erlaubt.

Rückgabewerte:
  0  umgewandelt
  1  Fehler in einem Satz ("Zeile N: " und die Meldung, etwa ein Gleitkommafehler oder
     in der Lesart "standard" ein nicht unterstütztes Wort); keine Ausgabe
  2  falscher Aufruf, Eingabe- oder Ausgabedatei nicht lesbar oder schreibbar
)";

class EUsage : public Exception {
    using Exception::Exception;
};

struct TCliOptions {
    std::optional<std::string> SettingsFolder, PrefixFile, SuffixFile, Output;
    std::optional<std::string> Preview;
    std::optional<std::int32_t> Factor, XMove, YMove, Deg, Type, PenZ;
    std::optional<TNcMode> NcMode;
    std::optional<TPenSource> PenSource;
    bool ToolPens = false, DrillMarks = false;
    std::string Input;
    bool Help = false;
};

std::int32_t ParseNumber(const std::string& option, const std::string& text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw EUsage("Ungültige Zahl für " + option + ": " + text);
    return value;
}

template <typename T> struct TChoice {
    std::string_view Name;
    T Value;
};
constexpr TChoice<TNcMode> kNcModes[] = {{"literal", TNcMode::nmLiteral},
                                         {"standard", TNcMode::nmStandard}};
constexpr TChoice<TPenSource> kPenSources[] = {{"z", TPenSource::psZ},
                                               {"spindle", TPenSource::psSpindle}};

template <typename T, std::size_t N>
T ParseChoice(const std::string& option, const std::string& text, const TChoice<T> (&choices)[N]) {
    for (const TChoice<T>& choice : choices)
        if (text == choice.Name) return choice.Value;
    std::string names;
    for (const TChoice<T>& choice : choices)
        names += (names.empty() ? "" : " oder ") + std::string(choice.Name);
    throw EUsage("Ungültiger Wert für " + option + ": " + text + " (erlaubt: " + names + ")");
}

std::int32_t ParsePenLevel(const std::string& option, const std::string& text) {
    if (std::optional<std::int32_t> thousandths = PenLevelThousandths(text)) return *thousandths;
    throw EUsage("Ungültige Zahl für " + option + ": " + text +
                 " (NC-Einheiten zwischen -1000 und 1000)");
}

// The same name, or one file under two names (symbolic or hard links).
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return a == b || (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
                      first.st_dev == second.st_dev && first.st_ino == second.st_ino);
}

void CheckPreview(const TCliOptions& o) {
    if (!PlotFileFormatOf(*o.Preview))
        throw EUsage("Vorschau muss auf .svg oder .png enden: " + *o.Preview);
    if (SameFile(*o.Preview, o.Input) || (o.Output && SameFile(*o.Preview, *o.Output)))
        throw EUsage("Vorschau darf nicht die Ein- oder Ausgabedatei ersetzen: " + *o.Preview);
}

TCliOptions ParseArgs(const std::vector<std::string>& args) {
    TCliOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
            continue;
        }
        if (a == "--tool-pens" || a == "--drill-marks") {
            (a == "--tool-pens" ? o.ToolPens : o.DrillMarks) = true;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            if (i + 1 >= args.size()) throw EUsage("Option " + a + " erwartet einen Wert");
            const std::string& v = args[++i];
            if (a == "--settings")
                o.SettingsFolder = v;
            else if (a == "--prefix")
                o.PrefixFile = v;
            else if (a == "--suffix")
                o.SuffixFile = v;
            else if (a == "-o")
                o.Output = v;
            else if (a == "--preview")
                o.Preview = v;
            else if (a == "--factor")
                o.Factor = ParseNumber(a, v);
            else if (a == "--xmove")
                o.XMove = ParseNumber(a, v);
            else if (a == "--ymove")
                o.YMove = ParseNumber(a, v);
            else if (a == "--deg")
                o.Deg = ParseNumber(a, v);
            else if (a == "--type")
                o.Type = ParseNumber(a, v);
            else if (a == "--nc-mode")
                o.NcMode = ParseChoice(a, v, kNcModes);
            else if (a == "--pen-from")
                o.PenSource = ParseChoice(a, v, kPenSources);
            else if (a == "--pen-z")
                o.PenZ = ParsePenLevel(a, v);
            else
                throw EUsage("Unbekannte Option: " + a);
            continue;
        }
        if (!o.Input.empty()) throw EUsage("Nur eine Eingabedatei erlaubt: " + a);
        o.Input = a;
    }
    if (!o.Help && o.Input.empty()) throw EUsage("Keine Eingabedatei angegeben");
    if (o.Preview) CheckPreview(o);
    return o;
}

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// The values exactly as the program's own load reads them from main.ini.
TConvSettings ReadSettingsFile(const std::string& folder) {
    Reg::IniFolder = folder;
    Reg::IniName = "main";
    Reg::IniSection = "convert";
    TConvSettings s;
    s.Factor = Reg::IniReadInteger("factor");
    s.XMove = Reg::IniReadInteger("xmove");
    s.YMove = Reg::IniReadInteger("ymove");
    s.Deg = Reg::IniReadInteger("deg");
    s.HpglType = static_cast<std::uint8_t>(Reg::IniReadInteger("type"));
    ReadNcFormat(s);
    return s;
}

TLineVector BlockLines(const std::optional<std::string>& explicitFile,
                       const std::string& defaultFile) {
    if (explicitFile) return TLineVector(MemoTextToLines(ReadBlockFile(*explicitFile)));
    if (auto text = ReadBlockFileIfExists(defaultFile)) return TLineVector(MemoTextToLines(*text));
    return {};
}

void ApplyOverrides(const TCliOptions& o, TConvSettings& s) {
    if (o.Factor) s.Factor = *o.Factor;
    if (o.XMove) s.XMove = *o.XMove;
    if (o.YMove) s.YMove = *o.YMove;
    if (o.Deg) s.Deg = *o.Deg;
    if (o.Type) s.HpglType = static_cast<std::uint8_t>(*o.Type);
    if (o.NcMode) s.NcMode = *o.NcMode;
    if (o.PenZ) s.PenZ = *o.PenZ;
    if (o.PenSource) s.PenSource = *o.PenSource;
    if (o.ToolPens) s.ToolPens = true;
    if (o.DrillMarks) s.DrillMarks = true;
}

// Writes the HPGL text with CR LF after every line. A file goes into its temporary twin as
// the run goes, which replaces the target only once the run has succeeded. Standard output,
// a device and a FIFO see every byte as it is written, so their text is staged and handed on
// only then. Either way a run that faults leaves nothing behind, in bounded memory.
class TPltOutput : public ILineSink {
public:
    explicit TPltOutput(const std::optional<std::string>& path) : text_(kChunk, '\0') {
        if (path) {
            file_.emplace(*path);
            if (!file_->Ok()) throw EFCreateError(*path, file_->ErrorCode());
            direct_ = !file_->WritesInPlace();
        }
    }
    // Millions of short lines: each is copied once, into a buffer of fixed size.
    void AppendLine(std::string_view line) override {
        const std::size_t size = line.size() + 2;
        if (used_ + size > text_.size()) {
            Flush();
            if (size > text_.size()) { // a line longer than the buffer goes on by itself
                Emit(line);
                Emit("\r\n");
                return;
            }
        }
        char* at = text_.data() + used_;
        std::memcpy(at, line.data(), line.size());
        at[line.size()] = '\r';
        at[line.size() + 1] = '\n';
        used_ += size;
    }
    // Completes the output; throws when it cannot be written.
    void Finish(std::ostream& out) {
        Flush();
        if (file_) {
            if (!direct_) staged_.Replay([this](std::string_view bytes) { file_->Write(bytes); });
            if (!file_->Commit()) throw EFCreateError(file_->Path(), file_->ErrorCode());
            return;
        }
        staged_.Replay([&out](std::string_view bytes) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
        out.flush();
        if (!out) throw EInOutError("Standardausgabe kann nicht geschrieben werden");
    }

private:
    static constexpr std::size_t kChunk = 1 << 16;
    void Flush() {
        Emit(std::string_view(text_.data(), used_));
        used_ = 0;
    }
    void Emit(std::string_view bytes) {
        if (!direct_) {
            staged_.Write(bytes);
        } else {
            file_->Write(bytes);
            if (!file_->Ok()) // a full disk: stop at once
                throw EFCreateError(file_->Path(), file_->ErrorCode());
        }
    }
    std::optional<TAtomicFileWriter> file_;
    bool direct_ = false; // the text goes into the file's temporary twin as the run goes
    TStagedBytes staged_;
    std::string text_; // the buffer; its first Used bytes are waiting to go out
    std::size_t used_ = 0;
};

// An open input file, closed on every way out.
class TInputFile {
public:
    explicit TInputFile(const std::string& path)
        : path_(path), fd_(OpenForReading(path, TReadSource::FileOrStream)) {
        if (fd_ < 0) throw EFOpenError(path);
    }
    ~TInputFile() { ::close(fd_); }
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    // The next piece of the file into buffer; empty at its end.
    std::string_view Read(std::string& buffer) {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
            if (n >= 0) return {buffer.data(), static_cast<std::size_t>(n)};
            if (errno != EINTR) throw EFOpenError(path_);
        }
    }

private:
    std::string path_;
    int fd_;
};

// Every line of the input through the run as it is read, so that only the line being read is
// held, whatever the file's size. Reading stops where the program ends.
void ConvertLines(TInputFile& input, TConversionRun& run) {
    TSourceLineSplitter splitter;
    const auto block = [&run](std::string_view line) { run.Block(line); };
    std::string buffer(1 << 16, '\0');
    while (!splitter.Ended() && !run.Ended()) {
        const std::string_view piece = input.Read(buffer);
        if (piece.empty()) break;
        splitter.Feed(piece, block);
    }
    splitter.End(block);
}

int Convert(const TCliOptions& o, const std::string& exeFolder, std::ostream& out,
            std::ostream& err) {
    // Through links and hard links alike: the HPGL would overwrite the program it came from.
    if (o.Output && SameFile(*o.Output, o.Input))
        throw Exception("Ausgabedatei ist die Eingabedatei: " + *o.Output);
    const std::string folder = WithSeparator(o.SettingsFolder.value_or(exeFolder));
    TConvSettings settings = ReadSettingsFile(folder);
    ApplyOverrides(o, settings);
    const TLineVector prefix = BlockLines(o.PrefixFile, folder + "vorspann.plt");
    const TLineVector suffix = BlockLines(o.SuffixFile, folder + "nachspann.plt");
    TInputFile input(o.Input);

    TPltOutput plt(o.Output);
    std::optional<TPreviewOutput> preview;
    if (o.Preview) preview.emplace(*o.Preview, *PlotFileFormatOf(*o.Preview), plt);
    ILineSink& target = preview ? static_cast<ILineSink&>(*preview) : plt;
    TModalState state;
    TConversionRun run(settings, state, target);
    std::string status;
    try {
        run.Begin(prefix);
        ConvertLines(input, run);
        status = run.Finish(suffix);
    } catch (const EMathError& fault) {
        err << "Zeile " << run.FailedLine() + 1 << ": " << fault.Message() << '\n';
        return ceConversionFault;
    } catch (const ENcLineError& fault) {
        err << fault.Message() << '\n'; // names the line itself
        return ceConversionFault;
    }
    plt.Finish(out);
    err << status << '\n';
    if (preview) preview->Finish(err);
    return ceOk;
}

} // namespace

int RunConvertCli(const std::vector<std::string>& args, const std::string& exeFolder,
                  std::ostream& out, std::ostream& err) {
    try {
        const TCliOptions options = ParseArgs(args);
        if (options.Help) {
            out << kHelp;
            return ceOk;
        }
        return Convert(options, exeFolder, out, err);
    } catch (const EUsage& e) {
        err << "plotalon-convert: " << e.Message() << "\n(--help zeigt den Aufruf)\n";
    } catch (const Exception& e) {
        err << "plotalon-convert: " << e.Detailed() << '\n';
    } catch (const std::bad_alloc&) {
        err << "plotalon-convert: Zu wenig Arbeitsspeicher\n";
    }
    return ceUsage;
}

} // namespace plotalon
