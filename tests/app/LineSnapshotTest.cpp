#include "app/LineSnapshot.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

// Copied in slices, every line comes back as it was: empty ones, lines that fill a block up
// to its last byte or would cross into the next, and one longer than a block.
TEST(LineSnapshot, EveryLineComesBackWhereverTheBlocksEnd) {
    const std::size_t block = TLineSnapshot::kBlockBytes;
    TLineVector source{"IN;SP1;",
                       "",
                       std::string(block - 7, 'a'),
                       "PU0,0;",
                       std::string(block - 3, 'b'),
                       "",
                       std::string(3 * block, 'c'),
                       "PD;",
                       std::string(block, 'd'),
                       "SP0;"};
    TLineSnapshot copy;
    copy.Reserve(source.LineCount());
    copy.CopyFrom(source, 0, 3);
    copy.CopyFrom(source, 3, 7);
    copy.CopyFrom(source, 7, source.LineCount());
    ASSERT_EQ(copy.LineCount(), source.LineCount());
    for (std::size_t i = 0; i < source.LineCount(); ++i)
        EXPECT_EQ(copy.LineAt(i), source.LineAt(i)) << i;
    EXPECT_EQ(copy.LineAt(source.LineCount()), "");
}

} // namespace
} // namespace plotalon
