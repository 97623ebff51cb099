#pragma once
// Reads HPGL text into a plot: the commands our converter writes (PU, PD, PA, AT) and the ones
// users put into their prefix and suffix blocks that move the pen or change how coordinates
// are read (IN, DF, SP, PR, SC, IP), and the pen speed (VS: for all pens, or for one pen with
// its number as second parameter; without parameters, and after IN, the plotter's own).
// Every other command is skipped and counted, and so is every known command whose parameters
// are unusable; neither ever changes the plot.
//
// Syntax: a command is two letters (either case) and its numbers, separated by commas or
// blanks; it ends at ";", at the start of the next command or at the end of the line, so
// several commands may share a line. A label (LB) runs to its terminator (ETX unless DT set
// another) or to the end of the line; an encoded polyline (PE) to the next ";"; a quoted
// string in the parameters is skipped whole; a device escape sequence (ESC . x ... :) is
// skipped and counted.
//
// Numbers: an optional sign, digits, an optional decimal point and digits, at most 10^15 in
// magnitude. A movement that would leave ±10^18 plotter units is unusable, so the plot stays
// finite whatever the input.
//
// Without IP, P1 is (0, 0) and P2 (11880, 8400), the corners of an A4 sheet in landscape; SC
// maps its user range onto them (types 0, 1 and 2). Before the first SP pen 1 is assumed, so
// that a block without one still shows its drawing; with SP0 the pen moves without drawing.
//
// Lines are counted from 0 in the order they are read; every step of the plot keeps the index
// of its line. The reader is plain C++ and holds no global state, so a worker thread may read
// while another thread shows an earlier plot.

#include <array>
#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/LineSeams.h"
#include "preview/HpglPlot.h"

namespace plotalon {

struct TIgnoredCommands {
    static constexpr int kMnemonics = 26 * 26;
    // By mnemonic, index (first letter - 'A') * 26 + (second letter - 'A').
    std::array<std::uint64_t, kMnemonics> Skipped{};   // commands the preview does not evaluate
    std::array<std::uint64_t, kMnemonics> Malformed{}; // known commands with unusable parameters
    std::uint64_t Escapes = 0;                         // device escape sequences
    std::uint64_t Unreadable = 0;                      // runs of bytes that begin no command
    std::uint64_t Total() const;
};

// "LT 2, PA fehlerhaft 1, unlesbar 3": the counts that are not 0, skipped commands first in
// alphabetical order, at most a dozen items.
std::string DescribeIgnored(const TIgnoredCommands& ignored);

// The first CR or LF in text from `from` on; text.size() when there is none.
std::size_t FindLineBreak(std::string_view text, std::size_t from);

class THpglReader {
public:
    THpglReader();

    // One line of HPGL; its end ends whatever command is open.
    void ReadLine(std::string_view line);
    // A whole text; CR LF, LF and a lone CR each end a line, and a final line break starts
    // no further line (as the editor splits a file).
    void ReadText(std::string_view text);
    // Every line of source, in order. Returns false, with the lines so far read, as soon as
    // stop is requested (checked every few thousand lines).
    bool ReadLines(const ILineSource& source, std::stop_token stop = {});
    // Prepares for about that many steps (see TPlot::Reserve), or for a text of that many
    // bytes: the converter's lines make a step each, and no step takes fewer than 8 bytes.
    void Reserve(std::size_t steps) { plot_.Reserve(steps); }
    void ReserveFor(std::uint64_t bytes) { Reserve(std::size_t(bytes / 8)); }
    // The lines read so far.
    std::uint64_t LineCount() const { return line_; }

    const TPlot& Plot() const { return plot_; }
    // Hands the plot over; the reader goes on with an empty one.
    TPlot TakePlot() { return std::exchange(plot_, TPlot{}); }
    const TIgnoredCommands& Ignored() const { return ignored_; }
    TPlotPoint Position() const { return pos_; }

private:
    struct TAxis {
        double Offset = 0, Factor = 1; // plotter = Offset + Factor * user
    };

    enum class TPenAction { paKeep, paUp, paDown };
    enum class TModeAction { maKeep, maAbsolute, maRelative };

    void ReadCommands(std::string_view line);
    std::size_t ReadCommand(std::string_view line, std::size_t at);
    std::size_t ReadParameters(std::string_view line, std::size_t at, bool& usable);
    // Each returns false for parameters it cannot use, and then changes nothing.
    void Execute(int code, bool usable);
    bool Move(TPenAction pen, TModeAction mode);
    bool Arc();
    bool SelectPen();
    bool Velocity();
    void UpdateSpeed();
    bool Scale();
    bool InputWindow();
    bool ComputeScaling();
    void Initialise();
    void Defaults();

    TPlotPoint ToPlotter(double x, double y) const;
    TPlotPoint ToUser(TPlotPoint p) const;
    void LineTo(TPlotPoint to);
    TPenState PenState() const;

    TPlot plot_;
    TIgnoredCommands ignored_;
    std::vector<double> params_;

    TPlotPoint pos_;
    bool penDown_ = false;
    bool relative_ = false;
    int pen_ = 1;
    char labelEnd_ = '\x03';
    TPlotPoint p1_, p2_;
    bool scaling_ = false;
    std::vector<double> scaleParams_;
    TAxis x_, y_;
    std::uint64_t line_ = 0; // the index of the line being read
    float allPensSpeed_ = 0;
    std::unordered_map<int, float> penSpeed_; // pens with a speed of their own
    float speed_ = 0;                         // that of the selected pen
};

} // namespace plotalon
