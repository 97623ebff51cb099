#pragma once
// Undo and redo records of an editor pane and the stack that holds them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plotalon {

// 1-based (column, line) position in a pane's text.
struct TCodePoint {
    int X = 1; // column
    int Y = 1; // line
    friend bool operator==(const TCodePoint&, const TCodePoint&) = default;
};

// Earlier position first: by line, then by column.
inline bool PointBefore(const TCodePoint& a, const TCodePoint& b) {
    return a.Y < b.Y || (a.Y == b.Y && a.X < b.X);
}

enum class TCodeSelectionMode : std::uint8_t { smNormal = 0, smLine = 1, smColumn = 2 };

enum class TCodeChangeReason : std::uint8_t {
    crInsert = 0,
    crPaste = 1,
    crDragDropInsert = 2,
    crDelete = 3,
    crDeleteSelection = 4,
    crLineBreak = 5,
    crIndent = 6,
    crUnindent = 7,
    crDeleteBeforeCaret = 8,
    crDeleteAfterCaret = 9,
    crGroupBegin1 = 10,
    crGroupEnd1 = 11,
    crGroupBegin2 = 12,
    crGroupEnd2 = 13,
    crGroupBegin3 = 14,
    crGroupEnd3 = 15,
    crNothing = 16,
};

// The lines a change touched, as they were before it: reverting a record puts Lines back in
// place of the ReplacedCount lines that start at FirstLine (0-based). Keeping whole lines
// makes undo exact whatever the selection mode, padding and trimming did to them.
struct TCodeLineSpan {
    int FirstLine = 0;
    int ReplacedCount = 0;
    std::vector<std::string> Lines;
};

struct TCodeEditUndoItem {
    TCodeChangeReason Reason = TCodeChangeReason::crNothing;
    TCodeSelectionMode SelectionMode = TCodeSelectionMode::smNormal;
    TCodePoint Start;
    TCodePoint End;
    std::string Text; // what the change removed or overwrote; lines joined by CR LF
    int ChangeNumber = 0;
    TCodeLineSpan Span;
};

class TCodeEditUndoList {
public:
    static constexpr int kDefaultMaximum = 1024;

    // Pushes a record unless the list is locked; returns whether it was accepted.
    bool RecordChange(TCodeChangeReason reason, TCodePoint start, TCodeSelectionMode mode,
                      std::string text, TCodePoint end, TCodeLineSpan span = {});

    void OpenBlock();
    void CloseBlock();
    int BlockChangeNumber() const { return blockChangeNumber_; }
    void SetBlockChangeNumber(int number) { blockChangeNumber_ = number; }
    int BlockDepth() const { return blockDepth_; }
    int NextChangeNumber() const { return nextChangeNumber_; }

    void Suspend() { ++lockCount_; }
    void Resume() {
        if (lockCount_ > 0) --lockCount_;
    }
    bool Locked() const { return lockCount_ > 0; }

    void ClearRecords();
    bool HasRecords() const { return !items_.empty(); }
    int RecordCount() const { return static_cast<int>(items_.size()); }
    const TCodeEditUndoItem* TopRecord() const;
    std::unique_ptr<TCodeEditUndoItem> TakeTopRecord();
    TCodeChangeReason TopReason() const;
    const TCodeEditUndoItem& RecordAt(int index) const { return *items_.at(index); }

    int Maximum() const { return maximum_; }
    void SetMaximum(int maximum);
    bool Full() const { return full_; }

    // Called after each accepted record.
    void SetOnAdded(std::function<void()> handler) { onAdded_ = std::move(handler); }

private:
    void IncrementChangeNumber();
    void DropOverflow();

    std::vector<std::unique_ptr<TCodeEditUndoItem>> items_;
    int maximum_ = kDefaultMaximum;
    int nextChangeNumber_ = 1;
    int blockChangeNumber_ = 0;
    int blockDepth_ = 0;
    int lockCount_ = 0;
    bool full_ = false;
    std::function<void()> onAdded_;
};

} // namespace plotalon
