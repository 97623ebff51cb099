#include "editor/CodeEditDetachedLines.h"

namespace plotalon {

TCodeEditDetachedLines::TCodeEditDetachedLines(int tabWidth,
                                               const TCodeCustomHighlighter* paneHighlighter)
    : highlighter_(paneHighlighter != nullptr ? paneHighlighter->NewOfSameKind() : nullptr),
      link_(list_) {
    list_.SetTabWidth(tabWidth);
    if (highlighter_ == nullptr) return;
    if (!highlighter_->CarriesRangeAcrossLines()) {
        // Every line starts in the reset state: stored as lines come, nothing scanned.
        highlighter_->ResetRangeState();
        list_.OnLineAdded = [this, reset = highlighter_->RangeState()](int index) {
            for (int i = index; i < list_.Count() && list_.LineRange(i) != reset; ++i)
                list_.SetLineRange(i, reset);
        };
        list_.OnLineInserted = list_.OnLineAdded;
        return;
    }
    link_.SetHighlighter(highlighter_.get());
    // Appending follows the scan of the line before, so every line is scanned once.
    list_.OnLineAdded = [this](int index) { link_.LineAdded(index); };
    list_.OnLineInserted = [this](int index) { link_.LineInserted(index); };
    list_.OnLineDeleted = [this](int index) { link_.LineDeleted(index); };
    list_.OnLineReplaced = [this](int index) { link_.LineReplaced(index); };
}

} // namespace plotalon
