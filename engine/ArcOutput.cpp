#include "engine/ArcOutput.h"

#include <cmath>
#include <cstdint>

#include "engine/ExtMath.h"
#include "engine/HpglLine.h"
#include "engine/NCMath.h"

namespace plotalon {

namespace {

struct TArc {
    long double cx = 0, cy = 0, ra = 0;
    bool clockwise = true;
};

struct TPoint {
    long double x = 0, y = 0;
};

TPoint ChordPoint(const TArc& arc, long double theta) {
    const long double radians = theta * PiExt / 180;
    long double sine = 0, cosine = 0;
    SinCosExt(radians, sine, cosine);
    return {arc.ra * cosine + arc.cx, arc.ra * sine + arc.cy};
}

struct TWholePoint {
    std::int64_t x = 0, y = 0;
};

// What a chord point's coordinates may differ by between the double-precision and the
// extended sine and cosine, for every point of the arc.
long double ChordSlack(const TArc& arc) {
    return SinCosSlack(arc.ra, 2 * (std::fabs(arc.ra) + std::fabs(arc.cx) + std::fabs(arc.cy)));
}

// The chord point rounded to whole units. The double-precision sine and cosine give it
// wherever both coordinates lie clearly between two roundings; near a half FSINCOS decides,
// so the whole numbers are always those of ChordPoint.
TWholePoint ChordPointRounded(const TArc& arc, long double theta, long double slack) {
    const long double radians = theta * PiExt / 180;
    long double sine = 0, cosine = 0;
    TWholePoint whole;
    if (SinCosApprox(radians, sine, cosine) &&
        RoundClearly(arc.ra * cosine + arc.cx, slack, whole.x) &&
        RoundClearly(arc.ra * sine + arc.cy, slack, whole.y))
        return whole;
    const TPoint p = ChordPoint(arc, theta);
    return {RoundExt(p.x), RoundExt(p.y)};
}

long double Advance(const TArc& arc, long double theta, long double step) {
    if (arc.clockwise) {
        theta -= step;
        if (!(theta > 0)) theta += 360;
    } else {
        theta += step;
        if (theta >= 361) theta -= 360;
    }
    return theta;
}

// Whole degrees swept from a0 to a1 in the direction of the move; equal angles are a full turn.
std::int64_t SweptAngle(const TArc& arc, long double a0, long double a1) {
    if (arc.clockwise) return RoundExt(a1 < a0 ? a0 - a1 : 360 - a1 + a0);
    if (a1 == 0) a1 = 360;
    return RoundExt(a1 > a0 ? a1 - a0 : 360 - a0 + a1);
}

void ChordsHpgl1(ILineSink& target, const TArc& arc, long double a0, std::int64_t sweep,
                 std::int32_t deg) {
    // A step below one degree would never finish the arc.
    const std::int64_t step = deg < 1 ? 1 : deg;
    const long double slack = ChordSlack(arc);
    long double theta = a0;
    for (bool first = true; sweep > 0; first = false) {
        if (!first) {
            const TWholePoint p = ChordPointRounded(arc, theta, slack);
            AppendPoint(target, "PA", p.x, p.y);
        }
        theta = Advance(arc, theta, static_cast<long double>(step));
        sweep -= step;
    }
}

// The intermediate point of the three-point arc lies S - 1 - round(S / 2) degrees from a0.
TPoint IntermediatePoint(const TArc& arc, long double a0, std::int64_t sweep) {
    const std::int64_t half = RoundExt(static_cast<long double>(sweep) / 2);
    const std::int64_t steps = sweep - 1 - half;
    long double theta = a0;
    for (std::int64_t k = 0; k < steps; ++k)
        theta = Advance(arc, theta, 1);
    return ChordPoint(arc, theta);
}

} // namespace

void EmitArc(TConversionContext& context, long double x0, long double y0, long double x1,
             long double y1, long double r) {
    TModalState& state = context.State;
    ILineSink& target = context.Target;
    TArc arc;
    arc.clockwise = state.Mode == TMoveMode::mmArcCW;
    const TCentreOutcome outcome = CircleCentre(arc.clockwise, x0, y0, x1, y1, r, arc.cx, arc.cy);
    arc.ra = std::fabs(r);
    const long double a0 = PointAngle(x0, y0, arc.cx, arc.cy, arc.ra);
    const long double a1 = PointAngle(x1, y1, arc.cx, arc.cy, arc.ra);
    const std::int64_t sweep = SweptAngle(arc, a0, a1);

    if (!state.PenLowered) {
        AppendPoint(target, "PU", x0, y0);
        target.AppendLine("PD;");
        state.PenLowered = true;
    }

    const std::uint8_t type = context.Settings.HpglType;
    if (type != 1 && type != 2) return;
    if (outcome != TCentreOutcome::coFound || (type == 2 && sweep == 0)) {
        AppendPoint(target, "PA", x1, y1);
        return;
    }
    if (type == 1) {
        ChordsHpgl1(target, arc, a0, sweep, context.Settings.Deg);
        AppendPoint(target, "PA", x1, y1);
    } else {
        const TPoint mid = IntermediatePoint(arc, a0, sweep);
        AppendArcThrough(target, RoundExt(mid.x), RoundExt(mid.y), RoundExt(x1), RoundExt(y1));
    }
}

} // namespace plotalon
