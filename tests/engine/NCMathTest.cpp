#include <cmath>
#include <gtest/gtest.h>

#include "engine/NCMath.h"
#include "platform/Errors.h"

using namespace plotalon;

namespace {

struct CentreCase {
    bool clockwise;
    long double x0, y0, x1, y1, r;
    long double cx, cy;
};

TEST(CircleCentre, FollowsTheSignedRadiusConvention) {
    const long double h = 8660.2540378443864676L; // 10000 * sqrt(3) / 2
    const CentreCase cases[] = {
        {true, 0, 0, 10000, 0, 10000, 5000, -h}, // G2: right of the chord
        {false, 0, 0, 10000, 0, 10000, 5000, h}, // G3: left
        {true, 0, 0, 10000, 0, -10000, 5000, h}, // G2, negative radius: the longer arc
        {false, 0, 0, 10000, 0, -10000, 5000, -h},
        {true, 0, 0, 10000, 0, 5000, 5000, 0}, // radius equals half the chord
        {true, 0, 0, 10000, 0, 3000, 5000, 0}, // too short: midpoint, no error
        {true, 0, 0, 10000, 0, 0, 5000, 0},
        {true, 0, 0, 0, 10000, 10000, h, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clockwise << " r=" << static_cast<double>(c.r)
                                        << " end=" << static_cast<double>(c.x1));
        long double cx = -1, cy = -1;
        ASSERT_EQ(CircleCentre(c.clockwise, c.x0, c.y0, c.x1, c.y1, c.r, cx, cy),
                  TCentreOutcome::coFound);
        EXPECT_NEAR(static_cast<double>(cx), static_cast<double>(c.cx), 1e-6);
        EXPECT_NEAR(static_cast<double>(cy), static_cast<double>(c.cy), 1e-6);
    }
}

TEST(CircleCentre, SameEndsLeaveTheCentreUntouched) {
    long double cx = 7, cy = 8;
    EXPECT_EQ(CircleCentre(true, 100, 100, 100, 100, 10000, cx, cy), TCentreOutcome::coSameEnds);
    EXPECT_EQ(cx, 7);
    EXPECT_EQ(cy, 8);
}

TEST(CircleCentre, HugeCoordinatesStayFinite) {
    long double cx = 0, cy = 0;
    const long double big = 9.0e18L;
    EXPECT_EQ(CircleCentre(true, -big, 0, big, 0, big, cx, cy), TCentreOutcome::coFound);
    EXPECT_TRUE(std::isfinite(cx) && std::isfinite(cy));
}

TEST(RoundToThreeDecimals, MatchesAFixedPointTextRoundTrip) {
    EXPECT_EQ(RoundToThreeDecimals(0.0004L), 0);
    EXPECT_EQ(RoundToThreeDecimals(2.0L), 2);
    EXPECT_EQ(RoundToThreeDecimals(1.23456L), 1.235L);
    EXPECT_EQ(RoundToThreeDecimals(1.0e30L), 1.0e30L);
}

TEST(PointAngle, GivesDegreesFromZeroUpToAndIncluding360) {
    const struct {
        long double px, py, expected;
    } cases[] = {{10, 0, 0}, {0, 10, 90}, {-10, 0, 180}, {0, -10, 270}, {10.5L, 0, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(PointAngle(c.px, c.py, 0, 0, 10)),
                    static_cast<double>(c.expected), 1e-12);
    const long double justBelow = PointAngle(9.9999L, -0.0001L, 0, 0, 10);
    EXPECT_LT(justBelow, 360);
    EXPECT_GT(justBelow, 359.7L);                       // the angle follows from x alone
    EXPECT_EQ(PointAngle(11, -1, 0, 0, 10), 360);       // clamped to 1 and below the centre
    EXPECT_EQ(PointAngle(10, -0.0001L, 0, 0, 10), 360); // f is exactly 1: no angle left
}

TEST(PointAngle, ZeroRadiusIsADivisionFault) {
    EXPECT_THROW(PointAngle(5, 0, 0, 0, 0), EZeroDivide);
    EXPECT_THROW(PointAngle(0, 5, 0, 0, 0), EInvalidOp);
}

} // namespace
