#include "preview/HpglPlot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plotalon {

void TPlotBounds::Add(TPlotPoint p) {
    MinX = std::min(MinX, p.X);
    MinY = std::min(MinY, p.Y);
    MaxX = std::max(MaxX, p.X);
    MaxY = std::max(MaxY, p.Y);
}

void TPlotBounds::Add(const TPlotBounds& other) {
    if (other.Empty()) return;
    Add(TPlotPoint{other.MinX, other.MinY});
    Add(TPlotPoint{other.MaxX, other.MaxY});
}

TPlotPoint TPlotArc::At(double t) const {
    return {Centre.X + RadiusX * std::cos(t), Centre.Y + RadiusY * std::sin(t)};
}

TPlotBounds TPlotArc::Bounds() const {
    TPlotBounds b;
    const double from = std::min(StartAngle, StartAngle + Sweep);
    const double to = std::max(StartAngle, StartAngle + Sweep);
    b.Add(At(from));
    b.Add(At(to));
    // The extremes of an axis-aligned ellipse lie at the multiples of a quarter turn.
    constexpr double quarter = std::numbers::pi / 2;
    for (double k = std::ceil(from / quarter); k * quarter <= to; ++k)
        b.Add(At(k * quarter));
    return b;
}

void TPlot::LineTo(TStrokeKind kind, int pen, TPlotPoint from, TPlotPoint to) {
    TPlotBounds extent;
    extent.Add(from);
    extent.Add(to);
    Append(kind, pen, from, TPlotStep{to, -1}, extent);
}

void TPlot::ArcTo(TStrokeKind kind, int pen, TPlotPoint from, const TPlotArc& arc, TPlotPoint to) {
    TPlotBounds extent = arc.Bounds();
    extent.Add(from);
    extent.Add(to);
    Arcs_.push_back(arc);
    Append(kind, pen, from, TPlotStep{to, std::int64_t(Arcs_.size() - 1)}, extent);
}

void TPlot::Append(TStrokeKind kind, int pen, TPlotPoint from, TPlotStep step,
                   const TPlotBounds& extent) {
    if (kind == TStrokeKind::skTravel) pen = 0;
    const bool continues = !Strokes_.empty() && Strokes_.back().Kind == kind &&
                           Strokes_.back().Pen == pen && Steps_.back().To == from;
    if (!continues) Strokes_.push_back({kind, pen, from, Steps_.size(), 0});
    Steps_.push_back(step);
    ++Strokes_.back().StepCount;
    if (kind == TStrokeKind::skDrawn) Drawn_.Add(extent);
    All_.Add(extent);
}

} // namespace plotalon
