// Undo and redo of a document: records move between the two lists, reverted newest first, in
// steps of one change number (or, when the editor groups undo, of one reason).

#include "editor/core/CodeEditDocument.h"

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

} // namespace

void TCodeEditDocument::Revert(Direction direction, bool groupUndo,
                               const TRevertedEvent& reverted) {
    // Putting records back is the editor's own change, recorded on the other list.
    RecordedChange own(*this);
    TCodeEditUndoList& source = direction == Direction::Undo ? undoList_ : redoList_;
    TCodeEditUndoList& target = direction == Direction::Undo ? redoList_ : undoList_;
    if (!source.HasRecords()) return;
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
            RevertItem(*item, direction, reverted);
            const TCodeEditUndoItem* next = source.TopRecord();
            if (!next) break;
            bool more = bracket
                            ? next->Reason != partner
                            : next->ChangeNumber == number || (groupUndo && next->Reason == reason);
            if (!more) break;
        }
        if (bracket && source.TopRecord() && source.TopRecord()->Reason == partner) {
            auto item = source.TakeTopRecord();
            RevertItem(*item, direction, reverted);
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

TCodeLineSpan TCodeEditDocument::ApplySpan(const TCodeLineSpan& span) {
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

void TCodeEditDocument::RevertItem(const TCodeEditUndoItem& item, Direction direction,
                                   const TRevertedEvent& reverted) {
    TCodeLineSpan inverse = ApplySpan(item.Span);
    TCodeEditUndoList& target = direction == Direction::Undo ? redoList_ : undoList_;
    target.RecordChange(item.Reason, item.Start, item.SelectionMode, item.Text, item.End,
                        std::move(inverse));
    if (reverted) reverted(item, direction);
}

} // namespace plotalon
