#include "preview/PlotSvg.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <regex>
#include <sstream>

#include "ConvertedExample.h"
#include "preview/HpglReader.h"

namespace plotalon {
namespace {

// The SVG read back: every path element's class and its subpaths as points in plotter units,
// arcs sampled every half degree.
struct TSvgPath {
    std::string Class;
    std::vector<std::vector<TPlotPoint>> Subpaths;
    std::string Dash;
};

void SampleArc(std::vector<TPlotPoint>& out, TPlotPoint from, double rx, double ry, bool large,
               bool sweep, TPlotPoint to) {
    // The endpoint form of SVG arcs, for axis-aligned ellipses: stretch y into a circle.
    const double k = rx / ry;
    const double x1 = (from.X - to.X) / 2, y1 = (from.Y - to.Y) * k / 2;
    const double f = std::sqrt(std::max(0.0, rx * rx / (x1 * x1 + y1 * y1) - 1));
    const double sign = large == sweep ? -1 : 1;
    const double cx = sign * f * y1 + (from.X + to.X) / 2;
    const double cy = sign * f * -x1 + (from.Y + to.Y) * k / 2;
    const double a0 = std::atan2(from.Y * k - cy, from.X - cx);
    double delta = std::atan2(to.Y * k - cy, to.X - cx) - a0;
    if (sweep && delta < 0) delta += 2 * std::numbers::pi;
    if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
    const int samples = std::max(1, int(std::abs(delta) / (std::numbers::pi / 360)));
    for (int i = 1; i < samples; ++i) {
        const double a = a0 + delta * i / samples;
        out.push_back({cx + rx * std::cos(a), (cy + rx * std::sin(a)) / k});
    }
    out.push_back(to);
}

std::vector<TPlotPoint> ToPlotter(std::vector<TPlotPoint> points) {
    for (TPlotPoint& p : points)
        p.Y = -p.Y;
    return points;
}

// The value of attribute name inside an element's text, "" when it has none.
std::string Attribute(std::string_view element, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = element.find(key);
    if (at == std::string_view::npos) return "";
    const std::size_t start = at + key.size();
    return std::string(element.substr(start, element.find('"', start) - start));
}

std::vector<TSvgPath> ReadSvgPaths(const std::string& svg) {
    std::vector<TSvgPath> paths;
    for (std::size_t at = svg.find("<path "); at != std::string::npos;
         at = svg.find("<path ", at + 1)) {
        const std::string_view element(svg.data() + at, svg.find("/>", at) - at);
        TSvgPath path{Attribute(element, "class"), {}, Attribute(element, "stroke-dasharray")};
        std::istringstream in(Attribute(element, "d"));
        char command = 0;
        std::vector<TPlotPoint> points;
        auto flush = [&] {
            if (!points.empty()) path.Subpaths.push_back(ToPlotter(points));
            points.clear();
        };
        while (in >> std::ws && in.peek() != EOF) {
            if (std::isalpha(in.peek())) in >> command;
            if (command == 'A') {
                double rx, ry, rotation, x, y;
                int large, sweep;
                in >> rx >> ry >> rotation >> large >> sweep >> x >> y;
                SampleArc(points, points.back(), rx, ry, large, sweep, {x, y});
                continue;
            }
            TPlotPoint p;
            in >> p.X >> p.Y;
            if (command == 'M') flush();
            points.push_back(p);
        }
        flush();
        paths.push_back(path);
    }
    return paths;
}

std::string Svg(const TPlot& plot) {
    std::string svg;
    WritePlotSvg(plot, [&](std::string_view bytes) { svg += bytes; });
    return svg;
}

std::string SvgOf(std::string_view hpgl) {
    THpglReader reader;
    reader.ReadText(hpgl);
    return Svg(reader.Plot());
}

std::vector<std::vector<TPlotPoint>> PenLines(const std::vector<TSvgPath>& paths) {
    std::vector<std::vector<TPlotPoint>> lines;
    for (const TSvgPath& p : paths)
        if (p.Class.rfind("pen", 0) == 0)
            lines.insert(lines.end(), p.Subpaths.begin(), p.Subpaths.end());
    return lines;
}

double DistanceToSegment(TPlotPoint p, TPlotPoint a, TPlotPoint b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / l2, 0.0, 1.0) : 0;
    return std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy);
}

double DistanceToLines(TPlotPoint p, const std::vector<std::vector<TPlotPoint>>& lines) {
    double best = INFINITY;
    for (const auto& line : lines)
        for (std::size_t i = 1; i < line.size(); ++i)
            best = std::min(best, DistanceToSegment(p, line[i - 1], line[i]));
    return best;
}

// The farthest any point of `from` lies from the lines of `to`.
double Deviation(const std::vector<std::vector<TPlotPoint>>& from,
                 const std::vector<std::vector<TPlotPoint>>& to) {
    double worst = 0;
    for (const auto& line : from)
        for (TPlotPoint p : line)
            worst = std::max(worst, DistanceToLines(p, to));
    return worst;
}

// The complete example as the text of a PLT file.
std::string ConvertExample(std::uint8_t type, std::int32_t deg) {
    std::string text;
    for (const std::string& line : test::ConvertExample(type, deg).Lines)
        text += line + "\r\n";
    return text;
}

TEST(PlotSvg, BothDialectsOfAnArcDrawTheSameCurve) {
    for (const std::int32_t deg : {45, 1}) {
        SCOPED_TRACE("Deg " + std::to_string(deg));
        const std::string hpgl1 = ConvertExample(1, deg), hpgl2 = ConvertExample(2, deg);
        ASSERT_NE(hpgl2.find("AT"), std::string::npos) << hpgl2;
        const auto chords = PenLines(ReadSvgPaths(SvgOf(hpgl1)));
        const auto arc = PenLines(ReadSvgPaths(SvgOf(hpgl2)));
        ASSERT_EQ(chords.size(), 1u);
        ASSERT_EQ(arc.size(), 1u);
        EXPECT_EQ(chords[0].front(), arc[0].front());
        EXPECT_EQ(chords[0].back(), arc[0].back());
        // Every chord point of HPGL 1 lies on the arc of HPGL 2, up to the rounding of both
        // to whole units.
        EXPECT_LE(Deviation(chords, arc), 1.0);
        if (deg == 1) {
            // One-degree chords follow the arc everywhere.
            EXPECT_LE(Deviation(arc, chords), 1.0);
        } else {
            // 45-degree chords cut inside the arc: proof that the comparison sees the curve.
            EXPECT_GT(Deviation(arc, chords), 300.0);
        }
    }
}

TEST(PlotSvg, PlotterUnitsWithYUpAndTheSizeInMillimetres) {
    const std::string svg = SvgOf(ConvertExample(1, 45));
    const auto lines = PenLines(ReadSvgPaths(svg));
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<TPlotPoint> expected = {{0, 0},         {10000, 0},     {11464, -3536},
                                              {15000, -5000}, {18536, -3536}, {20000, 0}};
    EXPECT_EQ(lines[0], expected);
    // The extent of the drawing is framed, in the document's y-down coordinates.
    EXPECT_NE(svg.find(R"(<rect class="extent" x="0" y="0" width="20000" height="5000")"),
              std::string::npos);
    EXPECT_NE(svg.find(">500,0 \xC3\x97 125,0 mm</text>"), std::string::npos);
    // The document's own size is that of the picture at 40 units to the millimetre.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        svg, m,
        std::regex(
            R"re(width="([0-9.]+)mm" height="([0-9.]+)mm" viewBox="[-0-9.]+ [-0-9.]+ ([0-9.]+) ([0-9.]+)")re")));
    EXPECT_NEAR(std::stod(m[1]) * 40, std::stod(m[3]), 0.02);
    EXPECT_NEAR(std::stod(m[2]) * 40, std::stod(m[4]), 0.02);
}

TEST(PlotSvg, TravelIsDashedAndDrawingSolid) {
    const auto paths = ReadSvgPaths(SvgOf("SP2;PU100,0;PD200,0;PU0,100;PD100,100"));
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0].Class, "travel");
    EXPECT_FALSE(paths[0].Dash.empty());
    EXPECT_EQ(paths[0].Subpaths.size(), 2u);
    EXPECT_EQ(paths[1].Class, "pen2");
    EXPECT_TRUE(paths[1].Dash.empty());
    const std::vector<std::vector<TPlotPoint>> drawn = {{{100, 0}, {200, 0}},
                                                        {{0, 100}, {100, 100}}};
    EXPECT_EQ(paths[1].Subpaths, drawn);
}

TEST(PlotSvg, CirclesAndEllipsesSurviveTheWayBack) {
    struct Case {
        const char* hpgl;
        TPlotPoint centre;
        double rx, ry;
    };
    for (const Case& c : {Case{"PD;AT1000,0,0,0", {500, 0}, 500, 500},
                          Case{"IP0,0,2000,1000;SC0,10,0,10;PU0,5;PD;AT5,10,10,5;AT5,0,0,5",
                               {1000, 500},
                               1000,
                               500}}) {
        SCOPED_TRACE(c.hpgl);
        const auto lines = PenLines(ReadSvgPaths(SvgOf(c.hpgl)));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_GT(lines[0].size(), 700u);
        double worst = 0;
        for (TPlotPoint p : lines[0]) {
            const double u = (p.X - c.centre.X) / c.rx, v = (p.Y - c.centre.Y) / c.ry;
            worst = std::max(worst, std::abs(std::hypot(u, v) - 1));
        }
        EXPECT_LT(worst, 1e-4);
    }
}

TEST(PlotSvg, MillionsOfMovesShareAFewElements) {
    std::string hpgl;
    constexpr int kStrokes = 100000;
    for (int i = 0; i < kStrokes; ++i)
        hpgl += "PU" + std::to_string(i * 10) + ",0;PD" + std::to_string(i * 10) + ",5;\n";
    const auto paths = ReadSvgPaths(SvgOf(hpgl));
    std::size_t drawn = 0;
    for (const TSvgPath& p : paths)
        if (p.Class == "pen1") drawn += p.Subpaths.size();
    EXPECT_EQ(drawn, std::size_t(kStrokes));
    EXPECT_LE(paths.size(), 12u);
}

// The size label lies inside the picture, measured with the advance widths of Liberation Sans
// (the first font the document asks for), in em.
TEST(PlotSvg, TheSizeLabelFitsBesideANarrowDrawing) {
    auto advance = [](const std::string& label) {
        double em = 0;
        for (std::size_t i = 0; i < label.size(); ++i) {
            const char c = label[i];
            if (c == '\xC3') {
                em += 0.584; // the multiplication sign
                ++i;
            } else {
                em += c >= '0' && c <= '9' ? 0.556 : c == 'm' ? 0.833 : 0.278; // ',' and ' '
            }
        }
        return em;
    };
    for (const char* hpgl : {"PD200,10000", "PD1,0,1,1,0,1,0,0", "PD10000,200"}) {
        SCOPED_TRACE(hpgl);
        const std::string svg = SvgOf(hpgl);
        std::smatch box, text;
        ASSERT_TRUE(std::regex_search(
            svg, box, std::regex(R"re(viewBox="([-0-9.e]+) [-0-9.e]+ ([0-9.e]+) )re")));
        ASSERT_TRUE(std::regex_search(
            svg, text,
            std::regex(
                R"re(<text class="size" x="([-0-9.e]+)" y="[-0-9.e]+" [^>]*font-size="([0-9.e]+)"[^>]*>([^<]*)<)re")));
        const double right = std::stod(box[1]) + std::stod(box[2]);
        const double labelEnd = std::stod(text[1]) + advance(text[3]) * std::stod(text[2]);
        EXPECT_LT(labelEnd, right) << text[3];
        EXPECT_GT(std::stod(text[1]), std::stod(box[1]));
    }
}

TEST(PlotSvg, EmptyAndEnormousPlotsAreValidDocuments) {
    for (const char* hpgl : {"", "IN;SP1;", "PD1000000000000000,-1000000000000000;PA-5,5"}) {
        SCOPED_TRACE(hpgl);
        const std::string svg = SvgOf(hpgl);
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_NE(svg.find("</svg>\n"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
        EXPECT_EQ(svg.find("nan"), std::string::npos);
    }
    EXPECT_NE(SvgOf("").find(">0,0 \xC3\x97 0,0 mm<"), std::string::npos);
}

} // namespace
} // namespace plotalon
