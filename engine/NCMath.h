#pragma once
// Circle geometry of the arc step, in extended precision on plotter units.

namespace plotalon {

enum class TCentreOutcome { coFound, coSameEnds, coNoCentre };

// Centre of the arc from (x0, y0) to (x1, y1) with signed radius r, following the R
// convention of NC code: a positive radius takes the arc of at most 180 degrees, a negative
// one the longer arc. clockwise is true for G2. A radius too short for the chord gives the
// chord's midpoint. Only coFound writes cx and cy.
TCentreOutcome CircleCentre(bool clockwise, long double x0, long double y0, long double x1,
                            long double y1, long double r, long double& cx, long double& cy);

// Polar angle of (px, py) about (cx, cy) in degrees, 0 up to and including 360. r = 0 is
// a division fault (EZeroDivide, or EInvalidOp when px = cx).
long double PointAngle(long double px, long double py, long double cx, long double cy,
                       long double r);

// The discriminant brought to three decimal places, as a fixed-point text round trip would.
long double RoundToThreeDecimals(long double value);

} // namespace plotalon
