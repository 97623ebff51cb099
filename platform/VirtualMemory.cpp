#include "platform/VirtualMemory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace plotalon {

namespace {

// A mapping begins on a page boundary, so the whole of it can be advised.
void AdviseWhole(void* block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(block, bytes, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace

#if defined(__linux__)

void* ReservePages(std::size_t bytes) {
    if (bytes == 0) throw std::bad_alloc();
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    AdviseWhole(block, bytes);
    return block;
}

void* GrowPages(void* block, std::size_t oldBytes, std::size_t newBytes) {
    void* grown = mremap(block, oldBytes, newBytes, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) throw std::bad_alloc();
    // The advice belongs to the mapping; pages added at its end have none yet.
    AdviseWhole(grown, newBytes);
    return grown;
}

void ReleasePages(void* block, std::size_t bytes) noexcept {
    if (block != nullptr) munmap(block, bytes);
}

#else

// Without page mappings the heap stands in: the same contract, only growth copies.
void* ReservePages(std::size_t bytes) {
    if (bytes == 0) throw std::bad_alloc();
    void* block = std::calloc(1, bytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* GrowPages(void* block, std::size_t oldBytes, std::size_t newBytes) {
    void* grown = std::realloc(block, newBytes);
    if (grown == nullptr) throw std::bad_alloc();
    if (newBytes > oldBytes)
        std::memset(static_cast<char*>(grown) + oldBytes, 0, newBytes - oldBytes);
    return grown;
}

void ReleasePages(void* block, std::size_t) noexcept {
    std::free(block);
}

#endif

void AdviseHugePages(const void* data, std::size_t bytes) {
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(data) + kHugePageSize - 1) & ~(kHugePageSize - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePageSize - 1);
    if (end > begin) AdviseWhole(reinterpret_cast<void*>(begin), end - begin);
}

} // namespace plotalon
