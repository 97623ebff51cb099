#include "controls/GlyphCache.h"

#include <algorithm>

namespace plotalon {

namespace {
std::unique_ptr<TGlyphCache>& Shared() {
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}
} // namespace

TGlyphList* TGlyphCache::AcquireStore(int width, int height) {
    for (auto it = stores_.rbegin(); it != stores_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    stores_.push_back(std::make_unique<TGlyphList>(width, height));
    return stores_.back().get();
}

void TGlyphCache::ReleaseStore(TGlyphList* store) {
    if (!store || store->Count() != 0) return;
    auto it = std::find_if(stores_.begin(), stores_.end(),
                           [store](const auto& owned) { return owned.get() == store; });
    if (it != stores_.end()) stores_.erase(it);
}

TGlyphCache* SharedGlyphCache() {
    return Shared().get();
}

TGlyphCache& EnsureSharedGlyphCache() {
    if (!Shared()) Shared() = std::make_unique<TGlyphCache>();
    return *Shared();
}

void FreeSharedGlyphCacheIfEmpty() {
    if (Shared() && Shared()->IsEmpty()) Shared().reset();
}

} // namespace plotalon
