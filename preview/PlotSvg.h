#pragma once
// The plot's picture as an SVG document: drawn strokes solid, travel thin and dashed, the
// drawing's extent framed and measured. The document's width and height are the picture's
// size in millimetres, so it prints at the plot's own scale; y points up as on the plotter.
//
// Consecutive strokes of one layer share a path element (up to a bound of steps each), so that
// a plot of millions of movements stays a document of a few hundred elements. Arcs stay arcs.

#include "preview/HpglPlot.h"
#include "preview/PlotPicture.h"

namespace plotalon {

void WritePlotSvg(const TPlot& plot, const TByteWriter& write);

} // namespace plotalon
