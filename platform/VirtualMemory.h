#pragma once
// Blocks of whole pages taken straight from the system, for stores of hundreds of megabytes
// that a program fills once: a line list of a loaded file, a plot of millions of steps.
//
// Contract:
// - ReservePages(bytes) gives a zero-filled, readable and writable block of at least bytes,
//   aligned to a page, marked for huge pages where the system offers them on request. Pages
//   cost memory only once touched, so reserving ahead of use is cheap. When the system
//   refuses (or bytes is 0), it throws std::bad_alloc.
// - GrowPages(block, oldBytes, newBytes) makes the block newBytes long and keeps its first
//   oldBytes as they were; it may move the block (pages are moved, not copied) and returns
//   where it is now. When the system refuses, it throws std::bad_alloc and the old block
//   stays valid and unchanged.
// - ReleasePages(block, bytes) gives a block back; bytes is the size it was reserved or
//   grown to last. A null block is ignored.
// - AdviseHugePages(data, bytes) asks for huge pages for the whole huge pages inside any
//   block of fresh memory (say a vector's); a hint only, nothing happens where it is not
//   available.

#include <cstddef>
#include <new>

namespace plotalon {

// The size of a huge page on the machines this runs on (x86-64, arm64 with 4 KiB pages).
inline constexpr std::size_t kHugePageSize = std::size_t(2) << 20;

// bytes rounded up to whole huge pages.
constexpr std::size_t RoundUpToHugePages(std::size_t bytes) {
    return (bytes + kHugePageSize - 1) & ~(kHugePageSize - 1);
}

void* ReservePages(std::size_t bytes);
void* GrowPages(void* block, std::size_t oldBytes, std::size_t newBytes);
void ReleasePages(void* block, std::size_t bytes) noexcept;

void AdviseHugePages(const void* data, std::size_t bytes);

// Reserves room for n elements in vector and advises huge pages for it: filling a vector of
// a few hundred megabytes then takes a few hundred page faults instead of a hundred thousand.
// A hint only: when the memory is not there, the vector stays as it was and grows as it goes.
template <class Vector> void ReserveLarge(Vector& vector, std::size_t n) {
    try {
        vector.reserve(n);
        AdviseHugePages(vector.data(), vector.capacity() * sizeof(*vector.data()));
    } catch (const std::bad_alloc&) {
        // It grows as it goes instead.
    }
}

} // namespace plotalon
