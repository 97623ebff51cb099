#pragma once
// Asks the system to back a large block of fresh memory with huge pages where it offers them
// on request (Linux's transparent huge pages in "madvise" mode): filling a vector of a few
// hundred megabytes then takes a few hundred page faults instead of a hundred thousand. Only a
// hint; nothing happens where it is not available.

#include <cstddef>
#include <new>

namespace plotalon {

void AdviseHugePages(const void* data, std::size_t bytes);

// Reserves room for n elements in vector and advises huge pages for it; a hint only: when
// the memory is not there, the vector stays as it was.
template <class Vector> void ReserveLarge(Vector& vector, std::size_t n) {
    try {
        vector.reserve(n);
        AdviseHugePages(vector.data(), vector.capacity() * sizeof(*vector.data()));
    } catch (const std::bad_alloc&) {
        // It grows as it goes instead.
    }
}

} // namespace plotalon
