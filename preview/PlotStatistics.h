#pragma once
// What a plot asks of the plotter: how far the pen travels down and up, how often it is lifted,
// which pens draw, and how long that takes.
//
// The time is every movement, pen up or down, at the speed the HPGL set for its pen with VS,
// or kDefaultPenSpeed where none is set; acceleration and pen changes are left out, so it is
// an estimate from below. A pen lift is the end of a drawn run: the pen goes up, or another
// pen takes over.

#include <cstdint>
#include <string>
#include <vector>

#include "preview/HpglPlot.h"

namespace plotalon {

// cm/s: what a pen plotter usually manages (an HP 7475A's top speed).
inline constexpr double kDefaultPenSpeed = 38;

struct TPlotStatistics {
    double DrawnLength = 0;  // plotter units
    double TravelLength = 0; // plotter units
    std::uint64_t PenLifts = 0;
    std::vector<int> Pens; // the pens that drew, ascending
    double Seconds = 0;
};

TPlotStatistics ComputeStatistics(const TPlot& plot);

// The length of one step in plotter units.
double StepLength(const TPlot& plot, TPlotPoint from, const TPlotStep& step);

// "Zeichenweg 12,35 m · Leerweg 3,20 m · 150 Stifthübe · Stifte 1, 2 · Plotzeit etwa 0:05:23"
// (UTF-8).
std::string DescribeStatistics(const TPlotStatistics& statistics);

} // namespace plotalon
