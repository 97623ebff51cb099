#pragma once
// What a plotter draws for a piece of HPGL, in plotter units (40 to the millimetre, y pointing
// up as on the plotter). A stroke is one connected run of pen movement of one kind: drawn with
// one pen, or travelled with the pen up. Its steps are straight lines or arcs; an arc lies on
// an axis-aligned ellipse, which is a circle unless the user's scaling stretches one axis.
//
// Memory grows with the number of steps only: a step is one end point, and arcs keep their
// geometry in a list of their own.

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
    std::int64_t Arc = -1; // index into TPlot::Arcs(), -1 for a straight line
    bool IsArc() const { return Arc >= 0; }
};

enum class TStrokeKind : std::uint8_t { skDrawn, skTravel };

struct TPlotStroke {
    TStrokeKind Kind = TStrokeKind::skTravel;
    int Pen = 0; // the pen of a drawn stroke; 0 for travel
    TPlotPoint Start;
    std::size_t FirstStep = 0, StepCount = 0;
};

class TPlot {
public:
    const std::vector<TPlotStroke>& Strokes() const { return Strokes_; }
    const std::vector<TPlotArc>& Arcs() const { return Arcs_; }
    std::span<const TPlotStep> StepsOf(const TPlotStroke& stroke) const {
        return {Steps_.data() + stroke.FirstStep, stroke.StepCount};
    }
    std::size_t StepCount() const { return Steps_.size(); }

    // What the pens put on paper, and that together with the travel.
    const TPlotBounds& DrawnBounds() const { return Drawn_; }
    const TPlotBounds& AllBounds() const { return All_; }

    // A movement from `from` continues the last stroke when kind, pen and position fit;
    // otherwise it starts a new one. pen is ignored for travel.
    void LineTo(TStrokeKind kind, int pen, TPlotPoint from, TPlotPoint to);
    void ArcTo(TStrokeKind kind, int pen, TPlotPoint from, const TPlotArc& arc, TPlotPoint to);

private:
    void Append(TStrokeKind kind, int pen, TPlotPoint from, TPlotStep step,
                const TPlotBounds& extent);

    std::vector<TPlotStroke> Strokes_;
    std::vector<TPlotStep> Steps_;
    std::vector<TPlotArc> Arcs_;
    TPlotBounds Drawn_, All_;
};

} // namespace plotalon
