#pragma once
// The plotter's pen as the standard reading drives it: where it stands, whether it is down,
// and the HPGL lines that move it, in the line forms of the literal reading ("PU", "PD",
// "PA", "AT") plus "SP" for a pen change. Positions come in NC millimetres and are scaled,
// offset and rounded to plotter units as the literal reading does (halves to even).
//
// Arcs are drawn as chords at most Deg degrees apart (HPGL 1) or as "AT" three-point arcs
// (HPGL 2): one per arc of up to 180 degrees, two halves for a longer one and for a full
// circle, whose equal start and end three points cannot describe.

#include <cstdint>

#include "engine/ConvState.h"
#include "engine/LineSeams.h"
#include "engine/NcArc.h"

namespace plotalon {

class TPenPlotter {
public:
    TPenPlotter(const TConvSettings& settings, ILineSink& target)
        : settings_(settings), target_(target) {}

    // Pen up, move to `to`. Nothing when the pen is up and already there.
    void Travel(TNcPoint to);
    // Pen down at from (moving there with the pen up first where it stands elsewhere), then a
    // straight line to `to`; from equal to `to` makes a dot.
    void Line(TNcPoint from, TNcPoint to);
    // The part of arc from parameter ta to tb with the pen down.
    void Arc(const TNcArc& arc, long double ta, long double tb);
    // Pen up where it stands.
    void Lift();
    // Pen up, then "SP" pen ";".
    void SelectPen(int pen);

private:
    struct TUnits {
        std::int64_t X = 0, Y = 0;
        friend bool operator==(const TUnits&, const TUnits&) = default;
    };
    TUnits ToUnits(TNcPoint p) const;
    std::int64_t Scaled(long double value, std::int32_t move) const;
    void MoveTo(TUnits p);
    void DrawTo(TUnits p);
    long double ChordSlack(const TNcArc& arc) const;
    TUnits ChordPoint(const TNcArc& arc, long double t, long double slack) const;
    void Chords(const TNcArc& arc, long double ta, long double tb);
    void ArcsThrough(const TNcArc& arc, long double ta, long double tb);

    const TConvSettings& settings_;
    ILineSink& target_;
    TUnits position_;
    bool known_ = false; // the pen's position is unknown until the first move
    bool down_ = false;
};

} // namespace plotalon
