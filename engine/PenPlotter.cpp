#include "engine/PenPlotter.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/ExtMath.h"
#include "engine/HpglLine.h"
#include "engine/NcReader.h"

namespace plotalon {

namespace {

long double Units(std::int64_t v) {
    return static_cast<long double>(v);
}

// A chord step above a quarter turn would flatten an arc beyond recognition.
constexpr long double kWidestChord = 90;

} // namespace

std::int64_t TPenPlotter::Scaled(long double value, std::int32_t move) const {
    try {
        return RoundExt(value * static_cast<long double>(settings_.Factor) +
                        static_cast<long double>(move));
    } catch (const EMathError&) {
        throw ENcError("Koordinate außerhalb des Bereichs des Plotters");
    }
}

TPenPlotter::TUnits TPenPlotter::ToUnits(TNcPoint p) const {
    return {Scaled(p.X, settings_.XMove), Scaled(p.Y, settings_.YMove)};
}

void TPenPlotter::MoveTo(TUnits p) {
    if (known_ && !down_ && position_ == p) return;
    AppendPoint(target_, "PU", p.X, p.Y);
    position_ = p;
    known_ = true;
    down_ = false;
}

// The pen goes down where it stands, if it is not, and draws to p.
void TPenPlotter::DrawTo(TUnits p) {
    if (!down_) {
        if (p == position_)
            target_.AppendLine("PD;");
        else
            AppendPoint(target_, "PD", p.X, p.Y);
        down_ = true;
    } else if (p != position_) {
        AppendPoint(target_, "PA", p.X, p.Y);
    }
    position_ = p;
}

void TPenPlotter::Travel(TNcPoint to) {
    MoveTo(ToUnits(to));
}

void TPenPlotter::Line(TNcPoint from, TNcPoint to) {
    const TUnits start = ToUnits(from), end = ToUnits(to);
    if (!known_ || position_ != start) MoveTo(start);
    DrawTo(end);
}

void TPenPlotter::Lift() {
    if (down_) MoveTo(position_);
}

void TPenPlotter::SelectPen(int pen) {
    Lift();
    target_.AppendLine("SP" + std::to_string(pen) + ";");
}

void TPenPlotter::Arc(const TNcArc& arc, long double ta, long double tb) {
    const TUnits start = ToUnits(arc.At(ta));
    if (!known_ || position_ != start) MoveTo(start);
    if (settings_.HpglType == 1)
        Chords(arc, ta, tb);
    else
        ArcsThrough(arc, ta, tb);
}

// What a point's units may differ by between the double-precision and the extended sine and
// cosine, for every point of the arc.
long double TPenPlotter::ChordSlack(const TNcArc& arc) const {
    const long double radius = std::max(std::fabs(arc.StartRadius), std::fabs(arc.EndRadius));
    const long double factor = std::fabs(static_cast<long double>(settings_.Factor));
    const long double moves = std::fabs(static_cast<long double>(settings_.XMove)) +
                              std::fabs(static_cast<long double>(settings_.YMove));
    const long double size =
        2 * ((radius + std::fabs(arc.Centre.X) + std::fabs(arc.Centre.Y)) * factor + moves);
    return SinCosSlack(radius * factor, size);
}

// The point at t in units. The double-precision sine and cosine give it wherever both
// coordinates lie clearly between two roundings; near a half FSINCOS decides, so the units are
// always those of ToUnits(arc.At(t)).
TPenPlotter::TUnits TPenPlotter::ChordPoint(const TNcArc& arc, long double t,
                                            long double slack) const {
    long double sine = 0, cosine = 0;
    TUnits units;
    if (t > 0 && t < 1 && SinCosApprox(arc.AngleAt(t), sine, cosine)) {
        const long double radius = arc.RadiusAt(t);
        const auto factor = static_cast<long double>(settings_.Factor);
        if (RoundClearly((arc.Centre.X + radius * cosine) * factor +
                             static_cast<long double>(settings_.XMove),
                         slack, units.X) &&
            RoundClearly((arc.Centre.Y + radius * sine) * factor +
                             static_cast<long double>(settings_.YMove),
                         slack, units.Y))
            return units;
    }
    return ToUnits(arc.At(t));
}

void TPenPlotter::Chords(const TNcArc& arc, long double ta, long double tb) {
    const long double step =
        std::min(kWidestChord, static_cast<long double>(std::max(settings_.Deg, 1)));
    const long double sweep = arc.SweepDegrees() * (tb - ta);
    const auto count = static_cast<std::int64_t>(std::max(1.0L, std::ceil(sweep / step - 1e-9L)));
    const long double slack = ChordSlack(arc);
    for (std::int64_t k = 1; k <= count; ++k) {
        const long double t = k == count ? tb
                                         : ta + (tb - ta) * static_cast<long double>(k) /
                                                    static_cast<long double>(count);
        DrawTo(ChordPoint(arc, t, slack));
    }
}

void TPenPlotter::ArcsThrough(const TNcArc& arc, long double ta, long double tb) {
    if (!down_) DrawTo(position_);
    const int pieces = arc.SweepDegrees() * (tb - ta) > 180 + 1e-9L ? 2 : 1;
    for (int piece = 0; piece < pieces; ++piece) {
        const long double from = ta + (tb - ta) * piece / pieces;
        const long double to = piece + 1 == pieces ? tb : ta + (tb - ta) * (piece + 1) / pieces;
        const TUnits mid = ToUnits(arc.At((from + to) / 2)), end = ToUnits(arc.At(to));
        // Three points on one line describe no arc; the plotter draws what they show.
        const long double cross = Units(mid.X - position_.X) * Units(end.Y - position_.Y) -
                                  Units(mid.Y - position_.Y) * Units(end.X - position_.X);
        if (cross == 0 || end == position_) {
            DrawTo(mid);
            DrawTo(end);
        } else {
            AppendArcThrough(target_, mid.X, mid.Y, end.X, end.Y);
            position_ = end;
        }
    }
}

} // namespace plotalon
