#include "editor/core/CodeEditDocument.h"

#include "editor/core/CodeEditText.h"

#include <algorithm>
#include <utility>

namespace plotalon {

namespace {

// Whether every line captured before a change is still there unchanged.
bool Unchanged(const TCodeLineSpan& span, const TCodeEditStringList& lines) {
    if (span.ReplacedCount != static_cast<int>(span.Lines.size())) return false;
    for (int i = 0; i < span.ReplacedCount; ++i)
        if (lines.LineAt(span.FirstLine + i) != span.Lines[i]) return false;
    return true;
}

} // namespace

TCodeEditDocument::TCodeEditDocument() : lines_(std::make_unique<TCodeEditStringList>()) {
    HookLineEvents();
    undoList_.SetOnAdded([this] { UndoListAdded(); });
    redoList_.SetOnAdded([this] { RedoListAdded(); });
}

TCodeEditDocument::~TCodeEditDocument() {
    lines_->OnChanging = nullptr;
    lines_->OnChanged = nullptr;
    UnhookLineEvents(*lines_);
}

void TCodeEditDocument::HookLineEvents() {
    // What a change behind the document's back does. Its records no longer fit the text, so
    // both undo lists go. Only deleting and replacing lines can take away the line or column
    // a position stands on; lines added (a conversion appends every line of its output)
    // never do, and cost no more than these few tests.
    enum TShortens { Grows, MayShorten };
    auto indexEvent = [this](TCodeEditStringList::TIndexEvent TCodeEditDocument::*slot,
                             TShortens shortens) {
        return [this, slot, shortens](int index) {
            if (!IsRecordedChange()) {
                if (undoList_.HasRecords() || redoList_.HasRecords() || undoList_.Full())
                    ClearUndo();
                if (shortens == MayShorten && follower_.KeepPositionsInText)
                    follower_.KeepPositionsInText();
            }
            if (this->*slot) (this->*slot)(index);
        };
    };
    lines_->OnLineAdded = indexEvent(&TCodeEditDocument::OnLineAdded, Grows);
    lines_->OnLineDeleted = indexEvent(&TCodeEditDocument::OnLineDeleted, MayShorten);
    lines_->OnLineInserted = indexEvent(&TCodeEditDocument::OnLineInserted, Grows);
    lines_->OnLineReplaced = indexEvent(&TCodeEditDocument::OnLineReplaced, MayShorten);
    lines_->OnLinesCleared = [this] {
        ClearUndo();
        ClearBookmarks();
        if (follower_.LinesCleared) follower_.LinesCleared();
        if (OnLinesCleared) OnLinesCleared();
    };
    lines_->OnChanging = [this] {
        if (OnLinesChanging) OnLinesChanging();
    };
    lines_->OnChanged = [this] {
        if (OnLinesChanged) OnLinesChanged();
        if (follower_.ChangeEnded) follower_.ChangeEnded();
    };
}

// ---- Text ----

std::string TCodeEditDocument::Line(int y) const {
    return y >= 1 ? std::string(lines_->LineAt(static_cast<std::size_t>(y - 1))) : std::string();
}

void TCodeEditDocument::SetLine(int y, std::string_view text) {
    lines_->ReplaceLine(y - 1, text);
}

void TCodeEditDocument::EnsureOneLine() {
    if (LineCount() == 0) lines_->AddLine("");
}

std::string TCodeEditDocument::Text() const {
    std::vector<std::string> all;
    for (int y = 1; y <= LineCount(); ++y)
        all.push_back(Line(y));
    return JoinLines(all);
}

void TCodeEditDocument::SetText(std::string_view text) {
    lines_->BeginUpdate();
    lines_->ClearLines();
    ClearUndo();
    if (!text.empty())
        for (const auto& line : SplitLines(text))
            lines_->AddLine(line);
    lines_->EndUpdate();
}

// ---- Recording ----

TCodeEditDocument::SpanCapture TCodeEditDocument::BeginSpan(int firstLine, int lastLine) const {
    SpanCapture capture;
    capture.OldCount = LineCount();
    capture.FirstLine = std::clamp(firstLine - 1, 0, capture.OldCount);
    int last = std::min(lastLine - 1, capture.OldCount - 1);
    for (int i = capture.FirstLine; i <= last; ++i)
        capture.Lines.emplace_back(lines_->LineAt(i));
    return capture;
}

TCodeLineSpan TCodeEditDocument::EndSpan(SpanCapture capture) const {
    TCodeLineSpan span;
    span.FirstLine = capture.FirstLine;
    span.ReplacedCount = static_cast<int>(capture.Lines.size()) + LineCount() - capture.OldCount;
    span.Lines = std::move(capture.Lines);
    return span;
}

void TCodeEditDocument::Record(TCodeChangeReason reason, TCodePoint start, TCodePoint end,
                               std::string text, TCodeSelectionMode mode, SpanCapture capture) {
    if (!IsRecordedChange()) return;
    TCodeLineSpan span = EndSpan(std::move(capture));
    if (Unchanged(span, *lines_)) return;
    undoList_.RecordChange(reason, start, mode, std::move(text), end, std::move(span));
}

// ---- Undo lists ----

void TCodeEditDocument::UndoListAdded() {
    modified_ = undoList_.HasRecords() || undoList_.Full();
    if (!redoing_) redoList_.ClearRecords();
    if (OnChange) OnChange();
}

void TCodeEditDocument::RedoListAdded() {
    modified_ = undoList_.HasRecords() || undoList_.Full();
    if (OnChange) OnChange();
}

void TCodeEditDocument::ClearUndo() {
    undoList_.ClearRecords();
    redoList_.ClearRecords();
    modified_ = false;
}

void TCodeEditDocument::SetMaxUndo(int maximum) {
    undoList_.SetMaximum(maximum);
    redoList_.SetMaximum(maximum);
}

// ---- Bookmarks ----

std::optional<TCodePoint> TCodeEditDocument::Bookmark(int number) const {
    if (number < 0 || number >= kBookmarkCount) return std::nullopt;
    return bookmarks_[number];
}

void TCodeEditDocument::SetBookmark(int number, TCodePoint point) {
    if (number < 0 || number >= kBookmarkCount) return;
    bookmarks_[number] = point;
}

void TCodeEditDocument::ClearBookmark(int number) {
    if (number < 0 || number >= kBookmarkCount) return;
    bookmarks_[number].reset();
}

void TCodeEditDocument::ClearBookmarks() {
    bookmarks_.fill(std::nullopt);
}

void TCodeEditDocument::LinesInserted(int afterLine, int count) {
    if (count <= 0) return;
    for (auto& mark : bookmarks_)
        if (mark && mark->Y > afterLine) mark->Y += count;
}

void TCodeEditDocument::LinesRemoved(int firstLine, int count) {
    if (count <= 0) return;
    for (auto& mark : bookmarks_) {
        if (!mark || mark->Y < firstLine) continue;
        mark->Y = mark->Y >= firstLine + count ? mark->Y - count : std::max(1, firstLine - 1);
    }
}

} // namespace plotalon
