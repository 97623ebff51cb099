#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

#include "engine/ExtMath.h"

namespace plotalon {
namespace {

// The chord points rest on this bound: the fast sine and cosine may differ from FSINCOS by
// at most kSinCosApproxError wherever SinCosApprox takes the angle. Every angle of the arc
// steps in whole and fractional degrees, and a dense sweep over the whole range it takes.
TEST(SinCosApprox, StaysWithinItsBoundOfTheExtendedValues) {
    long double worst = 0;
    const auto check = [&worst](long double radians) {
        long double s = 0, c = 0, fs = 0, fc = 0;
        SinCosExt(radians, s, c);
        ASSERT_TRUE(SinCosApprox(radians, fs, fc)) << radians;
        worst = std::max({worst, std::fabs(fs - s), std::fabs(fc - c)});
    };
    for (int tenths = -3610; tenths <= 3610; ++tenths)
        check(tenths / 10.0L * PiExt / 180);
    for (long double r = -15.999L; r < 16; r += 1.0L / 65536)
        check(r);
    EXPECT_LE(worst, kSinCosApproxError);
    long double s = 0, c = 0;
    EXPECT_FALSE(SinCosApprox(16, s, c));
    EXPECT_FALSE(SinCosApprox(-16, s, c));
    EXPECT_FALSE(SinCosApprox(std::numeric_limits<long double>::quiet_NaN(), s, c));
}

TEST(RoundClearly, OnlyWhereTheWholeRoomRoundsAlike) {
    const struct {
        long double value, slack;
        bool clear;
        std::int64_t whole;
    } cases[] = {
        {2.4L, 0.05L, true, 2},
        {2.6L, 0.05L, true, 3},
        {2.4L, 0.15L, false, 0},
        {2.5L, 1e-15L, false, 0},      // a tie itself
        {2.5000001L, 1e-6L, false, 0}, // within the room of the half
        {2.5000001L, 1e-8L, true, 3},
        {-7.4999L, 1e-5L, true, -7},
        {-7.5001L, 1e-5L, true, -8},
        {-7.4999L, 1e-3L, false, 0},
        {3, 0.49L, true, 3},
        {0x1p62L, 0.1L, false, 0}, // too close to the end of the 64-bit range
        {std::numeric_limits<long double>::quiet_NaN(), 0.1L, false, 0},
        {1.2L, std::numeric_limits<long double>::quiet_NaN(), false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t whole = 0;
        EXPECT_EQ(RoundClearly(c.value, c.slack, whole), c.clear) << c.value;
        EXPECT_EQ(whole, c.whole) << c.value;
    }
}

} // namespace
} // namespace plotalon
