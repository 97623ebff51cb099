#include "engine/NCMath.h"

#include <charconv>
#include <cmath>

#include "engine/ExtMath.h"

namespace plotalon {

long double RoundToThreeDecimals(long double value) {
    // From 2^63 on an extended value has no fractional bits, so the round trip is exact.
    if (!(std::fabs(value) < 9223372036854775808.0L)) return value;
    char text[64];
    auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    long double back = 0;
    std::from_chars(text, written.ptr, back, std::chars_format::fixed);
    return back;
}

TCentreOutcome CircleCentre(bool clockwise, long double x0, long double y0, long double x1,
                            long double y1, long double r, long double& cx, long double& cy) {
    const long double X0 = 1000 * x0, Y0 = 1000 * y0, X1 = 1000 * x1, Y1 = 1000 * y1;
    const long double Rs = 1000 * r;
    if (X0 == X1 && Y0 == Y1) return TCentreOutcome::coSameEnds;

    const long double Mx = (X0 + X1) * 0.5L, My = (Y0 + Y1) * 0.5L;
    const long double H2 = (Mx - X0) * (Mx - X0) + (My - Y0) * (My - Y0);
    long double Qc = H2 - Rs * Rs;
    if (Qc > 0) Qc = 0; // radius shorter than half the chord: fall back to the midpoint

    const long double dx = X1 - X0, dy = Y1 - Y0;
    const long double Qa = dy * dy + dx * dx;
    const long double Qb = 2 * ((dy * (Mx - X0)) + (-dx * (My - Y0)));
    const long double D = RoundToThreeDecimals(Qb * Qb - 4 * Qa * Qc);
    if (D < 0) return TCentreOutcome::coNoCentre;

    long double Cx = Mx, Cy = My;
    if (D > 0) {
        const long double root = std::sqrt(D);
        const long double t1 = (-Qb + root) / (2 * Qa);
        const long double t2 = (-Qb - root) / (2 * Qa);
        const bool right = (clockwise && Rs > 0) || (!clockwise && Rs < 0);
        const long double t = right ? t1 : t2;
        Cx = Mx + dy * t;
        Cy = My - dx * t;
    }
    cx = std::fabs(Cx) <= 0.001L ? 0 : Cx / 1000;
    cy = std::fabs(Cy) <= 0.001L ? 0 : Cy / 1000;
    return TCentreOutcome::coFound;
}

long double PointAngle(long double px, long double py, long double cx, long double cy,
                       long double r) {
    long double f = DivideExt(px - cx, r);
    if (f > 1) f = 1;
    if (f < -1) f = -1;
    const long double g = std::atan2(std::sqrt(1 - f * f), f) * 57.295779513082320877L;
    return cy > py ? 360 - g : g;
}

} // namespace plotalon
