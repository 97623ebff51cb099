#include "preview/PlotTrace.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

#include "preview/PlotModel.h"
#include "preview/PlotPicture.h"

namespace plotalon {
namespace {

struct Recorded {
    int Layer;
    std::vector<TDevicePoint> Points; // one point: a dot
};

struct Recorder : ITraceSink {
    std::vector<Recorded> Lines;
    std::size_t PointCount = 0;
    void Polyline(int layer, std::span<const TDevicePoint> points) override {
        EXPECT_GE(points.size(), 2u);
        Lines.push_back({layer, {points.begin(), points.end()}});
        PointCount += points.size();
    }
    void Dots(int layer, std::span<const TDevicePoint> points) override {
        for (const TDevicePoint p : points)
            Lines.push_back({layer, {p}});
        PointCount += points.size();
    }
};

Recorder Trace(const TPlotModel& model, const TViewTransform& view, const TDeviceRect& clip) {
    Recorder recorder;
    TracePlot(model.Plot, model.Index, view, clip, recorder);
    return recorder;
}

// The true geometry of every step in device pixels, by layer: arcs in even pieces, far finer
// than the tracer's own division.
std::vector<std::vector<std::vector<TDevicePoint>>> TruePaths(const TPlot& plot,
                                                              const TViewTransform& view) {
    std::vector<std::vector<std::vector<TDevicePoint>>> paths(kLayers);
    for (const TPlotStroke& stroke : plot.Strokes()) {
        std::vector<TDevicePoint> path{view.ToDevice(stroke.Start)};
        for (const TPlotStep& step : plot.StepsOf(stroke)) {
            if (step.IsArc()) {
                const TPlotArc& arc = plot.Arcs()[std::size_t(step.Arc)];
                const double radius = std::max(std::abs(arc.RadiusX), std::abs(arc.RadiusY));
                // Chords that stray at most a twentieth of a pixel.
                const int n = 8 + int(std::abs(arc.Sweep) * std::sqrt(radius * view.Scale * 2.5));
                for (int i = 1; i < n; ++i)
                    path.push_back(view.ToDevice(arc.At(arc.StartAngle + arc.Sweep * i / n)));
            }
            path.push_back(view.ToDevice(step.To));
        }
        paths[std::size_t(LayerOf(stroke))].push_back(std::move(path));
    }
    return paths;
}

bool In(const TDeviceRect& r, TDevicePoint p) {
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

// A coarse grid of the pixels near the recorded lines of one layer.
struct InkGrid {
    TDeviceRect Area;
    int W, H;
    std::vector<char> Cells;
    InkGrid(const TDeviceRect& area)
        : Area(area), W(int(area.Width()) + 8), H(int(area.Height()) + 8), Cells(W * H, 0) {}
    void Mark(TDevicePoint p, int reach) {
        const int cx = int(std::floor(p.X - Area.Left)) + 4,
                  cy = int(std::floor(p.Y - Area.Top)) + 4;
        for (int y = cy - reach; y <= cy + reach; ++y)
            for (int x = cx - reach; x <= cx + reach; ++x)
                if (x >= 0 && y >= 0 && x < W && y < H) Cells[y * W + x] = 1;
    }
    bool Inked(TDevicePoint p) const {
        const int x = int(std::floor(p.X - Area.Left)) + 4, y = int(std::floor(p.Y - Area.Top)) + 4;
        return x >= 0 && y >= 0 && x < W && y < H && Cells[y * W + x];
    }
};

// Calls visit for points of a..b every 1/density pixels, as far as they lie in r.
template <class Visit>
void Sample(TDevicePoint a, TDevicePoint b, const TDeviceRect& r, double density, Visit visit) {
    // The parameter range inside r, axis by axis.
    double t0 = 0, t1 = 1;
    const double d[2] = {b.X - a.X, b.Y - a.Y}, lo[2] = {r.Left - a.X, r.Top - a.Y},
                 hi[2] = {r.Right - a.X, r.Bottom - a.Y};
    for (int i = 0; i < 2; ++i) {
        if (d[i] == 0) {
            if (lo[i] > 0 || hi[i] < 0) return;
            continue;
        }
        const double u = lo[i] / d[i], v = hi[i] / d[i];
        t0 = std::max(t0, std::min(u, v));
        t1 = std::min(t1, std::max(u, v));
    }
    if (t0 > t1) return;
    const double length = std::hypot(d[0], d[1]) * (t1 - t0);
    const int n = 1 + int(length * density);
    for (int k = 0; k <= n; ++k) {
        const double t = t0 + (t1 - t0) * k / n;
        visit(TDevicePoint{a.X + d[0] * t, a.Y + d[1] * t});
    }
}

// Marks the pixels within reach of a polyline, sampled every quarter pixel.
void MarkPath(InkGrid& grid, const std::vector<TDevicePoint>& path, int reach) {
    const TDeviceRect near{grid.Area.Left - 6, grid.Area.Top - 6, grid.Area.Right + 6,
                           grid.Area.Bottom + 6};
    for (std::size_t i = 0; i < path.size(); ++i)
        Sample(path[i], path[std::min(i + 1, path.size() - 1)], near, 4,
               [&](TDevicePoint p) { grid.Mark(p, reach); });
}

// Every recorded point lies on the true geometry of its layer, inside the clip; and every
// true point inside the clip lies near a recorded line of its layer (both within two pixels,
// as a grid of pixels sees it).
void ExpectFaithful(const TPlotModel& model, const TViewTransform& view, const TDeviceRect& clip) {
    const Recorder out = Trace(model, view, clip);
    const auto truth = TruePaths(model.Plot, view);
    const TDeviceRect reach{clip.Left - 2.01, clip.Top - 2.01, clip.Right + 2.01,
                            clip.Bottom + 2.01};
    int strays = 0, outside = 0, missing = 0;
    std::vector<InkGrid> ink(kLayers, InkGrid(clip)), real(kLayers, InkGrid(clip));
    for (int layer = 0; layer < kLayers; ++layer)
        for (const auto& path : truth[std::size_t(layer)])
            MarkPath(real[std::size_t(layer)], path, 1);
    for (const Recorded& line : out.Lines) {
        for (const TDevicePoint p : line.Points) {
            outside += !In(reach, p);
            strays += !real[std::size_t(line.Layer)].Inked(p);
        }
        MarkPath(ink[std::size_t(line.Layer)], line.Points, 2);
    }
    for (int layer = 0; layer < kLayers; ++layer)
        for (const auto& path : truth[std::size_t(layer)])
            for (std::size_t i = 0; i + 1 < path.size(); ++i)
                Sample(path[i], path[i + 1], clip, 2,
                       [&](TDevicePoint p) { missing += !ink[std::size_t(layer)].Inked(p); });
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(strays, 0);
    EXPECT_EQ(missing, 0);
}

// A random tool path: lines and arcs of every size, four pens, travel between.
std::string RandomHpgl(unsigned seed) {
    std::mt19937 random(seed);
    std::string hpgl = "IN;";
    int x = 0, y = 0;
    for (int i = 0; i < 1500; ++i) {
        const int kind = int(random() % 10);
        if (kind == 0) hpgl += "SP" + std::to_string(1 + random() % 4) + ";";
        const int size = kind < 3 ? 3 : kind < 6 ? 60 : 2000;
        x = std::clamp(x + int(random() % (2 * size + 1)) - size, -20000, 20000);
        y = std::clamp(y + int(random() % (2 * size + 1)) - size, -20000, 20000);
        const std::string to = std::to_string(x) + "," + std::to_string(y);
        if (kind == 1)
            hpgl += "PU" + to + ";PD;";
        else if (kind == 7 || kind == 8)
            hpgl += "AT" + std::to_string(x + int(random() % 801) - 400) + "," +
                    std::to_string(y + int(random() % 801) - 400) + "," + to + ";";
        else
            hpgl += "PA" + to + ";";
    }
    return hpgl;
}

TEST(PlotTrace, FaithfulAtEveryMagnification) {
    const auto model = PlotModelOfText(RandomHpgl(11));
    ASSERT_GT(model->Plot.Arcs().size(), 100u);
    const TDeviceRect clip{0, 0, 640, 480};
    const TViewTransform fit = FitTransform(model->Plot.AllBounds(), clip);
    for (const double zoom : {0.01, 1.0, 30.0, 2000.0}) {
        SCOPED_TRACE(zoom);
        // Magnified about the middle of the drawing.
        TViewTransform view = fit;
        view.Scale *= zoom;
        view.OffsetX = 320 - (320 - fit.OffsetX) * zoom;
        view.OffsetY = 240 - (240 - fit.OffsetY) * zoom;
        ExpectFaithful(*model, view, clip);
    }
}

// What is handed on depends on what the view shows, not on how many steps or how
// magnified: shapes drawn over and over on the spot, tiny steps, repeated circles.
TEST(PlotTrace, WorkGrowsWithWhatIsShownNotWithTheSteps) {
    struct Case {
        const char* name;
        std::string hpgl;
        std::size_t maxPoints;
    };
    std::string squares = "PD;", tiny = "PD;", circles = "PU4000,0;PD;", walk = "PD;";
    for (int i = 0; i < 20000; ++i)
        squares += "PA1,0;PA1,1;PA0,1;PA0,0;";
    for (int i = 0; i < 50000; ++i)
        tiny += i % 2 ? "PR1,1;" : "PR-1,-1;";
    for (int i = 0; i < 2000; ++i)
        circles += "AT-4000,0,4000,0;";
    std::mt19937 random(5);
    for (int i = 0; i < 50000; ++i)
        walk += "PA" + std::to_string(random() % 8) + "," + std::to_string(random() % 8) + ";";
    for (const Case& c :
         {Case{"one-unit squares magnified", squares, 40},
          Case{"tiny steps back and forth", tiny, 40}, Case{"picture-sized circles", circles, 400},
          Case{"a walk on an 8 x 8 grid, magnified", walk, 2 * 8 * 8 * 8 * 4}}) {
        SCOPED_TRACE(c.name);
        const auto model = PlotModelOfText(c.hpgl);
        const TDeviceRect clip{0, 0, 1000, 1000};
        const Recorder out = Trace(*model, FitTransform(model->Plot.AllBounds(), clip), clip);
        EXPECT_LE(out.PointCount, c.maxPoints);
        EXPECT_GT(out.PointCount, 0u);
    }
}

// A drawing far smaller than a pixel is a dot; a view far beside the drawing gets nothing.
TEST(PlotTrace, SubPixelDrawingsAndViewsBesideThem) {
    std::string hpgl = "PD;";
    for (int i = 0; i < 30000; ++i)
        hpgl += "PA" + std::to_string(i % 100) + "," + std::to_string(i % 37) + ";";
    const auto model = PlotModelOfText(hpgl);
    const TDeviceRect clip{0, 0, 800, 600};
    TViewTransform small{0.001, 400, 300};
    const Recorder dot = Trace(*model, small, clip);
    EXPECT_LE(dot.PointCount, 4u);
    EXPECT_GE(dot.PointCount, 1u);
    const TViewTransform beside{1, 5000, 300};
    EXPECT_EQ(Trace(*model, beside, clip).PointCount, 0u);
}

// Whatever the coordinates and the magnification, nothing handed on lies far outside the
// view or is not a number.
TEST(PlotTrace, EnormousCoordinatesStayNearTheView) {
    const auto model =
        PlotModelOfText("PD1000000000000000,-1000000000000000;PA-1000000000000000,3;"
                        "AT0,1000000000000000,1000000000000000,0;PU0,0;PD1,1;AT2,0,1,-1");
    const TDeviceRect clip{0, 0, 500, 400};
    for (const double scale : {kMinScale, 1e-15, 1e-3, 1.0, kMaxScale}) {
        SCOPED_TRACE(scale);
        const Recorder out = Trace(*model, {scale, 250, 200}, clip);
        for (const Recorded& line : out.Lines)
            for (const TDevicePoint p : line.Points) {
                ASSERT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
                EXPECT_TRUE(p.X >= -2.01 && p.X <= 502.01 && p.Y >= -2.01 && p.Y <= 402.01);
            }
    }
}

// Whatever the bytes, tracing and hit testing end, at any magnification, with finite points
// near the view.
TEST(PlotTrace, ArbitraryBytesTraceCleanly) {
    std::mt19937 random(20261211);
    const std::string alphabet = "PUDARTSCIPNFVLB0123456789.,;-+ \r\n";
    for (int round = 0; round < 4; ++round) {
        std::string text(1 << 16, '\0');
        for (char& c : text)
            c = alphabet[std::size_t(random()) % alphabet.size()];
        const auto model = PlotModelOfText(text);
        const TDeviceRect clip{0, 0, 300, 200};
        const TViewTransform fit = FitTransform(model->Plot.AllBounds(), clip);
        for (const double zoom : {1.0, 1e3, 1e9}) {
            const TViewTransform view{std::min(fit.Scale * zoom, kMaxScale), fit.OffsetX,
                                      fit.OffsetY};
            const Recorder out = Trace(*model, view, clip);
            for (const Recorded& line : out.Lines)
                for (const TDevicePoint p : line.Points)
                    ASSERT_TRUE(p.X >= -2.01 && p.X <= 302.01 && p.Y >= -2.01 && p.Y <= 202.01)
                        << p.X << "," << p.Y << " at " << zoom;
            for (const TDevicePoint at : {TDevicePoint{150, 100}, TDevicePoint{0, 0}}) {
                const auto step = StepNear(model->Plot, model->Index, view, at, 5);
                EXPECT_LT(step.value_or(0), std::max<std::size_t>(1, model->Plot.StepCount()));
            }
        }
    }
}

TEST(PlotTrace, FitShowsTheContentCentred) {
    struct Case {
        TPlotBounds content;
        TViewTransform expected;
    };
    const TDeviceRect area{10, 20, 410, 220};
    for (const Case& c : {Case{{0, 0, 100, 100}, {2, 110, 220}},
                          Case{{-100, 0, 100, 0}, {2, 210, 120}}, // no height
                          Case{{5, 5, 5, 5}, {1, 205, 125}},      // a point
                          Case{{}, {1, 210, 120}}}) {             // nothing
        const TViewTransform view = FitTransform(c.content, area);
        EXPECT_DOUBLE_EQ(view.Scale, c.expected.Scale);
        EXPECT_DOUBLE_EQ(view.OffsetX, c.expected.OffsetX);
        EXPECT_DOUBLE_EQ(view.OffsetY, c.expected.OffsetY);
    }
}

TEST(PlotTrace, TheStepsOfARangeOnly) {
    const auto model = PlotModelOfText("PD100,0;\nPA100,100;\nPU0,100;\nPD;AT-50,50,0,0;\n");
    Recorder out;
    TraceSteps(model->Plot, model->Plot.StepsOfLines(1, 2), {1, 0, 200}, {-100, 0, 300, 300}, out);
    ASSERT_EQ(out.Lines.size(), 2u);
    EXPECT_EQ(out.Lines[0].Layer, 1);
    EXPECT_EQ(out.Lines[0].Points, (std::vector<TDevicePoint>{{100, 200}, {100, 100}}));
    EXPECT_EQ(out.Lines[1].Layer, kTravelLayer);
    EXPECT_EQ(out.Lines[1].Points, (std::vector<TDevicePoint>{{100, 100}, {0, 100}}));
    Recorder arc;
    TraceSteps(model->Plot, model->Plot.StepsOfLines(3, 3), {1, 0, 200}, {-100, 0, 300, 300}, arc);
    ASSERT_EQ(arc.Lines.size(), 1u);
    EXPECT_GT(arc.Lines[0].Points.size(), 10u);
    EXPECT_EQ(arc.Lines[0].Points.front(), (TDevicePoint{0, 100}));
    EXPECT_EQ(arc.Lines[0].Points.back(), (TDevicePoint{0, 200}));
}

TEST(PlotTrace, StepNearAClick) {
    // Pen 1 along the x axis and up, travel back, pen 2 on a half circle left of the y axis.
    const auto model = PlotModelOfText("PD1000,0;PA1000,1000;PU0,1000;SP2;PD;AT-500,500,0,0");
    const TViewTransform view{0.1, 100, 200}; // (0,0) at pixel (100, 200)
    struct Case {
        TDevicePoint at;
        std::optional<std::size_t> step;
    };
    for (const Case& c : {Case{{150, 198}, 0},            // on the first line
                          Case{{200, 150}, 1},            // on the second
                          Case{{150, 102}, 2},            // on the travel
                          Case{{203, 101}, 1},            // the corner: drawn beats travel
                          Case{{50, 150}, 3},             // on the arc's far side
                          Case{{150, 150}, std::nullopt}, // nowhere near
                          Case{{150, 205}, std::nullopt}}) {
        SCOPED_TRACE(std::to_string(c.at.X) + "," + std::to_string(c.at.Y));
        EXPECT_EQ(StepNear(model->Plot, model->Index, view, c.at, 4), c.step);
    }
}

} // namespace
} // namespace plotalon
