#include "tools/view/ViewOptions.h"

#include "preview/PlotFile.h"

#include <charconv>

namespace plotalon {

const char* const kViewHelp =
    R"(Aufruf: plotalon-view [Optionen] DATEI.nc
        plotalon-view --plot [--png BILD] DATEI.plt

Zeigt ein NC-Programm so, wie Plotalon es im NC-Fenster zeigt: mit Zeilennummern,
Syntaxhervorhebung und der Schrift des Programms. Mit --plot zeigt es stattdessen die
Zeichnung einer gespeicherten PLT-Datei, so wie der Plotter sie zeichnen würde.
Mit --png wird kein Fenster geöffnet, sondern ein Bild geschrieben; dafür ist kein
Bildschirm nötig.

Optionen für NC-Programme:
  --png BILD            das Fenster als PNG-Bild nach BILD schreiben
  --scale N             das Bild N-fach vergrößern, Pixel für Pixel (1 bis 8, Vorgabe 1)
  --lines N             das Fenster N Zeilen hoch machen (1 bis 1000, Vorgabe 30)
  --select X1,Y1,X2,Y2  von Spalte X1 in Zeile Y1 bis Spalte X2 in Zeile Y2 markieren
                        (ab 1 gezählt); die Schreibmarke steht am Ende der Markierung

Optionen für PLT-Dateien:
  --plot                die Zeichnung der PLT-Datei zeigen
  --png BILD            die Zeichnung nach BILD schreiben: als SVG, wenn BILD auf .svg
                        endet, als PNG, wenn es auf .png endet

  --help                diese Hilfe

Eine bestehende Bilddatei wird erst ersetzt, wenn das neue Bild vollständig geschrieben
ist; misslingt es, bleibt sie unverändert.

Rückgabewerte:
  0  angezeigt oder geschrieben
  1  Datei nicht lesbar, Bild nicht schreibbar oder zu wenig Arbeitsspeicher
  2  falscher Aufruf
)";

namespace {

int ParseCount(const std::string& option, const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
        throw EViewUsage("Ungültige Zahl für " + option + ": " + text + " (erlaubt " +
                         std::to_string(low) + " bis " + std::to_string(high) + ")");
    return value;
}

// "X1,Y1,X2,Y2": four whole numbers from 1 on.
void ParseSelection(const std::string& text, TViewOptions& o) {
    int* numbers[] = {&o.From.X, &o.From.Y, &o.To.X, &o.To.Y};
    const char* at = text.data();
    const char* end = at + text.size();
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [ptr, ec] = std::from_chars(at, end, *numbers[i]);
        const bool last = i == 3;
        if (ec != std::errc() || *numbers[i] < 1 || (last ? ptr != end : ptr == end || *ptr != ','))
            throw EViewUsage("--select erwartet X1,Y1,X2,Y2 (ganze Zahlen ab 1): " + text);
        at = ptr + 1;
    }
    o.Select = true;
}

struct TValueOption {
    const char* Name;
    bool PaneOnly; // shapes the text pane, means nothing for a drawing
    void (*Take)(const std::string& option, const std::string& value, TViewOptions& o);
};

const TValueOption kValueOptions[] = {
    {"--png", false,
     [](const std::string& option, const std::string& value, TViewOptions& o) {
         if (value.empty()) throw EViewUsage("Option " + option + " erwartet einen Dateinamen");
         o.Png = value;
     }},
    {"--lines", true,
     [](const std::string& option, const std::string& value, TViewOptions& o) {
         o.Lines = ParseCount(option, value, 1, 1000);
     }},
    {"--scale", true,
     [](const std::string& option, const std::string& value, TViewOptions& o) {
         o.Scale = ParseCount(option, value, 1, 8);
     }},
    {"--select", true,
     [](const std::string&, const std::string& value, TViewOptions& o) {
         ParseSelection(value, o);
     }},
};

const TValueOption* FindValueOption(const std::string& name) {
    for (const TValueOption& option : kValueOptions)
        if (name == option.Name) return &option;
    return nullptr;
}

} // namespace

TViewOptions ParseViewArguments(const std::vector<std::string>& args) {
    TViewOptions o;
    bool haveFile = false;
    std::string paneOption; // the first option that only the text pane knows
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--plot") {
            o.Plot = true;
        } else if (a.size() > 1 && a[0] == '-') {
            const TValueOption* option = FindValueOption(a);
            if (!option) throw EViewUsage("Unbekannte Option: " + a);
            if (i + 1 >= args.size()) throw EViewUsage("Option " + a + " erwartet einen Wert");
            option->Take(a, args[++i], o);
            if (option->PaneOnly && paneOption.empty()) paneOption = a;
        } else if (haveFile) {
            throw EViewUsage("Nur eine Datei erlaubt: " + a);
        } else {
            o.File = a;
            haveFile = true;
        }
    }
    if (o.Help) return o;
    if (!haveFile) throw EViewUsage("Keine Datei angegeben");
    if (o.Plot && !paneOption.empty()) throw EViewUsage(paneOption + " gilt nicht mit --plot");
    if (o.Plot && !o.Png.empty() && !PlotFileFormatOf(o.Png))
        throw EViewUsage("Bild muss auf .svg oder .png enden: " + o.Png);
    return o;
}

} // namespace plotalon
