#include "editor/CodeEditDetachedLines.h"

namespace plotalon {

TCodeEditDetachedLines::TCodeEditDetachedLines(int tabWidth,
                                               const TCodeCustomHighlighter* paneHighlighter)
    : Highlighter(paneHighlighter != nullptr ? paneHighlighter->NewOfSameKind() : nullptr),
      Link(List) {
    List.SetTabWidth(tabWidth);
    if (Highlighter == nullptr) return;
    if (!Highlighter->CarriesRangeAcrossLines()) {
        // Every line starts in the reset state: stored as lines come, nothing scanned.
        Highlighter->ResetRangeState();
        List.OnLineAdded = [this, reset = Highlighter->RangeState()](int index) {
            for (int i = index; i < List.Count() && List.LineRange(i) != reset; ++i)
                List.SetLineRange(i, reset);
        };
        List.OnLineInserted = List.OnLineAdded;
        return;
    }
    Link.SetHighlighter(Highlighter.get());
    // Appending follows the scan of the line before, so every line is scanned once.
    List.OnLineAdded = [this](int index) { Link.LineAdded(index); };
    List.OnLineInserted = [this](int index) { Link.LineInserted(index); };
    List.OnLineDeleted = [this](int index) { Link.LineDeleted(index); };
    List.OnLineReplaced = [this](int index) { Link.LineReplaced(index); };
}

} // namespace plotalon
