// Undo and redo: records move between the two lists, reverted newest first, in steps of one
// change number (or, with eoGroupUndo, of one reason).

#include "editor/core/CodeEditCore.h"

#include <algorithm>

namespace plotalon {

namespace {

using R = TCodeChangeReason;

bool IsGroupEnd(R reason) {
    return reason == R::crGroupEnd1 || reason == R::crGroupEnd2 || reason == R::crGroupEnd3;
}

bool IsGroupBegin(R reason) {
    return reason == R::crGroupBegin1 || reason == R::crGroupBegin2 || reason == R::crGroupBegin3;
}

bool IsInsertion(R reason) {
    return reason == R::crInsert || reason == R::crPaste || reason == R::crDragDropInsert;
}

bool IsDeletion(R reason) {
    return reason == R::crDelete || reason == R::crDeleteSelection ||
           reason == R::crDeleteBeforeCaret || reason == R::crDeleteAfterCaret;
}

} // namespace

void TCodeEditCore::ClearUndo() {
    undoList_.ClearRecords();
    redoList_.ClearRecords();
    modified_ = false;
}

void TCodeEditCore::SetMaxUndo(int maximum) {
    undoList_.SetMaximum(maximum);
    redoList_.SetMaximum(maximum);
}

void TCodeEditCore::Undo() {
    OwnChange own(*this);
    Revert(Direction::Undo);
}

void TCodeEditCore::Redo() {
    OwnChange own(*this);
    Revert(Direction::Redo);
}

void TCodeEditCore::Revert(Direction direction) {
    TCodeEditUndoList& source = direction == Direction::Undo ? undoList_ : redoList_;
    TCodeEditUndoList& target = direction == Direction::Undo ? redoList_ : undoList_;
    if (readOnly_ || !source.HasRecords()) return;
    R reason = source.TopReason();
    int number = source.TopRecord()->ChangeNumber;
    // A bracketed group is closed by its end record on the undo side and by its begin record
    // on the redo side; the partner is one reason value away.
    bool bracket = direction == Direction::Undo ? IsGroupEnd(reason) : IsGroupBegin(reason);
    R partner = static_cast<R>(static_cast<int>(reason) + (direction == Direction::Undo ? -1 : 1));
    bool wasRedoing = redoing_;
    redoing_ = direction == Direction::Redo;
    target.SetBlockChangeNumber(number);
    lines_->BeginUpdate();
    try {
        while (true) {
            auto item = source.TakeTopRecord();
            RevertItem(*item, direction);
            const TCodeEditUndoItem* next = source.TopRecord();
            if (!next) break;
            bool more = bracket ? next->Reason != partner
                                : next->ChangeNumber == number ||
                                      (HasOption(eoGroupUndo) && next->Reason == reason);
            if (!more) break;
        }
        if (bracket && source.TopRecord() && source.TopRecord()->Reason == partner) {
            auto item = source.TakeTopRecord();
            RevertItem(*item, direction);
        }
    } catch (...) {
        target.SetBlockChangeNumber(0);
        redoing_ = wasRedoing;
        lines_->EndUpdate();
        throw;
    }
    target.SetBlockChangeNumber(0);
    redoing_ = wasRedoing;
    lines_->EndUpdate();
}

TCodeLineSpan TCodeEditCore::ApplySpan(const TCodeLineSpan& span) {
    TCodeLineSpan inverse;
    int first = std::clamp(span.FirstLine, 0, LineCount());
    int replaced = std::clamp(span.ReplacedCount, 0, LineCount() - first);
    inverse.FirstLine = first;
    inverse.ReplacedCount = static_cast<int>(span.Lines.size());
    for (int i = 0; i < replaced; ++i)
        inverse.Lines.emplace_back(lines_->LineAt(first + i));
    int common = std::min<int>(replaced, static_cast<int>(span.Lines.size()));
    for (int i = 0; i < common; ++i)
        if (lines_->LineAt(first + i) != span.Lines[i])
            lines_->ReplaceLine(first + i, span.Lines[i]);
    if (replaced > common) {
        lines_->DeleteLines(first + common, replaced - common);
        LinesRemoved(first + common + 1, replaced - common);
    } else if (static_cast<int>(span.Lines.size()) > common) {
        int added = static_cast<int>(span.Lines.size()) - common;
        lines_->InsertLines(first + common, added);
        for (int i = common; i < static_cast<int>(span.Lines.size()); ++i)
            lines_->ReplaceLine(first + i, span.Lines[i]);
        LinesInserted(first + common, added);
    }
    return inverse;
}

void TCodeEditCore::RevertItem(const TCodeEditUndoItem& item, Direction direction) {
    TCodeLineSpan inverse = ApplySpan(item.Span);
    TCodeEditUndoList& target = direction == Direction::Undo ? redoList_ : undoList_;
    target.RecordChange(item.Reason, item.Start, item.SelectionMode, item.Text, item.End,
                        std::move(inverse));
    TCodePoint start = Clamp(item.Start);
    TCodePoint end = Clamp(item.End);
    TCodePoint earlier = PointBefore(end, start) ? end : start;
    TCodePoint later = PointBefore(end, start) ? start : end;
    R reason = item.Reason;
    if (direction == Direction::Undo) {
        if (IsInsertion(reason) || reason == R::crLineBreak) {
            SetCaretXY(start);
        } else if (IsDeletion(reason)) {
            bool toEnd = reason == R::crDeleteSelection || reason == R::crDeleteBeforeCaret;
            SetCaretXY(toEnd ? end : start);
            if (reason == R::crDelete || reason == R::crDeleteSelection) {
                SetSelection(earlier, later);
                caret_ = Clamp(toEnd ? end : start);
            }
        } else if (reason == R::crIndent || reason == R::crUnindent) {
            SetSelection(start, end);
        }
    } else {
        if (IsInsertion(reason) || reason == R::crLineBreak) {
            SetCaretXY(end);
            if (reason == R::crDragDropInsert) SetSelection(start, end);
        } else if (IsDeletion(reason)) {
            SetCaretXY(earlier);
        } else if (reason == R::crIndent || reason == R::crUnindent) {
            SetSelection(start, end);
        }
    }
}

} // namespace plotalon
