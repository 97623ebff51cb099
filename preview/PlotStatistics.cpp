#include "preview/PlotStatistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <set>

#include "preview/PlotPicture.h"

namespace plotalon {

namespace {

constexpr double kUnitsPerCentimetre = kUnitsPerMillimetre * 10;
constexpr double kUnitsPerMetre = kUnitsPerMillimetre * 1000;

double ArcLength(const TPlotArc& arc) {
    const double rx = std::abs(arc.RadiusX), ry = std::abs(arc.RadiusY);
    if (rx == ry) return rx * std::abs(arc.Sweep);
    // An ellipse has no closed form: chords fine enough to be exact to a few parts in a
    // million.
    const int pieces = std::max(16, int(std::ceil(std::abs(arc.Sweep) * 64)));
    double length = 0;
    TPlotPoint a = arc.At(arc.StartAngle);
    for (int i = 1; i <= pieces; ++i) {
        const TPlotPoint b = arc.At(arc.StartAngle + arc.Sweep * i / pieces);
        length += std::hypot(b.X - a.X, b.Y - a.Y);
        a = b;
    }
    return length;
}

std::string Decimal(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// h:mm:ss, whole seconds rounded up, so that a short plot never reads 0:00:00.
std::string Duration(double seconds) {
    if (!(seconds < 1e15)) return "mehr als 10^15 s";
    const auto total = std::uint64_t(std::ceil(seconds));
    const std::uint64_t h = total / 3600, m = total / 60 % 60, s = total % 60;
    auto two = [](std::uint64_t v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(h) + ":" + two(m) + ":" + two(s);
}

} // namespace

double StepLength(const TPlot& plot, TPlotPoint from, const TPlotStep& step) {
    if (step.IsArc()) return ArcLength(plot.Arcs()[std::size_t(step.Arc)]);
    // Coordinates stay within 10^18, so the squares cannot overflow: no need for hypot's care.
    const double dx = step.To.X - from.X, dy = step.To.Y - from.Y;
    return std::sqrt(dx * dx + dy * dy);
}

TPlotStatistics ComputeStatistics(const TPlot& plot) {
    TPlotStatistics statistics;
    std::set<int> pens;
    const std::vector<TPlotStroke>& strokes = plot.Strokes();
    for (std::size_t k = 0; k < strokes.size(); ++k) {
        const TPlotStroke& stroke = strokes[k];
        double length = 0;
        TPlotPoint from = stroke.Start;
        for (const TPlotStep& step : plot.StepsOf(stroke)) {
            length += StepLength(plot, from, step);
            from = step.To;
        }
        const double speed = stroke.Speed > 0 ? stroke.Speed : kDefaultPenSpeed;
        statistics.Seconds += length / (speed * kUnitsPerCentimetre);
        if (stroke.Kind == TStrokeKind::skTravel) {
            statistics.TravelLength += length;
            continue;
        }
        statistics.DrawnLength += length;
        pens.insert(stroke.Pen);
        // A drawn run that only changes speed goes on with the pen down.
        const bool goesOn = k + 1 < strokes.size() && strokes[k + 1].Kind == stroke.Kind &&
                            strokes[k + 1].Pen == stroke.Pen && strokes[k + 1].Start == from;
        if (!goesOn) ++statistics.PenLifts;
    }
    statistics.Pens.assign(pens.begin(), pens.end());
    return statistics;
}

std::string DescribeStatistics(const TPlotStatistics& statistics) {
    std::string pens;
    for (const int pen : statistics.Pens)
        pens += (pens.empty() ? "" : ", ") + std::to_string(pen);
    const char* dot = " \xC2\xB7 ";
    return "Zeichenweg " + Decimal(statistics.DrawnLength / kUnitsPerMetre, 2) + " m" + dot +
           "Leerweg " + Decimal(statistics.TravelLength / kUnitsPerMetre, 2) + " m" + dot +
           std::to_string(statistics.PenLifts) +
           (statistics.PenLifts == 1 ? " Stifthub" : " Stifthübe") + dot +
           (statistics.Pens.empty() ? std::string("kein Stift")
                                    : (statistics.Pens.size() == 1 ? "Stift " : "Stifte ") + pens) +
           dot + "Plotzeit etwa " + Duration(statistics.Seconds);
}

} // namespace plotalon
