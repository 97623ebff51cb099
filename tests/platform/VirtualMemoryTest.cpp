#include "platform/VirtualMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>

namespace plotalon {
namespace {

// A pattern that tells every 4 KiB page apart, so that a move that loses or shuffles pages
// shows.
std::uint32_t Pattern(std::size_t i) {
    return std::uint32_t(i * 2654435761u) ^ std::uint32_t(i >> 10);
}

void Fill(void* block, std::size_t bytes) {
    auto* words = static_cast<std::uint32_t*>(block);
    for (std::size_t i = 0; i < bytes / sizeof(std::uint32_t); ++i)
        words[i] = Pattern(i);
}

bool Holds(const void* block, std::size_t bytes) {
    const auto* words = static_cast<const std::uint32_t*>(block);
    for (std::size_t i = 0; i < bytes / sizeof(std::uint32_t); ++i)
        if (words[i] != Pattern(i)) return false;
    return true;
}

bool IsZero(const void* block, std::size_t from, std::size_t to) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = from; i < to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(VirtualMemory, GrowingKeepsTheContentsAndAddsZeroedPages) {
    const std::size_t first = kHugePageSize, second = 3 * kHugePageSize, third = 16 * kHugePageSize;
    void* block = ReservePages(first);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u);
    EXPECT_TRUE(IsZero(block, 0, first));
    Fill(block, first);

    block = GrowPages(block, first, second);
    EXPECT_TRUE(Holds(block, first));
    EXPECT_TRUE(IsZero(block, first, second));
    Fill(block, second);
    // A reservation in between makes moving the next growth likely.
    void* neighbour = ReservePages(kHugePageSize);
    block = GrowPages(block, second, third);
    EXPECT_TRUE(Holds(block, second));
    EXPECT_TRUE(IsZero(block, second, third));

    ReleasePages(neighbour, kHugePageSize);
    ReleasePages(block, third);
    ReleasePages(nullptr, 0); // ignored
}

TEST(VirtualMemory, RefusalsAreBadAllocAndKeepTheOldBlock) {
    const std::size_t impossible = std::numeric_limits<std::size_t>::max() / 2;
    EXPECT_THROW(ReservePages(impossible), std::bad_alloc);
    EXPECT_THROW(ReservePages(0), std::bad_alloc);

    void* block = ReservePages(kHugePageSize);
    Fill(block, kHugePageSize);
    EXPECT_THROW(GrowPages(block, kHugePageSize, impossible), std::bad_alloc);
    EXPECT_TRUE(Holds(block, kHugePageSize)); // still ours, still whole
    ReleasePages(block, kHugePageSize);
}

TEST(VirtualMemory, RoundsToWholeHugePages) {
    EXPECT_EQ(RoundUpToHugePages(0), 0u);
    EXPECT_EQ(RoundUpToHugePages(1), kHugePageSize);
    EXPECT_EQ(RoundUpToHugePages(kHugePageSize), kHugePageSize);
    EXPECT_EQ(RoundUpToHugePages(kHugePageSize + 1), 2 * kHugePageSize);
}

} // namespace
} // namespace plotalon
