#pragma once
// The plot as a screen of pixels shows it, for any painter: the steps that fall into a view,
// turned into polylines in device pixels and thinned to what a pixel can show.
//
// - Nodes of the index that lie outside the view are skipped; a node smaller than a pixel
//   becomes a dot; a step is clipped to the view, so that no coordinate handed on is far
//   outside it, whatever the magnification.
// - Consecutive points closer than a pixel to the last point handed on are merged.
// - Arcs become chords that stray at most a quarter pixel from the curve, and only their
//   visible parts are divided that finely.
// - A line of several pixels that was handed on already in this view (a tool path that runs
//   over itself, a shape repeated on the spot) is not handed on again.
// So the work of a view grows with what it shows, not with the number of steps or the
// magnification.

#include <cstdint>
#include <optional>
#include <span>

#include "preview/HpglPlot.h"
#include "preview/PlotIndex.h"

namespace plotalon {

// Device pixels: x to the right, y downwards.
struct TDevicePoint {
    double X = 0, Y = 0;
    bool operator==(const TDevicePoint&) const = default;
};

struct TDeviceRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    double Width() const { return Right - Left; }
    double Height() const { return Bottom - Top; }
};

// Plotter units to device pixels.
struct TViewTransform {
    double Scale = 1; // pixels per plotter unit
    double OffsetX = 0, OffsetY = 0;

    TDevicePoint ToDevice(TPlotPoint p) const {
        return {p.X * Scale + OffsetX, OffsetY - p.Y * Scale};
    }
    TPlotPoint ToPlot(TDevicePoint d) const {
        return {(d.X - OffsetX) / Scale, (OffsetY - d.Y) / Scale};
    }
};

// The magnifications a view may take, in pixels per plotter unit: from a drawing of the
// largest extent the reader allows down to a few pixels, up to a plotter unit of many
// thousand pixels.
inline constexpr double kMinScale = 1e-21;
inline constexpr double kMaxScale = 1e5;

// The transform that shows content as large as it fits into area, centred; content without
// width or height fits by the other side, a point or an empty plot sits in the middle at one
// pixel per unit.
TViewTransform FitTransform(const TPlotBounds& content, const TDeviceRect& area);

// Receives the trace, one layer after the other from the bottom (LayerOf): polylines of two
// or more points, and dots (a pen that touched the paper without moving a pixel).
class ITraceSink {
public:
    virtual ~ITraceSink() = default;
    virtual void Polyline(int layer, std::span<const TDevicePoint> points) = 0;
    virtual void Dots(int layer, std::span<const TDevicePoint> points) = 0;
};

// Everything of the plot that the view shows within clip.
void TracePlot(const TPlot& plot, const TPlotIndex& index, const TViewTransform& view,
               const TDeviceRect& clip, ITraceSink& sink);

// The given steps only (to highlight them), each in its own layer.
void TraceSteps(const TPlot& plot, TStepRange steps, const TViewTransform& view,
                const TDeviceRect& clip, ITraceSink& sink);

// The step nearest to at that passes within radius pixels of it; a drawn step wins over
// pen-up travel, and of equally near steps the later one (drawn on top).
std::optional<std::size_t> StepNear(const TPlot& plot, const TPlotIndex& index,
                                    const TViewTransform& view, TDevicePoint at, double radius);

} // namespace plotalon
