#include "platform/Progress.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace plotalon {
namespace {

TEST(Progress, PercentOfTheTotal) {
    struct Case {
        std::int64_t total, done;
        int percent;
    } cases[] = {
        {0, 5, 0},   // total not known yet
        {-1, 5, 0},  // nor this one
        {3, 1, 33},  // rounded down
        {3, 3, 100}, // all done
        {3, 7, 100}, // overran its total
        {100, -2, 0},
        {std::int64_t(1) << 62, std::int64_t(1) << 61, 50},
        {INT64_MAX, INT64_MAX, 100},
    };
    for (const Case& c : cases) {
        TProgress progress;
        progress.SetTotal(c.total);
        progress.SetDone(c.done);
        EXPECT_EQ(progress.Percent(), c.percent) << c.done << " of " << c.total;
    }
}

TEST(Progress, CancelIsSeenUntilReset) {
    TProgress progress;
    progress.SetTotal(10);
    progress.Advance(4);
    progress.Advance(3);
    EXPECT_EQ(progress.Done(), 7);
    EXPECT_NO_THROW(progress.ThrowIfCancelled());
    progress.Cancel();
    EXPECT_TRUE(progress.Cancelled());
    EXPECT_THROW(progress.ThrowIfCancelled(), ECancelled);
    progress.Reset();
    EXPECT_FALSE(progress.Cancelled());
    EXPECT_EQ(progress.Done(), 0);
    EXPECT_EQ(progress.Total(), 0);
}

} // namespace
} // namespace plotalon
