#include "preview/PlotModel.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

#include "platform/Errors.h"

namespace plotalon {
namespace {

// The line of every step, as "line:step count" runs.
std::string LinesOfSteps(const TPlot& plot) {
    std::string text;
    for (std::size_t s = 0; s < plot.StepCount(); ++s)
        text += (text.empty() ? "" : " ") + std::to_string(plot.LineOf(s));
    return text;
}

TEST(PlotLines, EveryStepKnowsItsLine) {
    struct Case {
        const char* text;
        const char* lines;
    };
    for (const Case& c : {
             // One command a line, as the converter writes; PD; and SP draw nothing.
             Case{"IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10,0;\r\nPA10,10;\r\nSP0;\r\n", "3 4"},
             // Several steps from one line, lines of several commands, empty lines.
             Case{"PD1,1,2,2;PA3,3\n\nPU0,0\nPD;AT1,1,2,0", "0 0 0 2 3"},
             // A lone CR ends a line as LF and CR LF do; CR LF is one line end, not two.
             Case{"PD1,1\rPD2,2\r\nPD3,3\n\rPD4,4", "0 1 2 4"},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LinesOfSteps(PlotModelOfText(c.text)->Plot), c.lines);
    }
}

TEST(PlotLines, StepsOfLinesAndStrokeOfStep) {
    const auto model = PlotModelOfText("PD1,0;\nPD2,0,3,0;\n\nPU4,0;\nSP2;PD5,0;\n");
    const TPlot& plot = model->Plot;
    ASSERT_EQ(plot.StepCount(), 5u);
    struct Case {
        std::uint64_t first, last;
        TStepRange steps;
    };
    for (const Case& c : {Case{0, 0, {0, 1}}, Case{1, 1, {1, 3}}, Case{2, 2, {3, 3}},
                          Case{1, 3, {1, 4}}, Case{4, 4, {4, 5}}, Case{5, 99, {5, 5}},
                          Case{0, UINT64_MAX, {0, 5}}, Case{3, 1, {0, 0}}}) {
        SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
        EXPECT_EQ(plot.StepsOfLines(c.first, c.last), c.steps);
    }
    // Strokes: pen 1 from 0,0 over three steps, travel, pen 2.
    ASSERT_EQ(plot.Strokes().size(), 3u);
    for (const auto& [step, stroke] : {std::pair{0u, 0u}, {2u, 0u}, {3u, 1u}, {4u, 2u}})
        EXPECT_EQ(plot.StrokeOf(step), stroke);
    EXPECT_EQ(plot.StepStart(3), (TPlotPoint{3, 0}));
    EXPECT_EQ(plot.StepStart(1), (TPlotPoint{1, 0}));
}

// Line indices beyond 32 bits: the steps keep their low part, the plot the rest.
TEST(PlotLines, IndicesBeyondFourBillionLines) {
    TPlot plot;
    const TPenState pen{TStrokeKind::skDrawn, 1, 0};
    const std::uint64_t lines[] = {7, 0xFFFFFFFFull, 0x100000000ull, 0x100000001ull,
                                   0x300000005ull};
    TPlotPoint at;
    for (const std::uint64_t line : lines) {
        const TPlotPoint to{at.X + 1, 0};
        plot.LineTo(pen, at, to, line);
        at = to;
    }
    for (std::size_t s = 0; s < std::size(lines); ++s)
        EXPECT_EQ(plot.LineOf(s), lines[s]);
    EXPECT_EQ(plot.StepsOfLines(0x100000000ull, 0x200000000ull), (TStepRange{2, 4}));
}

// Two squares of 10 mm side drawn with pen 1 at the default speed, the travel between them
// and home again; then pen 3 at 10 cm/s along a half circle of radius 10 mm.
constexpr const char* kKnownPlot = "IN;SP1;PU0,0;PD400,0,400,400,0,400,0,0;PU1000,0;"
                                   "PD1400,0,1400,400,1000,400,1000,0;PU0,0;"
                                   "SP3;VS10;PU2000,0;PD;AT2400,400,2800,0;PU;SP0;";

TEST(PlotStatistics, LengthsLiftsPensAndTimeOfAKnownPlot) {
    const auto model = PlotModelOfText(kKnownPlot);
    const TPlotStatistics& s = model->Statistics;
    const double halfCircle = 400 * std::numbers::pi;
    EXPECT_NEAR(s.DrawnLength, 2 * 1600 + halfCircle, 1e-6);
    EXPECT_NEAR(s.TravelLength, 1000 + 1000 + 2000, 1e-6);
    EXPECT_EQ(s.PenLifts, 3u);
    EXPECT_EQ(s.Pens, (std::vector<int>{1, 3}));
    // 400 units are a centimetre.
    const double seconds = (3200 + 2000) / 400.0 / 38 + 2000 / 400.0 / 10 + halfCircle / 400 / 10;
    EXPECT_NEAR(s.Seconds, seconds, 1e-9);
    EXPECT_EQ(DescribeStatistics(s), "Zeichenweg 0,11 m · Leerweg 0,10 m · 3 Stifthübe · "
                                     "Stifte 1, 3 · Plotzeit etwa 0:00:02");
}

TEST(PlotStatistics, SpeedsPerPenAndWhatEndsARun) {
    struct Case {
        const char* hpgl;
        double seconds; // at 400 units a centimetre
        std::uint64_t lifts;
    };
    for (const Case& c : {
             // VS with a pen number sets that pen only; IN restores the plotter's own speed.
             Case{"VS20,2;SP1;PD3800,0;SP2;PA3800,4000;IN;SP2;PD0,3800", 0.25 + 0.5 + 0.25, 3},
             // A speed change while drawing does not lift the pen; VS without number is all
             // pens, VS alone the plotter's own again.
             Case{"VS19;PD7600,0;VS38;PA7600,15200;VS;PA0,15200", 1 + 1 + 0.5, 1},
             // Malformed speeds change nothing.
             Case{"VS-1;VS1,2,3;PD15200,0", 1, 1},
             // A pen change while drawing is a lift; a dot is a run of its own.
             Case{"PD3800,0;SP2;PA7600,0;PU;PD;PA7600,0.001", 0.5 + 1e-3 / 400 / 38, 2},
         }) {
        SCOPED_TRACE(c.hpgl);
        const auto model = PlotModelOfText(c.hpgl);
        EXPECT_NEAR(model->Statistics.Seconds, c.seconds, 1e-9);
        EXPECT_EQ(model->Statistics.PenLifts, c.lifts);
    }
    const auto model = PlotModelOfText("VS-1;VS1,2,3");
    EXPECT_EQ(DescribeIgnored(model->Ignored), "VS fehlerhaft 2");
    EXPECT_EQ(DescribeStatistics(model->Statistics),
              "Zeichenweg 0,00 m · Leerweg 0,00 m · 0 Stifthübe · kein Stift · "
              "Plotzeit etwa 0:00:00");
}

TEST(PlotModel, ReadsOnAWorkerAndStopsWhenAsked) {
    TLineVector lines;
    for (int i = 0; i < 100000; ++i)
        lines.Lines.push_back("PA" + std::to_string(i) + ",0;");
    lines.Lines[0] = "PD;";
    std::unique_ptr<TPlotModel> model;
    std::thread([&] { model = ReadPlotModel(lines); }).join();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->LineCount, 100000u);
    EXPECT_EQ(model->Plot.StepCount(), 99999u); // "PD;" does not move
    EXPECT_EQ(model->Plot.LineOf(0), 1u);

    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(ReadPlotModel(lines, stop.get_token()), nullptr);
}

// The file is read in pieces of a megabyte: lines and CR LF pairs across their seams.
TEST(PlotModel, ReadsAFileInPieces) {
    const test::TTempDir temp;
    const std::string dir = temp.Folder();
    const std::string path = temp.Path("big.plt");
    std::string text = "PD;";
    while (text.size() < (3u << 20))
        text += "PA" + std::to_string(text.size() % 977) + "," + std::to_string(text.size()) +
                (text.size() % 3 == 0 ? ";\r" : ";\r\n");
    text += "PA5,5";
    std::ofstream(path, std::ios::binary) << text;
    const auto fromFile = ReadPlotModelFile(path);
    const auto fromText = PlotModelOfText(text);
    EXPECT_EQ(fromFile->LineCount, fromText->LineCount);
    ASSERT_EQ(fromFile->Plot.StepCount(), fromText->Plot.StepCount());
    for (std::size_t s = 0; s < fromText->Plot.StepCount(); ++s) {
        ASSERT_EQ(fromFile->Plot.Steps()[s].To, fromText->Plot.Steps()[s].To) << s;
        ASSERT_EQ(fromFile->Plot.LineOf(s), fromText->Plot.LineOf(s)) << s;
    }
    EXPECT_THROW(ReadPlotModelFile(temp.Path("missing.plt")), EFOpenError);
    EXPECT_THROW(ReadPlotModelFile(dir), EFOpenError);
}

} // namespace
} // namespace plotalon
