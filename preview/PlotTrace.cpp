#include "preview/PlotTrace.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "preview/PlotPicture.h"

namespace plotalon {

namespace {

constexpr double kClipMargin = 2;      // lines reach this far beyond the clip, in pixels
constexpr double kMergeDistance = 1;   // a point this near the last one handed on is merged
constexpr double kJoinDistance = 0.75; // a step starting this near the pen continues its line
constexpr double kArcTolerance = 0.25; // how far a chord may stray from its arc
constexpr double kRepeatLength = 4;    // lines this long are remembered, to be drawn once
constexpr std::size_t kPolylineBatch = 4096;
constexpr std::size_t kDotBatch = 4096;

bool Far(TDevicePoint p, TDevicePoint q, double distance) {
    return std::abs(p.X - q.X) >= distance || std::abs(p.Y - q.Y) >= distance;
}

TDeviceRect Grown(const TDeviceRect& r, double by) {
    return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

bool Inside(const TDeviceRect& r, TDevicePoint p) {
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

// The box of a plot box in device pixels.
TDeviceRect DeviceBox(const TViewTransform& view, const TPlotBounds& b) {
    return {b.MinX * view.Scale + view.OffsetX, view.OffsetY - b.MaxY * view.Scale,
            b.MaxX * view.Scale + view.OffsetX, view.OffsetY - b.MinY * view.Scale};
}

bool Overlap(const TDeviceRect& a, const TDeviceRect& b) {
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

// Liang and Barsky: the part of a..b inside r; false when none is.
bool ClipLine(const TDeviceRect& r, TDevicePoint& a, TDevicePoint& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.X - r.Left, r.Right - a.X, a.Y - r.Top, r.Bottom - a.Y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const TDevicePoint from = a;
    if (t1 < 1) b = {from.X + t1 * dx, from.Y + t1 * dy};
    if (t0 > 0) a = {from.X + t0 * dx, from.Y + t0 * dy};
    return true;
}

// The lines handed on in this view, by their end points at half a pixel (in either
// direction) and their layer: exact keys, so a line is never taken for another.
class TLineSet {
public:
    explicit TLineSet(const TDeviceRect& clip)
        : left_(clip.Left - 1), top_(clip.Top - 1),
          usable_(clip.Width() + 2 < kSpan / 2 && clip.Height() + 2 < kSpan / 2) {}

    // Whether the line was handed on before; remembers it when not.
    bool Seen(int layer, TDevicePoint a, TDevicePoint b) {
        if (!usable_) return false;
        std::uint64_t qa = Quantise(a), qb = Quantise(b);
        if (qb < qa) std::swap(qa, qb);
        const std::uint64_t key = std::uint64_t(layer + 1) << 60 | qa << 30 | qb;
        if (slots_.empty()) slots_.assign(kFirstSlots, 0);
        std::size_t i = Home(key);
        for (; slots_[i] != 0; i = (i + 1) & (slots_.size() - 1))
            if (slots_[i] == key) return true;
        if (count_ * 4 >= slots_.size() * 3) return false; // full: draw the rest as it comes
        slots_[i] = key;
        if (++count_ * 2 > slots_.size() && slots_.size() < kMaxSlots) Grow();
        return false;
    }

private:
    static constexpr int kBits = 15;
    static constexpr double kSpan = 1 << kBits;
    static constexpr std::size_t kFirstSlots = 1 << 12;
    static constexpr std::size_t kMaxSlots = 1 << 21;

    std::uint64_t Quantise(TDevicePoint p) const {
        const auto q = [](double v) {
            return std::uint64_t(std::clamp(std::lround(v * 2), 0L, long(kSpan) - 1));
        };
        return q(p.X - left_) << kBits | q(p.Y - top_);
    }
    std::size_t Home(std::uint64_t key) const {
        return std::size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & (slots_.size() - 1);
    }
    void Grow() {
        std::vector<std::uint64_t> old(slots_.size() * 2, 0);
        old.swap(slots_);
        for (std::uint64_t key : old) {
            if (key == 0) continue;
            std::size_t i = Home(key);
            while (slots_[i] != 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = key;
        }
    }

    double left_, top_;
    bool usable_;
    std::vector<std::uint64_t> slots_;
    std::size_t count_ = 0;
};

// Divides an arc into chords in device pixels and hands their ends to emit, finely only
// where the arc comes near region. The last end is exactly `end`.
template <class Emit>
void FlattenArc(const TPlotArc& arc, TPlotPoint end, const TViewTransform& view,
                const TDeviceRect& region, Emit&& emit) {
    const double radius = std::max(std::abs(arc.RadiusX), std::abs(arc.RadiusY)) * view.Scale;
    const TDevicePoint last = view.ToDevice(end);
    auto piece = [&](auto&& self, double t0, double t1, TDevicePoint a, TDevicePoint b,
                     int depth) -> void {
        // The arc strays from its chord by at most its sagitta, on a circle or an ellipse.
        const double sagitta = radius * (1 - std::cos((t1 - t0) / 2));
        const TDeviceRect box{std::min(a.X, b.X) - sagitta, std::min(a.Y, b.Y) - sagitta,
                              std::max(a.X, b.X) + sagitta, std::max(a.Y, b.Y) + sagitta};
        if (sagitta <= kArcTolerance || depth >= 48 || !Overlap(box, region)) {
            emit(b);
            return;
        }
        const double mid = (t0 + t1) / 2;
        const TDevicePoint m = view.ToDevice(arc.At(mid));
        self(self, t0, mid, a, m, depth + 1);
        self(self, mid, t1, m, b, depth + 1);
    };
    // Quarter turns at most, so that the sagitta bounds each piece.
    const int quarters =
        std::max(1, int(std::ceil(std::abs(arc.Sweep) / (std::numbers::pi / 2) - 1e-9)));
    TDevicePoint a = view.ToDevice(arc.At(arc.StartAngle));
    for (int i = 1; i <= quarters; ++i) {
        const double t0 = arc.StartAngle + arc.Sweep * (i - 1) / quarters;
        const double t1 = arc.StartAngle + arc.Sweep * i / quarters;
        const TDevicePoint b = i == quarters ? last : view.ToDevice(arc.At(t1));
        piece(piece, t0, t1, a, b, 0);
        a = b;
    }
}

// Turns segments of one layer at a time into thinned polylines and dots for the sink.
class TTracer {
public:
    TTracer(const TViewTransform& view, const TDeviceRect& clip, ITraceSink& sink)
        : View(view), Clip(Grown(clip, kClipMargin)), Region(Grown(clip, 1)), lines_(clip),
          sink_(sink) {}

    const TViewTransform& View;
    const TDeviceRect Clip;   // where lines are cut
    const TDeviceRect Region; // what is visited at all

    void BeginLayer(int layer) {
        EndLayer();
        layer_ = layer;
    }

    void EndLayer() {
        Break();
        if (!dotPoints_.empty()) sink_.Dots(layer_, dotPoints_);
        dotPoints_.clear();
    }

    void Segment(TDevicePoint a, TDevicePoint b) {
        if (!(Inside(Clip, a) && Inside(Clip, b)) && !ClipLine(Clip, a, b)) return;
        if (!open_ || Far(a, cur_, kJoinDistance)) {
            Break();
            Start(a, true);
        }
        cur_ = b;
        if (Far(b, emitted_, kMergeDistance)) Append(b);
    }

    // One step of the plot, from the device point a; returns where it ends.
    TDevicePoint Step(const TPlot& plot, const TPlotStep& step, TDevicePoint a) {
        if (!step.IsArc()) {
            const TDevicePoint b = View.ToDevice(step.To);
            Segment(a, b);
            return b;
        }
        TDevicePoint at = a;
        FlattenArc(plot.Arcs()[std::size_t(step.Arc)], step.To, View, Region, [&](TDevicePoint b) {
            Segment(at, b);
            at = b;
        });
        return at;
    }

private:
    void Start(TDevicePoint p, bool real) {
        points_.assign(1, p);
        emitted_ = cur_ = p;
        open_ = true;
        realStart_ = real;
    }

    void Append(TDevicePoint p) {
        const double dx = p.X - emitted_.X, dy = p.Y - emitted_.Y;
        if (dx * dx + dy * dy >= kRepeatLength * kRepeatLength &&
            lines_.Seen(layer_, emitted_, p)) {
            // Drawn already: end the line before it and go on from its far end.
            FlushPoints();
            Start(p, false);
            return;
        }
        points_.push_back(p);
        emitted_ = p;
        if (points_.size() >= kPolylineBatch) {
            FlushPoints();
            points_.assign(1, p);
        }
    }

    void Break() {
        if (!open_) return;
        if (cur_ != emitted_) Append(cur_);
        FlushPoints();
        open_ = false;
    }

    void FlushPoints() {
        if (points_.size() >= 2) {
            sink_.Polyline(layer_, points_);
        } else if (points_.size() == 1 && realStart_) {
            dotPoints_.push_back(points_.front());
            if (dotPoints_.size() >= kDotBatch) {
                sink_.Dots(layer_, dotPoints_);
                dotPoints_.clear();
            }
        }
        points_.clear();
    }

    TLineSet lines_;
    ITraceSink& sink_;
    int layer_ = 0;
    bool open_ = false, realStart_ = false;
    TDevicePoint emitted_, cur_;
    std::vector<TDevicePoint> points_, dotPoints_;
};

// Walks the index for one layer at a time.
class TLayerWalk {
public:
    TLayerWalk(const TPlot& plot, const TPlotIndex& index, TTracer& tracer)
        : plot_(plot), index_(index), tracer_(tracer) {}

    void Run(int layer) {
        bit_ = std::uint16_t(1u << layer);
        tracer_.BeginLayer(layer);
        layer_ = layer;
        const std::size_t top = index_.LevelCount() - 1;
        for (std::size_t i = 0; i < index_.Level(top).size(); ++i)
            Node(top, i);
        tracer_.EndLayer();
    }

private:
    void Node(std::size_t level, std::size_t i) {
        const TPlotIndex::TNode& node = index_.Level(level)[i];
        if (!(node.Layers & bit_)) return;
        const TDeviceRect box = DeviceBox(tracer_.View, node.Box);
        if (!Overlap(box, tracer_.Region)) return;
        if (box.Width() < 1 && box.Height() < 1) {
            // All of it within a pixel: that pixel, from where the node begins to its end.
            const TStepRange steps = index_.StepsUnder(level, i);
            tracer_.Segment(tracer_.View.ToDevice(plot_.StepStart(steps.First)),
                            tracer_.View.ToDevice(plot_.Steps()[steps.Last - 1].To));
            return;
        }
        if (level == 0) {
            Leaf(i);
            return;
        }
        const std::size_t end = std::min(index_.Level(level - 1).size(), (i + 1) * index_.kFanout);
        for (std::size_t child = i * index_.kFanout; child < end; ++child)
            Node(level - 1, child);
    }

    void Leaf(std::size_t leaf) {
        const std::vector<TPlotStroke>& strokes = plot_.Strokes();
        const std::vector<TPlotStep>& steps = plot_.Steps();
        const TStepRange range = index_.StepsUnder(0, leaf);
        std::size_t k = index_.LeafStroke(leaf);
        for (std::size_t s = range.First; s < range.Last;) {
            while (s >= strokes[k].FirstStep + strokes[k].StepCount)
                ++k;
            const TPlotStroke& stroke = strokes[k];
            const std::size_t end = std::min(range.Last, stroke.FirstStep + stroke.StepCount);
            if (LayerOf(stroke) != layer_) {
                s = end;
                continue;
            }
            TDevicePoint a =
                tracer_.View.ToDevice(s == stroke.FirstStep ? stroke.Start : steps[s - 1].To);
            for (; s < end; ++s)
                a = tracer_.Step(plot_, steps[s], a);
        }
    }

    const TPlot& plot_;
    const TPlotIndex& index_;
    TTracer& tracer_;
    std::uint16_t bit_ = 0;
    int layer_ = 0;
};

double DistanceToSegment(TDevicePoint p, TDevicePoint a, TDevicePoint b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / l2, 0.0, 1.0) : 0;
    return std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy);
}

} // namespace

TViewTransform FitTransform(const TPlotBounds& content, const TDeviceRect& area) {
    TPlotBounds b = content;
    if (b.Empty()) b.Add(TPlotPoint{0, 0});
    const double sx = b.Width() > 0 ? area.Width() / b.Width() : INFINITY;
    const double sy = b.Height() > 0 ? area.Height() / b.Height() : INFINITY;
    double scale = std::min(sx, sy);
    if (!std::isfinite(scale)) scale = 1;
    scale = std::clamp(scale, kMinScale, kMaxScale);
    const double cx = b.MinX / 2 + b.MaxX / 2, cy = b.MinY / 2 + b.MaxY / 2;
    return {scale, (area.Left + area.Right) / 2 - cx * scale,
            (area.Top + area.Bottom) / 2 + cy * scale};
}

void TracePlot(const TPlot& plot, const TPlotIndex& index, const TViewTransform& view,
               const TDeviceRect& clip, ITraceSink& sink) {
    if (index.LevelCount() == 0) return;
    TTracer tracer(view, clip, sink);
    TLayerWalk walk(plot, index, tracer);
    const std::uint16_t layers = index.Layers();
    for (int layer = 0; layer < kLayers; ++layer)
        if (layers & (1u << layer)) walk.Run(layer);
}

void TraceSteps(const TPlot& plot, TStepRange steps, const TViewTransform& view,
                const TDeviceRect& clip, ITraceSink& sink) {
    steps.Last = std::min(steps.Last, plot.StepCount());
    if (steps.Empty()) return;
    TTracer tracer(view, clip, sink);
    std::size_t k = plot.StrokeOf(steps.First);
    int layer = -1;
    TDevicePoint a = view.ToDevice(plot.StepStart(steps.First));
    for (std::size_t s = steps.First; s < steps.Last; ++s) {
        const std::vector<TPlotStroke>& strokes = plot.Strokes();
        while (s >= strokes[k].FirstStep + strokes[k].StepCount)
            ++k;
        if (s == strokes[k].FirstStep) a = view.ToDevice(strokes[k].Start);
        if (LayerOf(strokes[k]) != layer) {
            layer = LayerOf(strokes[k]);
            tracer.BeginLayer(layer);
        }
        a = tracer.Step(plot, plot.Steps()[s], a);
    }
    tracer.EndLayer();
}

std::optional<std::size_t> StepNear(const TPlot& plot, const TPlotIndex& index,
                                    const TViewTransform& view, TDevicePoint at, double radius) {
    if (index.LevelCount() == 0) return std::nullopt;
    const TDeviceRect region{at.X - radius, at.Y - radius, at.X + radius, at.Y + radius};
    std::optional<std::size_t> best;
    bool bestTravel = true;
    double bestDistance = radius;
    auto consider = [&](std::size_t step, bool travel, double distance) {
        if (distance > radius) return;
        if (best && (travel > bestTravel || (travel == bestTravel && distance > bestDistance)))
            return;
        best = step;
        bestTravel = travel;
        bestDistance = distance;
    };
    auto leaf = [&](std::size_t i) {
        const TStepRange range = index.StepsUnder(0, i);
        std::size_t k = index.LeafStroke(i);
        for (std::size_t s = range.First; s < range.Last; ++s) {
            const std::vector<TPlotStroke>& strokes = plot.Strokes();
            while (s >= strokes[k].FirstStep + strokes[k].StepCount)
                ++k;
            const bool travel = strokes[k].Kind == TStrokeKind::skTravel;
            const TPlotStep& step = plot.Steps()[s];
            TDevicePoint a = view.ToDevice(s == strokes[k].FirstStep ? strokes[k].Start
                                                                     : plot.Steps()[s - 1].To);
            if (!step.IsArc()) {
                consider(s, travel, DistanceToSegment(at, a, view.ToDevice(step.To)));
                continue;
            }
            double nearest = INFINITY;
            FlattenArc(plot.Arcs()[std::size_t(step.Arc)], step.To, view, region,
                       [&](TDevicePoint b) {
                           nearest = std::min(nearest, DistanceToSegment(at, a, b));
                           a = b;
                       });
            consider(s, travel, nearest);
        }
    };
    auto node = [&](auto&& self, std::size_t level, std::size_t i) -> void {
        if (!Overlap(DeviceBox(view, index.Level(level)[i].Box), region)) return;
        if (level == 0) {
            leaf(i);
            return;
        }
        const std::size_t end = std::min(index.Level(level - 1).size(), (i + 1) * index.kFanout);
        for (std::size_t child = i * index.kFanout; child < end; ++child)
            self(self, level - 1, child);
    };
    const std::size_t top = index.LevelCount() - 1;
    for (std::size_t i = 0; i < index.Level(top).size(); ++i)
        node(node, top, i);
    return best;
}

} // namespace plotalon
