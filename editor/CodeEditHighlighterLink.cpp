#include "editor/CodeEditHighlighterLink.h"

#include <algorithm>

namespace plotalon {

TCodeEditHighlighterLink::TCodeEditHighlighterLink(TCodeEditStringList& lines) : lines_(lines) {}

TCodeEditHighlighterLink::~TCodeEditHighlighterLink() {
    Detach();
}

void TCodeEditHighlighterLink::Detach() {
    scannedLast_ = -1;
    if (attached_ == nullptr) return;
    attached_->UnhookAttributeChange(
        TNotifyEvent::Of<&TCodeEditHighlighterLink::AttributesChanged>(this));
    attached_->UnhookDestroy(
        TNotifyEvent::Of<&TCodeEditHighlighterLink::HighlighterDestroyed>(this));
    attached_ = nullptr;
}

void TCodeEditHighlighterLink::SetHighlighter(TCodeCustomHighlighter* highlighter) {
    Attach(highlighter, TScan::AllLines);
}

void TCodeEditHighlighterLink::SetHighlighterOverStoredRanges(TCodeCustomHighlighter* highlighter) {
    Attach(highlighter, TScan::None);
}

void TCodeEditHighlighterLink::Attach(TCodeCustomHighlighter* highlighter, TScan scan) {
    if (highlighter == attached_) return;
    Detach();
    if (highlighter != nullptr) {
        highlighter->HookAttributeChange(
            TNotifyEvent::Of<&TCodeEditHighlighterLink::AttributesChanged>(this));
        highlighter->HookDestroy(
            TNotifyEvent::Of<&TCodeEditHighlighterLink::HighlighterDestroyed>(this));
        attached_ = highlighter;
    }
    if (highlighter != nullptr && scan == TScan::AllLines) {
        lines_.BeginUpdate();
        try {
            ScanAllRanges();
        } catch (...) {
            lines_.EndUpdate();
            throw;
        }
        lines_.EndUpdate();
    }
    Report();
}

void TCodeEditHighlighterLink::AttributesChanged(TCodeCustomHighlighter*) {
    Report();
}

void TCodeEditHighlighterLink::HighlighterDestroyed(TCodeCustomHighlighter*) {
    // The highlighter is going away: its chains are not touched any more.
    attached_ = nullptr;
    Report();
}

void TCodeEditHighlighterLink::Report() {
    if (OnHighlighterChanged) OnHighlighterChanged();
}

void TCodeEditHighlighterLink::ScanLine(int index) {
    attached_->BeginLine(lines_.LineAt(std::size_t(index)), index);
    attached_->ScanToLineEnd();
    scannedLast_ = index;
    scannedLastEnd_ = attached_->RangeState();
}

void TCodeEditHighlighterLink::ScanAllRanges() {
    if (attached_ == nullptr || lines_.Count() == 0) return;
    attached_->ResetRangeState();
    for (int i = 0; i < lines_.Count(); ++i) {
        lines_.SetLineRange(i, attached_->RangeState());
        ScanLine(i);
    }
}

int TCodeEditHighlighterLink::RescanFrom(int index) {
    if (attached_ == nullptr || index >= lines_.Count() - 1) return index;
    ScanLine(index);
    int current = index + 1;
    while (current < lines_.Count()) {
        TCodeRange range = attached_->RangeState();
        if (range == lines_.LineRange(current)) break;
        lines_.SetLineRange(current, range);
        ScanLine(current);
        ++current;
    }
    return current - 1;
}

TRepaintLines TCodeEditHighlighterLink::LineReplaced(int index) {
    scannedLast_ = -1; // the rescan leaves out a replaced last line
    if (attached_ == nullptr) return {index + 1, index + 1};
    attached_->SetRangeState(lines_.LineRange(index));
    int last = RescanFrom(index);
    return {index + 1, std::max(last, index) + 1};
}

void TCodeEditHighlighterLink::RescanAround(int index) {
    if (attached_ == nullptr || lines_.Count() == 0) return;
    if (index <= 0) {
        attached_->ResetRangeState();
        lines_.SetLineRange(0, attached_->RangeState());
        if (lines_.Count() >= 2) RescanFrom(0);
        return;
    }
    int previous = std::min(index, lines_.Count()) - 1;
    attached_->SetRangeState(lines_.LineRange(previous));
    RescanFrom(previous);
}

TRepaintLines TCodeEditHighlighterLink::LineAdded(int index) {
    if (AppendsToTheLastScan(index)) {
        // The scan of the line before ended in the range the new last line starts with, so
        // that line need not be scanned again: appending a text line by line (a conversion
        // filling its target) scans every line once.
        lines_.SetLineRange(index, scannedLastEnd_);
        attached_->SetRangeState(scannedLastEnd_);
        ScanLine(index);
    } else {
        scannedLast_ = -1;
        RescanAround(index);
    }
    return {index + 1, TRepaintLines::kRepaintToEnd};
}

bool TCodeEditHighlighterLink::AppendsToTheLastScan(int index) const {
    // Every change of a line at or before the one scanned last either rescans it or moves it
    // to another index, so a line at that index right after it follows the unchanged line.
    return attached_ != nullptr && index > 0 && index == scannedLast_ + 1 &&
           index == lines_.Count() - 1;
}

TRepaintLines TCodeEditHighlighterLink::LineInserted(int index) {
    return LineAdded(index);
}

TRepaintLines TCodeEditHighlighterLink::LineDeleted(int index) {
    return LineAdded(index);
}

// ---------------------------------------------------------------------------------------

TCharCellFonts CharCellFonts(const TCodeCustomHighlighter* highlighter, TFontStyles editorFont) {
    if (highlighter == nullptr) return {(editorFont & fsBold) != 0, (editorFont & fsItalic) != 0};
    TCharCellFonts cell;
    for (int i = 0; i < highlighter->AttributeCount(); ++i) {
        TFontStyles style = highlighter->AttributeAt(i)->Style();
        cell.WidthBold = cell.WidthBold || (style & fsBold) != 0;
        cell.HeightItalic = cell.HeightItalic || (style & fsItalic) != 0;
    }
    return cell;
}

TCharSet WordChars(const TCodeCustomHighlighter* highlighter) {
    if (highlighter != nullptr) return highlighter->IdentifierChars();
    TCharSet set;
    for (int c = 33; c <= 255; ++c)
        set.set(std::size_t(c));
    return set;
}

TColor TextAreaBackground(const TCodeCustomHighlighter* highlighter, TColor editorColor) {
    const TCodeHighlighterAttributes* space =
        highlighter != nullptr ? highlighter->DefaultAttribute(daWhitespace) : nullptr;
    if (space != nullptr && space->Background() != clNone) return space->Background();
    return editorColor;
}

TTokenLook TokenLook(const TCodeHighlighterAttributes* attribute, TColor fontColor,
                     TColor lineBackground, TFontStyles fontStyle) {
    if (attribute == nullptr) return {fontColor, lineBackground, fontStyle};
    TTokenLook look{attribute->Foreground(), attribute->Background(), attribute->Style()};
    if (look.Foreground == clNone) look.Foreground = fontColor;
    if (look.Background == clNone) look.Background = lineBackground;
    return look;
}

bool JoinsRun(const TTokenLook& run, const TTokenLook& token, std::string_view tokenText,
              bool wholeLineSelected) {
    if (wholeLineSelected) return true;
    if (token.Background != run.Background) return false;
    if (token.Foreground == run.Foreground && token.Style == run.Style) return true;
    bool blanksOnly =
        std::all_of(tokenText.begin(), tokenText.end(), [](char c) { return c == ' '; });
    return blanksOnly && ((token.Style | run.Style) & fsUnderline) == 0;
}

} // namespace plotalon
