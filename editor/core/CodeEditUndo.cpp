#include "editor/core/CodeEditUndo.h"

namespace plotalon {

bool TCodeEditUndoList::RecordChange(TCodeChangeReason reason, TCodePoint start,
                                     TCodeSelectionMode mode, std::string text, TCodePoint end,
                                     TCodeLineSpan span) {
    if (Locked()) return false;
    auto item = std::make_unique<TCodeEditUndoItem>();
    item->Reason = reason;
    item->SelectionMode = mode;
    item->Start = start;
    item->End = end;
    item->Text = std::move(text);
    item->Span = std::move(span);
    if (blockChangeNumber_ != 0) {
        item->ChangeNumber = blockChangeNumber_;
    } else {
        item->ChangeNumber = nextChangeNumber_;
        IncrementChangeNumber();
    }
    items_.push_back(std::move(item));
    DropOverflow();
    if (onAdded_) onAdded_();
    return true;
}

void TCodeEditUndoList::IncrementChangeNumber() {
    ++nextChangeNumber_;
    if (nextChangeNumber_ == 0) nextChangeNumber_ = 1;
}

void TCodeEditUndoList::DropOverflow() {
    if (static_cast<int>(items_.size()) <= maximum_) return;
    items_.erase(items_.begin(), items_.begin() + (items_.size() - maximum_));
    full_ = true;
}

void TCodeEditUndoList::OpenBlock() {
    ++blockDepth_;
    blockChangeNumber_ = nextChangeNumber_;
}

void TCodeEditUndoList::CloseBlock() {
    if (blockDepth_ <= 0) return;
    if (--blockDepth_ == 0) {
        blockChangeNumber_ = 0;
        IncrementChangeNumber();
    }
}

void TCodeEditUndoList::ClearRecords() {
    items_.clear();
    full_ = false;
}

const TCodeEditUndoItem* TCodeEditUndoList::TopRecord() const {
    return items_.empty() ? nullptr : items_.back().get();
}

std::unique_ptr<TCodeEditUndoItem> TCodeEditUndoList::TakeTopRecord() {
    if (items_.empty()) return nullptr;
    auto item = std::move(items_.back());
    items_.pop_back();
    return item;
}

TCodeChangeReason TCodeEditUndoList::TopReason() const {
    return items_.empty() ? TCodeChangeReason::crNothing : items_.back()->Reason;
}

void TCodeEditUndoList::SetMaximum(int maximum) {
    maximum_ = maximum < 0 ? 0 : maximum;
    DropOverflow();
}

} // namespace plotalon
