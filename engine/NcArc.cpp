#include "engine/NcArc.h"

#include <cmath>
#include <cstdio>

#include "engine/ExtMath.h"
#include "engine/NcReader.h"

namespace plotalon {

namespace {

// Ends closer than this are one point: the arc is a full circle.
constexpr long double kSamePoint = 1e-9L;

long double Distance(TNcPoint a, TNcPoint b) {
    return std::hypot(b.X - a.X, b.Y - a.Y);
}

std::string Millimetres(long double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4Lf", value);
    return text;
}

TNcArc Sweep(bool clockwise, TNcPoint start, TNcPoint end, TNcPoint centre) {
    TNcArc arc;
    arc.Start = start;
    arc.End = end;
    arc.Centre = centre;
    arc.StartRadius = Distance(centre, start);
    arc.EndRadius = Distance(centre, end);
    arc.StartAngle = std::atan2(start.Y - centre.Y, start.X - centre.X);
    const long double endAngle = std::atan2(end.Y - centre.Y, end.X - centre.X);
    if (Distance(start, end) <= kSamePoint) {
        arc.Sweep = clockwise ? -2 * PiExt : 2 * PiExt;
        return arc;
    }
    long double sweep = endAngle - arc.StartAngle;
    if (clockwise && sweep >= 0) sweep -= 2 * PiExt;
    if (!clockwise && sweep <= 0) sweep += 2 * PiExt;
    arc.Sweep = sweep;
    return arc;
}

} // namespace

TNcPoint TNcArc::At(long double t) const {
    if (t <= 0) return Start;
    if (t >= 1) return End;
    const long double radius = RadiusAt(t);
    long double sine = 0, cosine = 0;
    SinCosExt(AngleAt(t), sine, cosine);
    return {Centre.X + radius * cosine, Centre.Y + radius * sine};
}

long double TNcArc::SweepDegrees() const {
    return std::fabs(Sweep) * 180 / PiExt;
}

TArcTolerance ArcTolerance(bool inch) {
    if (inch) return {0.0028284L * 25.4L, 0.00005L * 25.4L};
    return {0.028284L, 0.00127L};
}

TNcArc ArcByCentre(bool clockwise, TNcPoint start, TNcPoint end, TNcPoint centre,
                   const TArcTolerance& tolerance) {
    TNcArc arc = Sweep(clockwise, start, end, centre);
    if (arc.StartRadius <= kSamePoint)
        throw ENcError("Bogen mit Radius 0: der Mittelpunkt liegt auf dem Startpunkt");
    const long double difference = std::fabs(arc.EndRadius - arc.StartRadius);
    if (difference > tolerance.RadiusDifference && difference / arc.StartRadius > 0.001L)
        throw ENcError("Bogen: Start- und Endpunkt liegen nicht auf einem Kreis um I, J "
                       "(Radius " +
                       Millimetres(arc.StartRadius) + " und " + Millimetres(arc.EndRadius) +
                       " mm)");
    return arc;
}

TNcArc ArcByRadius(bool clockwise, TNcPoint start, TNcPoint end, long double r,
                   const TArcTolerance& tolerance) {
    const long double chord = Distance(start, end);
    if (chord <= kSamePoint)
        throw ENcError("Vollkreis mit R ist nicht möglich: Mittelpunkt mit I und J angeben");
    const long double radius = std::fabs(r);
    if (radius <= kSamePoint) throw ENcError("Bogen mit Radius 0");
    long double half = chord / 2;
    if (half - radius > tolerance.ShortRadius)
        throw ENcError("Radius R " + Millimetres(radius) +
                       " mm ist zu klein für den Endpunkt (halbe Sehne " + Millimetres(half) +
                       " mm)");
    if (half > radius) half = radius;
    // The centre lies on the chord's perpendicular bisector, to the right of the chord (seen
    // from start to end) for G2 with a positive radius and for G3 with a negative one.
    const long double offset = std::sqrt(std::fmax(radius * radius - half * half, 0.0L));
    const long double ux = (end.X - start.X) / chord, uy = (end.Y - start.Y) / chord;
    const bool right = clockwise == (r > 0);
    const long double side = right ? 1 : -1;
    const TNcPoint centre{(start.X + end.X) / 2 + side * offset * uy,
                          (start.Y + end.Y) / 2 - side * offset * ux};
    return Sweep(clockwise, start, end, centre);
}

} // namespace plotalon
