#pragma once
// TGlyphCache: the image stores of all buttons, one per image size. SharedGlyphCache is
// the one the process uses; it lives from the first glyph object until the last one is
// gone with no store left.

#include "controls/GlyphList.h"

#include <memory>
#include <vector>

namespace plotalon {

class TGlyphCache {
public:
    // A store for images of width × height, the most recently added one first.
    TGlyphList* AcquireStore(int width, int height);
    // Removes and destroys store once it holds no live image; nullptr is ignored.
    void ReleaseStore(TGlyphList* store);
    bool IsEmpty() const { return stores_.empty(); }
    int StoreCount() const { return int(stores_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> stores_;
};

// The process-wide cache, or nullptr while there is none.
TGlyphCache* SharedGlyphCache();
// The process-wide cache, created if there is none.
TGlyphCache& EnsureSharedGlyphCache();
// Destroys the process-wide cache if it exists and holds no store.
void FreeSharedGlyphCacheIfEmpty();

} // namespace plotalon
