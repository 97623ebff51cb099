#include "preview/HpglReader.h"

#include <gtest/gtest.h>
#include <random>

#include "PlotDescription.h"

namespace plotalon {
namespace {

using test::Describe;

struct ReadCase {
    const char* name;
    const char* hpgl;
    const char* plot;
    const char* ignored = "";
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadsCommands : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadsCommands, IntoStrokes) {
    THpglReader reader;
    reader.ReadText(GetParam().hpgl);
    EXPECT_EQ(Describe(reader.Plot()), GetParam().plot);
    EXPECT_EQ(DescribeIgnored(reader.Ignored()), GetParam().ignored);
}

INSTANTIATE_TEST_SUITE_P(
    Evaluated, ReadsCommands,
    ::testing::Values(
        ReadCase{"one command a line",
                 "IN;SP1;\r\nPU0,0;\r\nPD;\r\nPA10,0;\r\nPA10,10;\r\nPU;\r\nPA0,0;",
                 "pen1 0,0 10,0 10,10 | up 10,10 0,0"},
        ReadCase{"several a line, no terminators, either case, blanks",
                 "pu0 0pd10 0 10 10\tPa 20,+10", "pen1 0,0 10,0 10,10 20,10"},
        ReadCase{"relative moves until PA", "PU10,10;PR;PD5,0,0,5;PR-1-1;PA0,0;",
                 "up 0,0 10,10 | pen1 10,10 15,10 15,15 14,14 0,0"},
        ReadCase{"decimals", "PD.5,1.;PA-0.25,2", "pen1 0,0 0.5,1 -0.25,2"},
        ReadCase{"pens: a new stroke each, pen 0 draws nothing",
                 "PD10,0;SP2;PA20,0;SP0;PA30,0;SP;PA40,0",
                 "pen1 0,0 10,0 | pen2 10,0 20,0 | up 20,0 30,0 40,0"},
        ReadCase{"IN lifts the pen, returns home and ends relative mode and scaling",
                 "PD5,5;PR;SC0,1,0,1;IN;PA1,1;PD2,2", "pen1 0,0 5,5 | up 0,0 1,1 | pen1 1,1 2,2"},
        ReadCase{"DF ends relative mode and scaling but keeps the pen",
                 "PD;SC0,1,0,1;PR;DF;PA10,10", "pen1 0,0 10,10"},
        ReadCase{"SC fills P1..P2 with the user range, also for relative moves",
                 "IP0,0,1000,2000;SC0,10,0,10;PD5,5;PR1,1", "pen1 0,0 500,1000 600,1200"},
        ReadCase{"SC isotropic centres the spare room", "IP0,0,1000,500;SC0,10,0,10,1;PD10,10",
                 "pen1 0,0 750,500"},
        ReadCase{"SC isotropic with its own split", "IP0,0,1000,500;SC0,10,0,10,1,0,0;PD10,10",
                 "pen1 0,0 500,500"},
        ReadCase{"SC with factors", "SC100,4,0,-2,2;PD101,1", "pen1 0,0 4,-2"},
        ReadCase{"the default P1 and P2: an A4 sheet", "SC0,1,0,1;PD1,1", "pen1 0,0 11880,8400"},
        ReadCase{"IP while scaling moves the user range", "SC0,1,0,1;IP100,100;PD1,1",
                 "pen1 0,0 11980,8500"},
        ReadCase{"SC without parameters ends scaling", "SC0,1,0,1;SC;PD1,1", "pen1 0,0 1,1"},
        ReadCase{"labels run to ETX or the line end, strings are skipped",
                 "LBPD;PA9,9\x03PD5,5;LBrest PD7,7\nCO\"PA1,1\";PA6,6", "pen1 0,0 5,5 6,6",
                 "CO 1, LB 2"},
        ReadCase{"DT sets the label terminator", "DT*;LBab;PD9,9*PD5,5;DT;LBx*y\x03PA6,6",
                 "pen1 0,0 5,5 6,6", "LB 2"},
        ReadCase{"VS changes nothing", "VS10;PD1,1;VS", "pen1 0,0 1,1"},
        ReadCase{"zero-length moves leave no step", "PU0,0;PD;PA0,0;PA3,0;PA3,0", "pen1 0,0 3,0"},
        ReadCase{"arc over the top, clockwise", "PD;PA10,0;AT15,5,20,0",
                 "pen1 0,0 10,0 arc(15,0 5,5 -180°)>20,0"},
        ReadCase{"arc below, counter-clockwise", "PD10,0;AT15,-5,20,0",
                 "pen1 0,0 10,0 arc(15,0 5,5 180°)>20,0"},
        ReadCase{"arc with pen up is travel", "AT5,5,10,0", "up 0,0 arc(5,0 5,5 -180°)>10,0"},
        ReadCase{"the intermediate point decides the way round", "PD10,0;AT0,-10,0,10",
                 "pen1 0,0 10,0 arc(0,0 10,10 -270°)>0,10"},
        ReadCase{"collinear: a straight line", "PD;AT5,0,10,0;AT20,0,30,0", "pen1 0,0 10,0 30,0"},
        ReadCase{"intermediate beyond the end, collinear: a line to the end", "PD;AT20,0,10,0",
                 "pen1 0,0 10,0"},
        ReadCase{"intermediate on an end: a line", "PD;AT0,0,10,0;AT10,5,10,5",
                 "pen1 0,0 10,0 10,5"},
        ReadCase{"end on the start: the circle with the diameter to the intermediate point",
                 "PD;AT10,0,0,0", "pen1 0,0 arc(5,0 5,5 360°)>0,0"},
        ReadCase{"all three on one point: nothing", "PD;AT0,0,0,0", ""},
        ReadCase{"a chord angle as fifth parameter", "PD;AT5,5,10,0,5",
                 "pen1 0,0 arc(5,0 5,5 -180°)>10,0"},
        ReadCase{"arcs under stretched scaling are ellipses",
                 "IP0,0,2000,1000;SC0,10,0,10;PA0,5;PD;AT5,10,10,5",
                 "up 0,0 0,500 | pen1 0,500 arc(1000,500 1000,500 -180°)>2000,500"},
        ReadCase{"arcs under a falling axis turn the other way", "SC0,1,0,-1,2;PD;AT5,5,10,0",
                 "pen1 0,0 arc(5,0 5,-5 -180°)>10,0"},
        ReadCase{"a nearly straight arc is its chord", "PD;AT500000000,0.0008,1000000000,0",
                 "pen1 0,0 1000000000,0"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HpglReader, CompleteConverterOutput) {
    THpglReader reader;
    for (const char* line : {"IN;SP1;", "PU0,0;", "PD;", "PA10000,0;", "PA11464,-3536;",
                             "PA15000,-5000;", "PA18536,-3536;", "PA20000,0;", "SP0;"})
        reader.ReadLine(line);
    EXPECT_EQ(Describe(reader.Plot()),
              "pen1 0,0 10000,0 11464,-3536 15000,-5000 18536,-3536 20000,0");
    const TPlotBounds& b = reader.Plot().DrawnBounds();
    EXPECT_EQ((TPlotPoint{b.MinX, b.MinY}), (TPlotPoint{0, -5000}));
    EXPECT_EQ((TPlotPoint{b.MaxX, b.MaxY}), (TPlotPoint{20000, 0}));
    EXPECT_EQ(reader.Ignored().Total(), 0u);
}

TEST(HpglReader, ArcBoundsReachTheTurningPoints) {
    THpglReader reader;
    reader.ReadText("PD10,0;AT0,-10,0,10"); // from 0° clockwise through 270° and 180° to 90°
    const TPlotBounds& b = reader.Plot().DrawnBounds();
    EXPECT_NEAR(b.MinX, -10, 1e-9);
    EXPECT_NEAR(b.MinY, -10, 1e-9);
    EXPECT_NEAR(b.MaxX, 10, 1e-9);
    EXPECT_NEAR(b.MaxY, 10, 1e-9);
}

// Commands the preview skips, and known ones it cannot use: counted, and nothing else happens.
INSTANTIATE_TEST_SUITE_P(
    Ignored, ReadsCommands,
    ::testing::Values(
        ReadCase{"unknown commands", "LT1;PW0.35;XY;lt;PD1,1;AA0,0,90", "pen1 0,0 1,1",
                 "AA 1, LT 2, PW 1, XY 1"},
        ReadCase{"label and encoded polyline", "LBtext\x03PE<=;PD1,1", "pen1 0,0 1,1",
                 "LB 1, PE 1"},
        ReadCase{"odd coordinate count", "PD;PA5,5,7;PA1,1", "pen1 0,0 1,1", "PA fehlerhaft 1"},
        ReadCase{"a number beyond 10^15 keeps the pen up", "PD1000000000000000000,0;PA1,1",
                 "up 0,0 1,1", "PD fehlerhaft 1"},
        ReadCase{"junk and strings in parameters", "PD1#2;PA\"x\";PU3,,4;PD", "up 0,0 3,4",
                 "PA fehlerhaft 1, PD fehlerhaft 1"},
        ReadCase{"arcs with too few or too many numbers", "AT1,2,3;AT1,2,3,4,5,6;PD;AT", "",
                 "AT fehlerhaft 3"},
        ReadCase{"pens out of range", "SP-1;SP1,2;SP2000000;PD1,1", "pen1 0,0 1,1",
                 "SP fehlerhaft 3"},
        ReadCase{"scalings without extent, of unknown type or with stray numbers",
                 "SC0,0,0,10;SC0,10,0,10,3;SC0,1,0,1,0,5,5;SC0,0,0,1,2;PD1,1", "pen1 0,0 1,1",
                 "SC fehlerhaft 4"},
        ReadCase{"isotropic split beyond 100 %", "SC0,10,0,10,1,101,0;PD1,1", "pen1 0,0 1,1",
                 "SC fehlerhaft 1"},
        ReadCase{"scaling onto a window without width", "IP5,5,5,9;SC0,1,0,1;IP1;PD1,1",
                 "pen1 0,0 1,1", "IP fehlerhaft 1, SC fehlerhaft 1"},
        ReadCase{"a window without width keeps the scaling", "SC0,1,0,1;IP7,0,7,9;PD1,1",
                 "pen1 0,0 11880,8400", "IP fehlerhaft 1"},
        ReadCase{"IN and DF with stray numbers", "IN1,2;DF3;PD1,1", "pen1 0,0 1,1",
                 "DF fehlerhaft 1, IN fehlerhaft 1"},
        ReadCase{"scaled to the limit of the range, and one unit beyond it",
                 "SC0,1000000000000000,0,1,2;PD1000,0;PA1001,0", "pen1 0,0 1000000000000000000,0",
                 "PA fehlerhaft 1"},
        ReadCase{"an arc round a circle beyond the range", "PD;AT1000000000000000,10000,1000000,0",
                 "", "AT fehlerhaft 1"},
        ReadCase{"escape sequences",
                 "\x1B.(;\x1B.I81;;17:\x1B%-1BIN;\x1B"
                 "E;PD1,1",
                 "pen1 0,0 1,1", "Escape-Sequenzen 4"},
        ReadCase{"bytes that begin no command", "12,34;P;\x01\x02;\xE4Ü PD1,1;+", "pen1 0,0 1,1",
                 "unlesbar 6"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(DescribeIgnored, NamesAtMostADozen) {
    THpglReader reader;
    reader.ReadText("AA;AB;AC;AD;AE;AF;AG;AH;AI;AJ;AK;AL;AM;AM");
    EXPECT_EQ(DescribeIgnored(reader.Ignored()),
              "AA 1, AB 1, AC 1, AD 1, AE 1, AF 1, AG 1, AH 1, AI 1, AJ 1, AK 1, AL 1, ...");
    EXPECT_EQ(reader.Ignored().Total(), 14u);
    EXPECT_EQ(DescribeIgnored(TIgnoredCommands{}), "");
}

// Whatever the bytes, reading ends, and every point of the plot is finite and in range.
TEST(HpglReader, ArbitraryBytesGiveAFinitePlot) {
    std::mt19937 random(20261210);
    const std::string alphabet = "PUDARTSCIPNFVLB0123456789.,;-+ \"\x03\x1B\r\n";
    for (int round = 0; round < 2; ++round) {
        std::string text(1 << 20, '\0');
        for (char& c : text)
            c = round == 0 ? char(random()) : alphabet[std::size_t(random()) % alphabet.size()];
        THpglReader reader;
        reader.ReadText(text);
        const TPlot& plot = reader.Plot();
        const TPlotBounds& b = plot.AllBounds();
        if (b.Empty()) continue;
        for (double v : {b.MinX, b.MinY, b.MaxX, b.MaxY})
            EXPECT_LE(std::abs(v), 1e18);
        for (const TPlotArc& arc : plot.Arcs())
            EXPECT_TRUE(std::isfinite(arc.Sweep));
    }
}

} // namespace
} // namespace plotalon
