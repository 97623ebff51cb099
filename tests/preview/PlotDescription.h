#pragma once
// A plot as one line of text, for tables of expected plots:
//   "pen1 0,0 10,0 | up 10,0 0,0" - each stroke its kind and pen, its start and its steps;
//   an arc step reads "arc(cx,cy rx,ry sweep°)>x,y".

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "preview/HpglPlot.h"

namespace plotalon::test {

// Up to three decimals, no trailing zeros, never "-0".
inline std::string Num(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

inline std::string Pt(TPlotPoint p) {
    return Num(p.X) + "," + Num(p.Y);
}

inline std::string Describe(const TPlot& plot) {
    std::string text;
    for (const TPlotStroke& stroke : plot.Strokes()) {
        if (!text.empty()) text += " | ";
        text += stroke.Kind == TStrokeKind::skTravel ? "up" : "pen" + std::to_string(stroke.Pen);
        text += " " + Pt(stroke.Start);
        for (const TPlotStep& step : plot.StepsOf(stroke)) {
            text += " ";
            if (step.IsArc()) {
                const TPlotArc& a = plot.Arcs()[std::size_t(step.Arc)];
                text += "arc(" + Pt(a.Centre) + " " + Num(a.RadiusX) + "," + Num(a.RadiusY) + " " +
                        Num(a.Sweep * 180 / std::numbers::pi) + "°)>";
            }
            text += Pt(step.To);
        }
    }
    return text;
}

} // namespace plotalon::test
