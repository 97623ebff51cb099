#pragma once
// Circular arcs of the standard reading in the XY plane, in NC millimetres, found as
// LinuxCNC's interpreter finds them: by their centre (I and J) or by a signed radius (R).
// Where the two ends of a centre arc lie at slightly different distances from the centre
// (within what the interpreter accepts) the radius changes evenly along the arc, so that it
// ends exactly at its end point.

namespace plotalon {

struct TNcPoint {
    long double X = 0, Y = 0;
    friend bool operator==(const TNcPoint&, const TNcPoint&) = default;
};

struct TNcArc {
    TNcPoint Start, End, Centre;
    long double StartRadius = 0, EndRadius = 0;
    long double StartAngle = 0; // radians
    long double Sweep = 0;      // radians, positive counter-clockwise; a full circle is ±2π

    // The point at t from 0 (start) to 1 (end): exactly Start and End at the ends, and in
    // between Centre + RadiusAt(t) * (cos, sin)(AngleAt(t)).
    TNcPoint At(long double t) const;
    long double AngleAt(long double t) const { return StartAngle + t * Sweep; }
    long double RadiusAt(long double t) const {
        return StartRadius + t * (EndRadius - StartRadius);
    }
    // The swept angle in degrees, without sign.
    long double SweepDegrees() const;
};

// What the interpreter tolerates, in millimetres: the difference between the start and end
// radius of a centre arc (beside a relative 0.1 %), and how much shorter than half the chord
// a radius may be. The limits differ with the program's units.
struct TArcTolerance {
    long double RadiusDifference;
    long double ShortRadius;
};
TArcTolerance ArcTolerance(bool inch);

// The arc from start to end about centre, clockwise (G2) or not (G3). A start equal to the end
// is a full circle. Raises ENcError for a zero radius and for ends whose radii differ beyond
// the tolerance.
TNcArc ArcByCentre(bool clockwise, TNcPoint start, TNcPoint end, TNcPoint centre,
                   const TArcTolerance& tolerance);

// The arc from start to end with signed radius r: a positive radius takes the arc of at most
// 180 degrees, a negative one the longer arc. Raises ENcError for a full circle, a zero
// radius and a radius shorter than half the chord beyond the tolerance (a little shorter is
// taken as a half circle).
TNcArc ArcByRadius(bool clockwise, TNcPoint start, TNcPoint end, long double r,
                   const TArcTolerance& tolerance);

} // namespace plotalon
