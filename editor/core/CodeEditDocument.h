#pragma once
// The text of one editor pane and what belongs to the text rather than to a view of it: the
// line list, the undo and redo lists with the modified state, and the bookmarks. The editor
// model (TCodeEditCore) edits the text through it; caret, selection and view stay there.
//
// The document tells the editor's recorded changes from changes made behind its back
// (loading, the conversion appending lines, direct edits of Lines()), and IsRecordedChange is
// the one place that decides it: a recorded change goes onto the undo list, any other change
// empties both undo lists, since their records no longer fit the text.
//
// Lines are 1-based here, as positions are; the list itself counts from 0.

#include "editor/CodeEditStringList.h"
#include "editor/core/CodeEditUndo.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plotalon {

class TCodeEditDocument {
public:
    static constexpr int kBookmarkCount = 10;
    enum class Direction { Undo, Redo };

    TCodeEditDocument();
    ~TCodeEditDocument();
    TCodeEditDocument(const TCodeEditDocument&) = delete;
    TCodeEditDocument& operator=(const TCodeEditDocument&) = delete;

    // The list's own event slots belong to the document; follow the list through the
    // document's OnLine... events below.
    TCodeEditStringList& Lines() { return *lines_; }
    const TCodeEditStringList& Lines() const { return *lines_; }
    int LineCount() const { return lines_->Count(); }
    // At least 1: an empty text still has a line 1 to stand on.
    int MaxLine() const { return LineCount() > 0 ? LineCount() : 1; }
    std::string Line(int y) const; // empty outside the text
    void SetLine(int y, std::string_view text);
    void EnsureOneLine();
    // The whole text, lines joined by CR LF (no break after the last line).
    std::string Text() const;
    // Replaces the text (lines split at CR LF, CR or LF) as one change of the list; empties
    // both undo lists.
    void SetText(std::string_view text);

    // ---- Recording ----

    // Marks the editor's own changes for its lifetime: they are recorded for undo, and the
    // list's events that they cause leave the undo lists and positions alone. Nests.
    class RecordedChange {
    public:
        explicit RecordedChange(TCodeEditDocument& document) : document_(document) {
            ++document_.recordedChanges_;
        }
        ~RecordedChange() { --document_.recordedChanges_; }
        RecordedChange(const RecordedChange&) = delete;
        RecordedChange& operator=(const RecordedChange&) = delete;

    private:
        TCodeEditDocument& document_;
    };
    // Whether the change of the lines under way is one of the editor's own, recorded for
    // undo; otherwise it is made behind the document's back.
    bool IsRecordedChange() const { return recordedChanges_ > 0; }

    // The lines a change is about to touch, taken before it happens.
    struct SpanCapture {
        int FirstLine = 0; // 0-based
        int OldCount = 0;
        std::vector<std::string> Lines;
    };
    SpanCapture BeginSpan(int firstLine, int lastLine) const;
    // Pushes a change onto the undo list, with the lines that capture took before it, when it
    // is a recorded change and those lines did change.
    void Record(TCodeChangeReason reason, TCodePoint start, TCodePoint end, std::string text,
                TCodeSelectionMode mode, SpanCapture capture);

    // ---- Undo and redo ----

    TCodeEditUndoList& UndoList() { return undoList_; }
    TCodeEditUndoList& RedoList() { return redoList_; }
    const TCodeEditUndoList& UndoList() const { return undoList_; }
    const TCodeEditUndoList& RedoList() const { return redoList_; }
    bool Modified() const { return modified_; }
    void SetModified(bool on) { modified_ = on; }
    // Empties both lists; the text counts as unmodified.
    void ClearUndo();
    // Applies to both lists.
    void SetMaxUndo(int maximum);

    // Told after each record that Revert put back, with the lines already changed, so that the
    // editor can place its caret and selection.
    using TRevertedEvent = std::function<void(const TCodeEditUndoItem& item, Direction direction)>;
    // Reverts one step of the undo list (Undo) or the redo list (Redo), newest first, and
    // moves its records to the other list: the records of one change number, or with
    // groupUndo also the following ones of the same reason; a bracketed group as a whole.
    void Revert(Direction direction, bool groupUndo, const TRevertedEvent& reverted);

    // ---- Bookmarks 0..9: a position, or none ----

    std::optional<TCodePoint> Bookmark(int number) const;
    void SetBookmark(int number, TCodePoint point); // as given: the editor clamps
    void ClearBookmark(int number);
    void ClearBookmarks();
    // Bookmarks follow the lines that an edit inserted or removed.
    void LinesInserted(int afterLine, int count);
    void LinesRemoved(int firstLine, int count);

    // ---- Events ----

    // The editor on top of the document, which holds positions in the text: it hears of a
    // change before the hooks below do, and of the end of a change after them, so that its
    // positions are in the text whenever a hook looks.
    struct TFollower {
        // A change behind the document's back may have taken away the line or column a
        // position stands on: move the positions back into the text.
        std::function<void()> KeepPositionsInText;
        std::function<void()> LinesCleared; // before OnLinesCleared
        std::function<void()> ChangeEnded;  // after OnLinesChanged
    };
    void SetFollower(TFollower follower) { follower_ = std::move(follower); }

    std::function<void()> OnChange; // after a record went onto either list
    // The line list's events, after the document and its follower followed them: a change
    // made behind its back has emptied the undo lists, and clearing the lines has emptied the
    // undo lists and the bookmarks.
    TCodeEditStringList::TIndexEvent OnLineAdded;
    TCodeEditStringList::TIndexEvent OnLineDeleted;
    TCodeEditStringList::TIndexEvent OnLineInserted;
    TCodeEditStringList::TIndexEvent OnLineReplaced;
    TCodeEditStringList::TNotifyEvent OnLinesCleared;
    TCodeEditStringList::TNotifyEvent OnLinesChanging;
    TCodeEditStringList::TNotifyEvent OnLinesChanged;

private:
    TCodeLineSpan EndSpan(SpanCapture capture) const;
    void HookLineEvents();
    void UndoListAdded();
    void RedoListAdded();
    void RevertItem(const TCodeEditUndoItem& item, Direction direction,
                    const TRevertedEvent& reverted);
    TCodeLineSpan ApplySpan(const TCodeLineSpan& span);

    std::unique_ptr<TCodeEditStringList> lines_;
    TCodeEditUndoList undoList_;
    TCodeEditUndoList redoList_;
    bool modified_ = false;
    bool redoing_ = false;
    int recordedChanges_ = 0; // read only by IsRecordedChange
    std::array<std::optional<TCodePoint>, kBookmarkCount> bookmarks_;
    TFollower follower_;
};

} // namespace plotalon
