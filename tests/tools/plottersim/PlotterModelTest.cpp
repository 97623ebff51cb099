#include "tools/plottersim/PlotterModel.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

// Feeds text at one byte a millisecond from time t; returns what the plotter answered.
std::string Feed(TPlotterModel& plotter, std::string_view text, double& t) {
    std::string reply;
    for (char c : text)
        plotter.Receive(c, t += 0.001, reply);
    return reply;
}

TEST(PlotterModel, DeviceControlIsAnsweredAtOnceOutsideTheBuffer) {
    TPlotterModelOptions options;
    options.BufferSize = 100;
    options.DrainRate = 0.001; // the pen does not move
    TPlotterModel plotter(options);
    double t = 0;
    EXPECT_EQ(Feed(plotter, "PA1,2;", t), "");
    EXPECT_EQ(Feed(plotter, "\x1b.B", t), "94\r");
    EXPECT_EQ(Feed(plotter, "\x1b.L\x1b.@1024;0:\x1b.O", t), "100\r0\r"); // not empty: status 0
    EXPECT_EQ(plotter.Free(), 94);                                        // none of it buffered
    EXPECT_EQ(Feed(plotter, "\x1b.K", t), "");
    EXPECT_EQ(plotter.Free(), 100);
    EXPECT_EQ(plotter.Figures().Queries, 1u);
    EXPECT_EQ(plotter.Figures().Aborts, 1u);
    EXPECT_EQ(plotter.Recorded(), "PA1,2;\x1b.B\x1b.L\x1b.@1024;0:\x1b.O\x1b.K");
}

TEST(PlotterModel, AFullBufferDropsWhatComesAndXoffXonFollowTheFreeSpace) {
    TPlotterModelOptions options;
    options.BufferSize = 10;
    options.DrainRate = 0.001;
    options.XonXoff = true;
    options.XoffAt = 3;
    options.XonAt = 6;
    TPlotterModel plotter(options);
    double t = 0;
    EXPECT_EQ(Feed(plotter, "1234567", t), "\x13"); // 3 free: XOFF
    EXPECT_EQ(Feed(plotter, "89ABCD", t), "");      // 3 fit, 3 are lost
    EXPECT_EQ(plotter.Figures().Overflows, 3u);
    EXPECT_EQ(plotter.Figures().DuringXoff, 6u);
    EXPECT_EQ(plotter.Recorded(), "123456789A");
    std::string reply;
    plotter.DrainTo(t + 0.5, reply); // still nothing drawn
    EXPECT_EQ(reply, "");
}

TEST(PlotterModel, ThePenTakesWholeInstructionsAndAnswersOutputInstructionsWhenItGetsThere) {
    TPlotterModelOptions options;
    options.BufferSize = 200;
    options.DrainRate = 2; // instructions a second
    options.DrainCommands = true;
    options.XonXoff = true;
    options.XoffAt = 190;
    options.XonAt = 196;
    options.Model = "7550A";
    TPlotterModel plotter(options);
    double t = 0;
    EXPECT_EQ(Feed(plotter, "IN;OI;\r\nOS;PA10", t), "\x13");
    std::string reply;
    plotter.DrainTo(1.1, reply); // two instructions: IN and OI
    EXPECT_EQ(reply, "7550A\r");
    reply.clear();
    plotter.DrainTo(1.6, reply); // OS, and then free enough for XON
    EXPECT_EQ(reply, "8\r\x11");
    reply.clear();
    plotter.DrainTo(10, reply); // "PA10" waits for its end
    EXPECT_EQ(plotter.Free(), 196);
    EXPECT_EQ(plotter.Figures().Drawn, 3u);
}

} // namespace
} // namespace plotalon
