#pragma once
// What a plotter draws for a piece of HPGL, in plotter units (40 to the millimetre, y pointing
// up as on the plotter). A stroke is one connected run of pen movement of one kind: drawn with
// one pen, or travelled with the pen up. Its steps are straight lines or arcs; an arc lies on
// an axis-aligned ellipse, which is a circle unless the user's scaling stretches one axis.
//
// Every step remembers the index of the HPGL line it came from. Line indices never fall from
// one step to the next, so the lines of a range of steps, and the steps of a range of lines,
// are found by binary search.
//
// Memory grows with the number of steps only: a step is one end point, its line and its arc,
// 24 bytes; arcs keep their geometry in a list of their own.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace plotalon {

struct TPlotPoint {
    double X = 0, Y = 0;
    bool operator==(const TPlotPoint&) const = default;
};

struct TPlotBounds {
    double MinX = std::numeric_limits<double>::infinity();
    double MinY = std::numeric_limits<double>::infinity();
    double MaxX = -std::numeric_limits<double>::infinity();
    double MaxY = -std::numeric_limits<double>::infinity();

    bool Empty() const { return MinX > MaxX; }
    // Both 0 for an empty box.
    double Width() const { return Empty() ? 0 : MaxX - MinX; }
    double Height() const { return Empty() ? 0 : MaxY - MinY; }
    void Add(TPlotPoint p);
    void Add(const TPlotBounds& other);
};

// The points Centre + (RadiusX·cos t, RadiusY·sin t) for t from StartAngle over Sweep radians.
// A negative radius mirrors its axis (scaling with a falling axis).
struct TPlotArc {
    TPlotPoint Centre;
    double RadiusX = 0, RadiusY = 0;
    double StartAngle = 0, Sweep = 0;

    TPlotPoint At(double t) const;
    TPlotBounds Bounds() const;
};

struct TPlotStep {
    TPlotPoint To;
    std::uint32_t Line = 0; // the low 32 bits of the line index; TPlot::LineOf has all of it
    std::int32_t Arc = -1;  // index into TPlot::Arcs(), -1 for a straight line
    bool IsArc() const { return Arc >= 0; }
};

enum class TStrokeKind : std::uint8_t { skDrawn, skTravel };

// How the pen moves: drawing with a pen or travelling, and at what speed in cm/s (0: the
// plotter's own, no VS in force).
struct TPenState {
    TStrokeKind Kind = TStrokeKind::skTravel;
    int Pen = 0; // the pen of a drawn stroke; 0 for travel
    float Speed = 0;
    bool operator==(const TPenState&) const = default;
};

struct TPlotStroke {
    TStrokeKind Kind = TStrokeKind::skTravel;
    int Pen = 0;
    float Speed = 0;
    TPlotPoint Start;
    std::size_t FirstStep = 0, StepCount = 0;
};

// Steps [First, Last); empty when First == Last.
struct TStepRange {
    std::size_t First = 0, Last = 0;
    bool Empty() const { return First >= Last; }
    bool operator==(const TStepRange&) const = default;
};

class TPlot {
public:
    const std::vector<TPlotStroke>& Strokes() const { return strokes_; }
    const std::vector<TPlotArc>& Arcs() const { return arcs_; }
    std::span<const TPlotStep> StepsOf(const TPlotStroke& stroke) const {
        return {steps_.data() + stroke.FirstStep, stroke.StepCount};
    }
    const std::vector<TPlotStep>& Steps() const { return steps_; }
    std::size_t StepCount() const { return steps_.size(); }

    // What the pens put on paper, and that together with the travel.
    const TPlotBounds& DrawnBounds() const { return drawn_; }
    const TPlotBounds& AllBounds() const { return all_; }

    // The stroke that holds a step; step < StepCount().
    std::size_t StrokeOf(std::size_t step) const;
    // Where a step begins: the end of the step before, or its stroke's start.
    TPlotPoint StepStart(std::size_t step) const;
    // The HPGL line a step came from; step < StepCount().
    std::uint64_t LineOf(std::size_t step) const;
    // The steps that came from the lines first to last (both included).
    TStepRange StepsOfLines(std::uint64_t first, std::uint64_t last) const;

    // Room for about that many steps, so that a large plot is not copied while it grows; a
    // hint only, dropped when the memory is not there.
    void Reserve(std::size_t steps);

    // A movement from `from` continues the last stroke when pen state and position fit;
    // otherwise it starts a new one. line: the HPGL line it came from, never less than the
    // line of the step before.
    void LineTo(TPenState pen, TPlotPoint from, TPlotPoint to, std::uint64_t line);
    void ArcTo(TPenState pen, TPlotPoint from, const TPlotArc& arc, TPlotPoint to,
               std::uint64_t line);

private:
    void Append(TPenState pen, TPlotPoint from, TPlotStep step, const TPlotBounds& extent,
                std::uint64_t line);
    // The steps before which the line index passed another multiple of 2^32.
    std::size_t EpochOf(std::size_t step) const;
    std::uint64_t FullLine(std::size_t step) const;

    std::vector<TPlotStroke> strokes_;
    std::vector<TPlotStep> steps_;
    std::vector<TPlotArc> arcs_;
    std::vector<std::size_t> epochStarts_; // the first step of every further 2^32 lines
    std::uint64_t lastEpoch_ = 0;
    TPlotBounds drawn_, all_;
};

} // namespace plotalon
