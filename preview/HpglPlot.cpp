#include "preview/HpglPlot.h"

#include "platform/VirtualMemory.h"

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

std::size_t TPlot::StrokeOf(std::size_t step) const {
    const auto after = std::upper_bound(
        strokes_.begin(), strokes_.end(), step,
        [](std::size_t s, const TPlotStroke& stroke) { return s < stroke.FirstStep; });
    return std::size_t(after - strokes_.begin()) - 1;
}

TPlotPoint TPlot::StepStart(std::size_t step) const {
    const TPlotStroke& stroke = strokes_[StrokeOf(step)];
    return step == stroke.FirstStep ? stroke.Start : steps_[step - 1].To;
}

std::size_t TPlot::EpochOf(std::size_t step) const {
    return std::size_t(std::upper_bound(epochStarts_.begin(), epochStarts_.end(), step) -
                       epochStarts_.begin());
}

std::uint64_t TPlot::FullLine(std::size_t step) const {
    return std::uint64_t(EpochOf(step)) << 32 | steps_[step].Line;
}

std::uint64_t TPlot::LineOf(std::size_t step) const {
    return FullLine(step);
}

TStepRange TPlot::StepsOfLines(std::uint64_t first, std::uint64_t last) const {
    // The first step whose line is not below `line`.
    auto firstFrom = [this](std::uint64_t line) {
        std::size_t lo = 0, hi = steps_.size();
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (FullLine(mid) < line)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    if (first > last) return {};
    const std::size_t from = firstFrom(first);
    const std::size_t to = last == UINT64_MAX ? steps_.size() : firstFrom(last + 1);
    return {from, std::max(from, to)};
}

void TPlot::Reserve(std::size_t steps) {
    ReserveLarge(steps_, steps);
    ReserveLarge(strokes_, steps / 8);
}

void TPlot::LineTo(TPenState pen, TPlotPoint from, TPlotPoint to, std::uint64_t line) {
    TPlotBounds extent;
    extent.Add(from);
    extent.Add(to);
    Append(pen, from, TPlotStep{to, 0, -1}, extent, line);
}

void TPlot::ArcTo(TPenState pen, TPlotPoint from, const TPlotArc& arc, TPlotPoint to,
                  std::uint64_t line) {
    // More arcs than an index can name would need far more memory than there is; should it
    // come to that, the rest are drawn as their chords.
    if (arcs_.size() >= std::size_t(std::numeric_limits<std::int32_t>::max())) {
        LineTo(pen, from, to, line);
        return;
    }
    TPlotBounds extent = arc.Bounds();
    extent.Add(from);
    extent.Add(to);
    arcs_.push_back(arc);
    Append(pen, from, TPlotStep{to, 0, std::int32_t(arcs_.size() - 1)}, extent, line);
}

void TPlot::Append(TPenState pen, TPlotPoint from, TPlotStep step, const TPlotBounds& extent,
                   std::uint64_t line) {
    if (pen.Kind == TStrokeKind::skTravel) pen.Pen = 0;
    const bool continues = !strokes_.empty() && strokes_.back().Kind == pen.Kind &&
                           strokes_.back().Pen == pen.Pen && strokes_.back().Speed == pen.Speed &&
                           steps_.back().To == from;
    if (!continues) strokes_.push_back({pen.Kind, pen.Pen, pen.Speed, from, steps_.size(), 0});
    for (; lastEpoch_ < line >> 32; ++lastEpoch_)
        epochStarts_.push_back(steps_.size());
    step.Line = std::uint32_t(line);
    steps_.push_back(step);
    ++strokes_.back().StepCount;
    if (pen.Kind == TStrokeKind::skDrawn) drawn_.Add(extent);
    all_.Add(extent);
}

} // namespace plotalon
