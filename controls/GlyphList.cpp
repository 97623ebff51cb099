#include "controls/GlyphList.h"

namespace plotalon {

int TGlyphList::TakeSlot() {
    for (size_t i = 0; i < used_.size(); ++i) {
        if (!used_[i]) {
            used_[i] = true;
            return int(i);
        }
    }
    AddEmpty();
    used_.push_back(true);
    return int(used_.size()) - 1;
}

int TGlyphList::AddImage(const QImage& image, TColor maskColor) {
    const int slot = TakeSlot();
    if (!Replace(slot, image, maskColor)) {
        // The slot was never filled: hand it back so that a refused image leaks nothing.
        used_[size_t(slot)] = false;
        throw EGlyphListError();
    }
    ++count_;
    return slot;
}

void TGlyphList::FreeSlot(int slot) {
    if (!IsUsed(slot)) return;
    used_[size_t(slot)] = false;
    --count_;
}

bool TGlyphList::IsUsed(int slot) const {
    return slot >= 0 && size_t(slot) < used_.size() && used_[size_t(slot)];
}

} // namespace plotalon
