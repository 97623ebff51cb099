#include "EngineFixture.h"
#include "platform/Errors.h"

namespace plotalon::test {
namespace {

class ArcOutput : public EngineFixture {
protected:
    ArcOutput() {
        settings_.HpglType = 1;
        settings_.Deg = 10;
        Block("G0 X0 Y0");
    }
};

TEST_F(ArcOutput, Hpgl1HalfCircleOverTheTop) {
    EXPECT_EQ(
        Block("G2 X10 Y0 R5"),
        (Lines{"PU0,0;",       "PD;",          "PA76,868;",    "PA302,1710;",  "PA670,2500;",
               "PA1170,3214;", "PA1786,3830;", "PA2500,4330;", "PA3290,4698;", "PA4132,4924;",
               "PA5000,5000;", "PA5868,4924;", "PA6710,4698;", "PA7500,4330;", "PA8214,3830;",
               "PA8830,3214;", "PA9330,2500;", "PA9698,1710;", "PA9924,868;",  "PA10000,0;"}));
    EXPECT_TRUE(state_.PenLowered);
}

TEST_F(ArcOutput, WorkedExamplesInBothDialects) {
    const struct {
        int type, deg;
        const char* nc;
        Lines out;
    } cases[] = {
        {2, 10, "G2 X10 Y0 R5", {"PU0,0;", "PD;", "AT4913,4999,10000,0;"}},
        {1,
         45,
         "G3 X10 Y0 R5",
         {"PU0,0;", "PD;", "PA1464,-3536;", "PA5000,-5000;", "PA8536,-3536;", "PA10000,0;"}},
        {2, 45, "G3 X10 Y0 R5", {"PU0,0;", "PD;", "AT4913,-4999,10000,0;"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nc);
        settings_.HpglType = static_cast<std::uint8_t>(c.type);
        settings_.Deg = c.deg;
        Block("G0 X0 Y0");
        EXPECT_EQ(Block(c.nc), c.out);
    }
}

TEST_F(ArcOutput, QuarterCircleWithThePenDownWritesNoPrelude) {
    settings_.Deg = 30;
    Blocks({"G0 X10 Y0", "G1 Z-1"});
    EXPECT_EQ(Block("G3 X0 Y10 R10"), (Lines{"PA8660,5000;", "PA5000,8660;", "PA0,10000;"}));
    settings_.HpglType = 2;
    Blocks({"G0 X10 Y0", "G1 Z-1"});
    EXPECT_EQ(Block("G3 X0 Y10 R10"), (Lines{"AT7193,6947,0,10000;"}));
    // a second arc right after: still no prelude
    EXPECT_EQ(Block("G3 X-10 Y0"), (Lines{"AT-6947,7193,-10000,0;"}));
}

TEST_F(ArcOutput, TinySweepWritesOnlyTheEndPoint) {
    settings_.Factor = 1;
    Blocks({"G0 X10000 Y0", "G1 Z-1"});
    EXPECT_EQ(Block("G3 X9999 Y10 R10000"), Lines{"PA9999,10;"});
    settings_.HpglType = 2; // no intermediate point for a sweep of 0: a straight move
    Blocks({"G0 X10000 Y0", "G1 Z-1"});
    EXPECT_EQ(Block("G3 X9999 Y10 R10000"), Lines{"PA9999,10;"});
}

TEST_F(ArcOutput, ShortRadiusUsesTheChordMidpoint) {
    settings_.Deg = 90;
    EXPECT_EQ(Block("G2 X10 Y0 R2"), (Lines{"PU0,0;", "PD;", "PA5000,2000;", "PA10000,0;"}));
}

TEST_F(ArcOutput, NoArcPossibleDrawsAStraightLine) {
    Block("G2 X0 Y0 R5"); // start equals end
    EXPECT_EQ(target_.Lines, (Lines{"PU0,0;", "PU0,0;", "PD;", "PA0,0;"}));
}

TEST_F(ArcOutput, StepBelowOneDegreeIsTakenAsOne) {
    for (int deg : {0, -5}) {
        settings_.Deg = deg;
        Block("G0 X0 Y0");
        const Lines out = Block("G2 X10 Y0 R5");
        ASSERT_EQ(out.size(), 2u + 180u); // prelude, 179 chords, end point
        EXPECT_EQ(out.back(), "PA10000,0;");
    }
}

TEST_F(ArcOutput, OtherDialectsWriteOnlyThePrelude) {
    settings_.HpglType = 0;
    EXPECT_EQ(Block("G2 X10 Y0 R5"), (Lines{"PU0,0;", "PD;"}));
    EXPECT_EQ(Block("G1 X1"), Lines{"PA1000,0;"});
}

TEST_F(ArcOutput, ZeroRadiusFaultsBeforeWritingAnything) {
    EXPECT_THROW(Block("G2 X10 Y0"), EZeroDivide); // no R word since the reset
    EXPECT_EQ(target_.Lines, Lines{"PU0,0;"});
    EXPECT_FALSE(state_.PenLowered);
    ResetModalState(state_);
    EXPECT_THROW(Block("G3 X0 Y10 R0"), EInvalidOp); // start exactly below the midpoint
    EXPECT_EQ(target_.Lines, Lines{"PU0,0;"});
}

} // namespace
} // namespace plotalon::test
