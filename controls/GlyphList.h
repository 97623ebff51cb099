#pragma once
// TGlyphList: the shared store of the finished button images of one size. Slots are
// handed out lowest-first and reused once freed; a freed image stays in the store until
// its slot is taken again.

#include "platform/Errors.h"
#include "platform/qt/ImageList.h"

#include <vector>

namespace plotalon {

class EGlyphListError : public Exception {
public:
    EGlyphListError() : Exception("Bild kann nicht ersetzt werden") {}
};

class TGlyphList : public TImageList {
public:
    TGlyphList(int width, int height) : TImageList(width, height) {}

    // The lowest free slot, marked used; the store grows by one empty image when every
    // slot is taken.
    int TakeSlot();
    // Puts image into a fresh slot with the mask from maskColor (clDefault: the image's
    // bottom-left pixel) and returns the slot. Raises EGlyphListError, keeping nothing,
    // when the image cannot be stored.
    int AddImage(const QImage& image, TColor maskColor);
    // Gives slot back; a slot that is not in use is left alone.
    void FreeSlot(int slot);
    // Number of live images.
    int Count() const { return count_; }
    bool IsUsed(int slot) const;

private:
    std::vector<bool> used_;
    int count_ = 0;
};

} // namespace plotalon
