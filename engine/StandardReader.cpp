#include "engine/StandardReader.h"

#include <algorithm>
#include <cmath>

namespace plotalon {

namespace {

// A Z this close above the pen level still counts as at the level: decimal fractions added
// up in incremental programs come back a hair off.
constexpr long double kLevelSlack = 1e-9L;

// More holes than any drilling pattern has: a larger L is a typing error, not a wish to wait.
constexpr std::int64_t kMostRepeats = 100000;

bool IsArc(int motion) {
    return motion == 20 || motion == 30;
}
bool IsCycle(int motion) {
    return motion == 730 || motion == 810 || motion == 820 || motion == 830;
}

std::int64_t WholeNumber(const TNcBlock& block, char letter, std::int64_t lowest) {
    const long double value = block.Word(letter);
    if (!(value >= static_cast<long double>(lowest) && value < 1e15L) || value != std::floor(value))
        throw ENcError(std::string(1, letter) + " muss eine ganze Zahl ab " +
                       std::to_string(lowest) + " sein");
    return static_cast<std::int64_t>(value);
}

} // namespace

// The block's lines reach the target only once the whole block has been read, so that a
// fault anywhere in it writes nothing of it.
void TStandardReader::Block(std::string_view line) {
    ReadNcWords(line, line_);
    if (line_.Percent) {
        Percent();
        return;
    }
    if (!line_.Blank) started_ = true;
    if (line_.Count == 0) return;
    MakeNcBlock(line_, current_);
    pending_.Clear();
    Execute(current_);
    pending_.MoveTo(output_);
}

void TStandardReader::Finish() {
    pending_.Clear();
    plotter_.Lift();
    pending_.MoveTo(output_);
}

// "%" opens a program on its first line (blank lines may come before it); the next "%"
// closes it, and what follows is not read.
void TStandardReader::Percent() {
    if (!started_) {
        started_ = percentOpen_ = true;
        return;
    }
    if (!percentOpen_) throw ENcError("„%“ steht nur in der ersten und der letzten Zeile");
    done_ = true;
}

void TStandardReader::CheckWords(const TNcBlock& b, int motion, bool moves) const {
    const int nonModal = b.G[ggNonModal];
    const bool arc = moves && IsArc(motion), cycle = moves && IsCycle(motion);
    if (b.HasWord('F') && b.Word('F') < 0) throw ENcError("F darf nicht negativ sein");
    if (b.HasWord('S') && b.Word('S') < 0) throw ENcError("S darf nicht negativ sein");
    if (b.HasWord('T')) {
        const std::int64_t tool = WholeNumber(b, 'T', 0);
        if (settings_.ToolPens && tool > 8)
            throw ENcError("T" + std::to_string(tool) +
                           ": Stifte gibt es nur von 1 bis 8 (T0: kein Stift)");
    }
    if (b.HasWord('H')) {
        if (b.G[ggToolLength] != 430) throw ENcError("H steht ohne G43");
        WholeNumber(b, 'H', 0);
    }
    if (nonModal == 40 && (!b.HasWord('P') || b.Word('P') < 0))
        throw ENcError("G4 ohne Verweilzeit P");
    if ((b.HasWord('I') || b.HasWord('J')) && !arc)
        throw ENcError("I und J gehören zu einem Bogen (G2, G3)");
    if (b.HasWord('R') && !arc && !cycle)
        throw ENcError("R gehört zu einem Bogen (G2, G3) oder Bohrzyklus");
    if (b.HasWord('P') && nonModal != 40 && b.G[ggPath] != 640 && !(cycle && motion == 820)) {
        if (arc) throw ENcError("P (mehrere Umläufe) wird bei G2 und G3 nicht unterstützt");
        throw ENcError("P gehört zu G4, G64 oder G82");
    }
    if (b.HasWord('Q') && b.G[ggPath] != 640 && !(cycle && (motion == 730 || motion == 830)))
        throw ENcError("Q gehört zu G73, G83 oder G64");
    if (b.HasWord('L')) {
        if (!cycle) throw ENcError("L gehört zu einem Bohrzyklus");
        WholeNumber(b, 'L', 1);
    }
}

void TStandardReader::Execute(const TNcBlock& b) {
    const int nonModal = b.G[ggNonModal];
    const bool home = nonModal == 280 || nonModal == 300;
    const bool machine = nonModal == 530;
    const int motion = b.G[ggMotion] >= 0 ? b.G[ggMotion] : motion_;
    if (b.HasAxis()) {
        if (home && b.G[ggMotion] >= 0)
            throw ENcError(GCodeText(nonModal) + " und " + GCodeText(b.G[ggMotion]) +
                           " verwenden beide die Achswerte");
        if (!home && motion == 800) throw ENcError("G80 steht mit Achswerten");
        if (!home && motion < 0)
            throw ENcError("Achswerte ohne Bewegungsart (G0, G1, G2, G3 oder Bohrzyklus)");
    }
    const bool centre = b.HasWord('I') || b.HasWord('J') || b.HasWord('R');
    const bool moves =
        !home && motion >= 0 && motion != 800 && (b.HasAxis() || (IsArc(motion) && centre));
    CheckWords(b, motion, moves);
    if (machine) {
        if (motion != 0 && motion != 10) throw ENcError("G53 steht nur mit G0 oder G1");
        const bool incremental = b.G[ggDistance] >= 0 ? b.G[ggDistance] == 910 : incremental_;
        if (incremental) throw ENcError("G53 ist im Kettenmaß (G91) nicht möglich");
    }

    if (b.HasWord('T')) selectedTool_ = WholeNumber(b, 'T', 0);
    if (b.M[mgToolChange] == 6) {
        spindle_ = false; // a tool change stops the spindle, as the interpreter does
        if (settings_.ToolPens) plotter_.SelectPen(static_cast<int>(selectedTool_));
    }
    if (b.M[mgSpindle] >= 0) spindle_ = b.M[mgSpindle] != 5;
    if (!spindle_ && settings_.PenSource == TPenSource::psSpindle) plotter_.Lift();
    Modes(b);
    if (b.G[ggMotion] >= 0) {
        if (b.G[ggMotion] != motion_) hasCycleR_ = hasCycleZ_ = hasCycleQ_ = false;
        motion_ = b.G[ggMotion] == 800 ? -1 : b.G[ggMotion];
    }
    if (home) Home(b);
    if (moves) Move(b, motion, machine);
    if (b.M[mgStop] == 2 || b.M[mgStop] == 30) done_ = true;
}

void TStandardReader::Modes(const TNcBlock& b) {
    if (b.G[ggUnits] >= 0) inch_ = b.G[ggUnits] == 200;
    if (b.G[ggDistance] >= 0) incremental_ = b.G[ggDistance] == 910;
    if (b.G[ggArcDistance] >= 0) arcAbsolute_ = b.G[ggArcDistance] == 901;
    if (b.G[ggRetract] >= 0) retractToOldZ_ = b.G[ggRetract] == 980;
}

long double TStandardReader::Destination(const TNcBlock& b, char letter, long double current,
                                         bool absolute) const {
    if (!b.HasWord(letter)) return current;
    const long double value = b.Word(letter) * Unit();
    return absolute ? value : current + value;
}

TStandardReader::TSpan TStandardReader::DrawnSpan(long double z0, long double z1) const {
    if (settings_.PenSource == TPenSource::psSpindle) return {spindle_, 0, 1};
    if (!zKnown_) return {};
    const long double level = static_cast<long double>(settings_.PenZ) / 1000 * Unit();
    const bool below0 = z0 <= level + kLevelSlack, below1 = z1 <= level + kLevelSlack;
    if (below0 && below1) return {true, 0, 1};
    if (!below0 && !below1) return {};
    const long double t = std::clamp((level - z0) / (z1 - z0), 0.0L, 1.0L);
    return below0 ? TSpan{true, 0, t} : TSpan{true, t, 1};
}

// G28 and G30: travel through the point the axis words give to the stored position, which
// this reading takes as X0 Y0 with an unknown Z. Without axis words every axis goes there.
void TStandardReader::Home(const TNcBlock& b) {
    if (!b.HasAxis()) {
        tool_.X = tool_.Y = 0;
        zKnown_ = false;
        plotter_.Travel({0, 0});
        return;
    }
    const bool absolute = !incremental_;
    tool_ = {Destination(b, 'X', tool_.X, absolute), Destination(b, 'Y', tool_.Y, absolute),
             Destination(b, 'Z', tool_.Z, absolute)};
    plotter_.Travel({tool_.X, tool_.Y});
    if (b.HasWord('X')) tool_.X = 0;
    if (b.HasWord('Y')) tool_.Y = 0;
    if (b.HasWord('Z')) zKnown_ = false;
    plotter_.Travel({tool_.X, tool_.Y});
}

void TStandardReader::Move(const TNcBlock& b, int motion, bool machine) {
    if (IsCycle(motion)) {
        Cycle(b, motion);
        return;
    }
    const bool absolute = machine || !incremental_;
    const TPosition to{Destination(b, 'X', tool_.X, absolute),
                       Destination(b, 'Y', tool_.Y, absolute),
                       Destination(b, 'Z', tool_.Z, absolute)};
    if (IsArc(motion)) {
        Arc(b, motion, to);
    } else if (motion == 10 && !machine) {
        const TSpan span = DrawnSpan(tool_.Z, to.Z);
        const auto at = [&](long double t) {
            return TNcPoint{tool_.X + t * (to.X - tool_.X), tool_.Y + t * (to.Y - tool_.Y)};
        };
        if (span.Any) {
            plotter_.Line(at(span.From), at(span.To));
            if (span.To < 1) plotter_.Travel({to.X, to.Y});
        } else {
            plotter_.Travel({to.X, to.Y});
        }
    } else {
        plotter_.Travel({to.X, to.Y});
    }
    tool_ = to;
    if (b.HasWord('Z')) zKnown_ = !machine;
}

void TStandardReader::Arc(const TNcBlock& b, int motion, const TPosition& to) {
    const bool clockwise = motion == 20;
    const TNcPoint start{tool_.X, tool_.Y}, end{to.X, to.Y};
    const TArcTolerance tolerance = ArcTolerance(inch_);
    TNcArc arc;
    if (b.HasWord('R')) {
        if (b.HasWord('I') || b.HasWord('J')) throw ENcError("Bogen mit R und I, J zugleich");
        if (!b.HasWord('X') && !b.HasWord('Y')) throw ENcError("Bogen mit R ohne X und Y");
        arc = ArcByRadius(clockwise, start, end, b.Word('R') * Unit(), tolerance);
    } else if (b.HasWord('I') || b.HasWord('J')) {
        if (arcAbsolute_ && !(b.HasWord('I') && b.HasWord('J')))
            throw ENcError("Bogen mit absolutem Mittelpunkt (G90.1) braucht I und J");
        const TNcPoint origin = arcAbsolute_ ? TNcPoint{} : start;
        const TNcPoint centre{origin.X + (b.HasWord('I') ? b.Word('I') * Unit() : 0),
                              origin.Y + (b.HasWord('J') ? b.Word('J') * Unit() : 0)};
        arc = ArcByCentre(clockwise, start, end, centre, tolerance);
    } else {
        throw ENcError("Bogen ohne I, J oder R");
    }
    const TSpan span = DrawnSpan(tool_.Z, to.Z);
    if (span.Any) {
        plotter_.Arc(arc, span.From, span.To);
        if (span.To < 1) plotter_.Travel(end);
    } else {
        plotter_.Travel(end);
    }
    tool_ = to;
    if (b.HasWord('Z')) zKnown_ = true;
}

// A drilling cycle, moving as LinuxCNC moves: up to the R plane first where the tool is
// below it, then for every hole (L times) travel to it, down to R, feed to the bottom, and
// back to R (G99, the default) or to the Z the block started at where that is higher (G98).
// The bottom feed is a pure Z move: drawn, it is a dot at the hole.
void TStandardReader::Cycle(const TNcBlock& b, int motion) {
    if (b.HasWord('R')) cycleR_ = b.Word('R') * Unit(), hasCycleR_ = true;
    if (b.HasWord('Z')) cycleZ_ = b.Word('Z') * Unit(), hasCycleZ_ = true;
    if (b.HasWord('Q')) cycleQ_ = b.Word('Q'), hasCycleQ_ = true;
    if (!hasCycleR_) throw ENcError("Bohrzyklus ohne R-Ebene");
    if (!hasCycleZ_) throw ENcError("Bohrzyklus ohne Bohrtiefe Z");
    if ((motion == 730 || motion == 830) && !(hasCycleQ_ && cycleQ_ > 0))
        throw ENcError(GCodeText(motion) + " ohne Zustellung Q (größer als 0)");
    if (!zKnown_ && incremental_)
        throw ENcError("Bohrzyklus im Kettenmaß, aber die Z-Lage ist nach G28, G30 oder G53 "
                       "unbekannt");
    const long double start = tool_.Z;
    const long double r = incremental_ ? start + cycleR_ : cycleR_;
    const long double bottom = incremental_ ? r + cycleZ_ : cycleZ_;
    if (r < bottom) throw ENcError("R-Ebene liegt unter der Bohrtiefe Z");
    const long double clear = retractToOldZ_ && zKnown_ ? std::max(start, r) : r;
    const std::int64_t repeats = b.HasWord('L') ? WholeNumber(b, 'L', 1) : 1;
    if (repeats > kMostRepeats)
        throw ENcError("L darf höchstens " + std::to_string(kMostRepeats) + " sein");
    if (!zKnown_ || start < r) plotter_.Travel({tool_.X, tool_.Y});
    zKnown_ = true;
    for (std::int64_t k = 0; k < repeats; ++k) {
        tool_.X = Destination(b, 'X', tool_.X, !incremental_);
        tool_.Y = Destination(b, 'Y', tool_.Y, !incremental_);
        const TNcPoint hole{tool_.X, tool_.Y};
        plotter_.Travel(hole);
        if (settings_.DrillMarks && DrawnSpan(r, bottom).Any) plotter_.Line(hole, hole);
        plotter_.Travel(hole);
    }
    tool_.Z = clear;
}

} // namespace plotalon
