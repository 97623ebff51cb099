#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

#include "EngineFixture.h"
#include "platform/Errors.h"

namespace plotalon::test {
namespace {

class BlockTranslator : public EngineFixture {};

TEST_F(BlockTranslator, StraightMovesFollowTheModalMachine) {
    const struct {
        const char* nc;
        Lines out;
        bool penAfter;
    } steps[] = {
        {"G0 X0 Y0", {"PU0,0;"}, false},
        {"G1 Z-1", {"PD;"}, true},
        {"G1 X10 Y5.5", {"PA10000,5500;"}, true},
        {"X20", {"PA20000,5500;"}, true}, // linear mode is modal
        {"G0 Z5", {}, true},              // a retract alone writes nothing
        {"G0 X30 Y30", {"PU30000,30000;"}, false},
        {"G1 X40", {"PD40000,30000;"}, true},
        {"G01 X50", {"PU50000,30000;"}, false}, // G01 contains "G0": a rapid move
        {"M30", {}, false},
        {"", {}, false},
        {"G0 Y7", {"PU50000,7000;"}, false}, // X from the modal state
        {"G17 X1", {"PD1000,7000;"}, true},  // G17 contains "G1"
        {"G90 G54 X2", {"PA2000,7000;"}, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.nc);
        EXPECT_EQ(Block(s.nc), s.out);
        EXPECT_EQ(state_.PenLowered, s.penAfter);
    }
}

TEST_F(BlockTranslator, ModeIsTheLastOfG0ToG3FoundInCheckingOrder) {
    const struct {
        const char* nc;
        TMoveMode mode;
    } cases[] = {{"G2 G1", TMoveMode::mmArcCW}, {"G10", TMoveMode::mmLinear},
                 {"G28", TMoveMode::mmArcCW},   {"G33", TMoveMode::mmArcCCW},
                 {"G03", TMoveMode::mmRapid},   {"G40", TMoveMode::mmRapid}};
    for (const auto& c : cases) {
        state_.Mode = TMoveMode::mmRapid;
        Block(c.nc);
        EXPECT_EQ(state_.Mode, c.mode) << c.nc;
    }
}

TEST_F(BlockTranslator, RoundsHalvesToEvenAfterScaleAndOffset) {
    settings_.Factor = 1;
    EXPECT_EQ(Block("G1 X2.5"), Lines{"PD2,0;"});
    EXPECT_EQ(Block("G1 X3.5"), Lines{"PA4,0;"});
    EXPECT_EQ(Block("G1 X-2.5"), Lines{"PA-2,0;"});
    settings_.Factor = 1000;
    settings_.XMove = 500;
    settings_.YMove = -3;
    EXPECT_EQ(Block("G1 X1 Y0"), Lines{"PA1500,-3;"});
    EXPECT_EQ(Block("(MAX) G1 X5"), Lines{"PA500,-3;"}); // the comment's X is read: 0
}

TEST_F(BlockTranslator, UnsavedSettingsWriteZeroCoordinates) {
    settings_ = TConvSettings{};
    EXPECT_EQ(Blocks({"G0 X12.5 Y3", "G1 X99"}), (Lines{"PU0,0;", "PD0,0;"}));
}

TEST_F(BlockTranslator, ZBesideXYMovesAndLeavesThePenDown) {
    EXPECT_EQ(Block("G1 X1 Z-1"), Lines{"PD1000,0;"});
    EXPECT_TRUE(state_.PenLowered);
    EXPECT_EQ(Block("G1 Y1 Z-2"), Lines{"PA1000,1000;"});
    EXPECT_EQ(state_.CurZ, -2000);
}

TEST_F(BlockTranslator, KeepsStartPointsAndRadiusModal) {
    Blocks({"G0 X1 Y2", "G1 X3 R4"});
    EXPECT_EQ(state_.PrevX, 1000);
    EXPECT_EQ(state_.PrevY, 0); // only changed by a Y word
    EXPECT_EQ(state_.CurR, 4000);
    Block("G2 R-5"); // an arc block without X and Y only updates the radius
    EXPECT_EQ(state_.CurR, -5000);
    EXPECT_EQ(target_.Lines.size(), 2u);
}

TEST_F(BlockTranslator, FormatCoordWritesEverySixtyFourBitValueInFull) {
    const struct {
        long double v;
        const char* text;
    } cases[] = {{0, "0"},
                 {-0.0L, "0"},
                 {-17, "-17"},
                 {1e15L, "1000000000000000"},
                 {9223372036854775807.0L, "9223372036854775807"},
                 {-9223372036854775808.0L, "-9223372036854775808"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatCoord(c.v), c.text);
}

// The digit count is estimated from the binary length: every power of ten and its
// neighbours, on both sides of zero, and the ends of the range.
TEST_F(BlockTranslator, FormatCoordAgreesWithTheLibraryAtEveryDigitCount) {
    std::vector<std::int64_t> values{0, std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max()};
    // Up to 10^18, the last power of ten in range: stepping past it would overflow.
    for (std::int64_t p = 1;; p *= 10) {
        for (const std::int64_t v : {p - 1, p, p + 1, 2 * p, 5 * p - 1, 9 * p})
            values.insert(values.end(), {v, -v});
        if (p == 1000000000000000000) break;
    }
    for (const std::int64_t v : values) {
        char expected[24], written[24];
        const auto size =
            static_cast<std::size_t>(std::to_chars(expected, expected + 24, v).ptr - expected);
        ASSERT_EQ(std::string_view(written, FormatCoord(v, written)),
                  std::string_view(expected, size))
            << v;
    }
}

TEST_F(BlockTranslator, CoordinatesBeyondSixtyFourBitsAreAnInvalidOperation) {
    const struct {
        std::int32_t factor;
        std::string nc;
    } cases[] = {
        {1, "G1 X9223372036854775808"},  // 2^63 itself
        {1000, "G1 X10000000000000000"}, // 10^16 * 1000
        {1000, "G1 X" + std::string(5000, '7')},
        {0, "G1 X" + std::string(5000, '7')}, // inf * 0
    };
    for (const auto& c : cases) {
        settings_.Factor = c.factor;
        const TModalState before = state_;
        EXPECT_THROW(Block(c.nc), EInvalidOp);
        EXPECT_EQ(state_.CurX, before.CurX) << "a faulty block leaves the coordinates alone";
    }
    settings_.Factor = 1;
    EXPECT_EQ(Block("G1 X9223372036854775807"), Lines{"PD9223372036854775807,0;"});
}

} // namespace
} // namespace plotalon::test
