#include "tools/convert/ConvertCli.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <sys/stat.h>

#include "engine/ConversionRun.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "settings/BlockFile.h"
#include "settings/Reg.h"
#include "tools/convert/PreviewOutput.h"

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
  --prefix DATEI     Vorspann aus DATEI statt vorspann.plt
  --suffix DATEI     Nachspann aus DATEI statt nachspann.plt
  -o AUSGABE.plt     HPGL in AUSGABE.plt schreiben statt auf die Standardausgabe
  --preview BILD     zusätzlich die Zeichnung genau dieses HPGL in BILD schreiben,
                     als SVG (BILD.svg) oder PNG (BILD.png); nicht ausgewertete
                     HPGL-Befehle werden auf der Standardfehlerausgabe gezählt
  --help             diese Hilfe

Jede HPGL-Zeile endet mit CR LF. Die Statusmeldung geht auf die Standardfehlerausgabe.
Eine bestehende Ausgabedatei wird erst ersetzt, wenn die Umwandlung vollständig gelungen ist;
ein Gerät oder eine FIFO (etwa /dev/stdout) wird beschrieben, nicht ersetzt. Die Eingabedatei
selbst ist als Ausgabe nicht erlaubt.

Rückgabewerte:
  0  umgewandelt
  1  Gleitkommafehler in einem Satz ("Zeile N: " und die Meldung); keine Ausgabe
  2  falscher Aufruf, Eingabe- oder Ausgabedatei nicht lesbar oder schreibbar
)";

class EUsage : public Exception {
    using Exception::Exception;
};

struct TCliOptions {
    std::optional<std::string> SettingsFolder, PrefixFile, SuffixFile, Output;
    std::optional<std::string> Preview;
    std::optional<std::int32_t> Factor, XMove, YMove, Deg, Type;
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

// The same name, or one file under two names (symbolic or hard links).
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
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
        if (a.size() > 1 && a[0] == '-') {
            if (i + 1 >= args.size()) throw EUsage("Option " + a + " erwartet einen Wert");
            const std::string& v = args[++i];
            if (a == "--settings") o.SettingsFolder = v;
            else if (a == "--prefix") o.PrefixFile = v;
            else if (a == "--suffix") o.SuffixFile = v;
            else if (a == "-o") o.Output = v;
            else if (a == "--preview") o.Preview = v;
            else if (a == "--factor") o.Factor = ParseNumber(a, v);
            else if (a == "--xmove") o.XMove = ParseNumber(a, v);
            else if (a == "--ymove") o.YMove = ParseNumber(a, v);
            else if (a == "--deg") o.Deg = ParseNumber(a, v);
            else if (a == "--type") o.Type = ParseNumber(a, v);
            else throw EUsage("Unbekannte Option: " + a);
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
}

// The source text as loaded, with its lines as views into it: no allocation per line.
class TSourceText : public ILineSource {
public:
    explicit TSourceText(std::string bytes) : Bytes(std::move(bytes)) {
        ForEachSourceLine(Bytes, [this](std::size_t start, std::size_t length) {
            Lines.emplace_back(Bytes.data() + start, length);
        });
    }
    std::size_t LineCount() const override { return Lines.size(); }
    std::string_view LineAt(std::size_t index) const override { return Lines[index]; }

private:
    std::string Bytes;
    std::vector<std::string_view> Lines;
};

// Writes the HPGL text with CR LF after every line, either into a temporary file that only
// replaces the target once the run has succeeded, or into memory for standard output and for
// a device or FIFO (which see every byte as it is written), so that a run that faults leaves
// nothing behind.
class TPltOutput : public ILineSink {
public:
    explicit TPltOutput(const std::optional<std::string>& path) {
        if (path) {
            File.emplace(*path);
            if (!File->Ok()) throw EFCreateError(*path);
            Streams = !File->WritesInPlace();
        }
    }
    void AppendLine(std::string_view line) override {
        Text.append(line);
        Text.append("\r\n");
        if (Streams && Text.size() >= kChunk) Flush();
    }
    // Completes the output; throws when the file cannot be written.
    void Finish(std::ostream& out) {
        if (File) {
            Flush();
            if (!File->Commit()) throw EFCreateError(File->Path());
            return;
        }
        out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        out.flush();
        if (!out) throw EInOutError("Standardausgabe kann nicht geschrieben werden");
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    void Flush() {
        File->Write(Text);
        Text.clear();
    }
    std::optional<TAtomicFileWriter> File;
    bool Streams = false; // chunks go to the temporary file as the run goes
    std::string Text;
};

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

    std::string bytes;
    if (!ReadWholeFile(o.Input, bytes, TReadSource::FileOrStream)) throw EFOpenError(o.Input);
    const TSourceText source(std::move(bytes));

    TPltOutput plt(o.Output);
    std::optional<TPreviewOutput> preview;
    if (o.Preview) preview.emplace(*o.Preview, *PlotFileFormatOf(*o.Preview), plt);
    ILineSink& target = preview ? static_cast<ILineSink&>(*preview) : plt;
    TModalState state;
    TConversionRun run(settings, state, target);
    std::string status;
    try {
        status = run.Execute(source, prefix, suffix);
    } catch (const EMathError& fault) {
        err << "Zeile " << run.FailedLine() + 1 << ": " << fault.Message() << '\n';
        return ceConversionFault;
    }
    plt.Finish(out);
    err << status << '\n';
    if (preview) preview->Finish(err);
    return ceOk;
}

} // namespace

std::vector<std::string> SplitSourceText(const std::string& bytes) {
    std::vector<std::string> lines;
    ForEachSourceLine(bytes, [&](std::size_t start, std::size_t length) {
        lines.emplace_back(bytes, start, length);
    });
    return lines;
}

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
        err << "plotalon-convert: " << e.Message() << '\n';
    } catch (const std::bad_alloc&) {
        err << "plotalon-convert: Zu wenig Arbeitsspeicher\n";
    }
    return ceUsage;
}

} // namespace plotalon
