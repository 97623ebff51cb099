#pragma once

#include "engine/ConvState.h"

namespace plotalon {

// Writes the circular arc of a G2 or G3 block from (x0, y0) to (x1, y1) with signed radius
// r: chord points every Deg degrees for HPGL 1, one "AT" line for HPGL 2, after a pen-down
// prelude when the pen is up. Where no arc can be drawn (start equals end, no centre, or an
// HPGL 2 sweep of 0) the block draws a straight line to its end point. A zero radius is a
// division fault, raised before anything is written.
void EmitArc(TConversionContext& context, long double x0, long double y0, long double x1,
             long double y1, long double r);

} // namespace plotalon
