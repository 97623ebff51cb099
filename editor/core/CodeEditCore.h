#pragma once
// The editor model of one editor pane, without any display: caret, block begin and end,
// selection and insert mode, options, the view's metrics and the keystroke list, on top of the
// document it owns (the lines, undo and redo lists, bookmarks; TCodeEditDocument). Every
// editing action is a command (ExecuteCommand); key presses are looked up in the keystroke
// list (KeyDown / KeyPress). The view draws what this holds and tells it how many lines and
// columns are visible.
//
// Positions are 1-based (column, line) byte positions. The caret may stand beyond the end
// of its line; it never stands below the last line. Block begin and end are kept in the
// order they were set; operations use them ordered.

#include "editor/CodeEditHighlighter.h"
#include "editor/CodeEditStringList.h"
#include "editor/core/CodeEditClipboard.h"
#include "editor/core/CodeEditCommands.h"
#include "editor/core/CodeEditDocument.h"
#include "editor/core/CodeEditKeyStrokes.h"
#include "editor/core/CodeEditUndo.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plotalon {

enum TCodeEditOption : std::uint32_t {
    eoAltSetsColumnMode = 1u << 0,
    eoAutoIndent = 1u << 1,
    eoDragDropEditing = 1u << 2,
    eoDropFiles = 1u << 3,
    eoHalfPageScroll = 1u << 4,
    eoKeepCaretX = 1u << 5,
    eoNoCaret = 1u << 6,
    eoNoSelection = 1u << 7,
    eoScrollByOneLess = 1u << 8,
    eoScrollPastEof = 1u << 9,
    eoScrollPastEol = 1u << 10,
    eoShowScrollHint = 1u << 11,
    eoScrollHintFollows = 1u << 12,
    eoSmartTabs = 1u << 13,
    eoTabsToSpaces = 1u << 14,
    eoTrimTrailingSpaces = 1u << 15,
    eoSmartTabDelete = 1u << 16,
    eoGroupUndo = 1u << 17,
    eoEnhanceHomeKey = 1u << 18,
    eoSpecialLineDefaultFg = 1u << 19,
    eoRightMouseMovesCursor = 1u << 20,
};
using TCodeEditOptions = std::uint32_t;

inline constexpr TCodeEditOptions kDefaultEditOptions =
    eoAutoIndent | eoDragDropEditing | eoScrollPastEol | eoShowScrollHint | eoSmartTabs |
    eoTabsToSpaces | eoTrimTrailingSpaces | eoSmartTabDelete | eoGroupUndo;

// The bytes "()[]{}<>": pairs (0,1), (2,3), (4,5), (6,7).
inline constexpr std::string_view kBrackets = "()[]{}<>";

class TCodeEditCore {
    // First of all members, so that the event slots below can be the document's own.
    TCodeEditDocument document_;

public:
    static constexpr int kBookmarkCount = TCodeEditDocument::kBookmarkCount;
    static constexpr int kMaxScrollWidth = 1024;

    TCodeEditCore();
    ~TCodeEditCore();
    TCodeEditCore(const TCodeEditCore&) = delete;
    TCodeEditCore& operator=(const TCodeEditCore&) = delete;

    TCodeEditDocument& Document() { return document_; }
    const TCodeEditDocument& Document() const { return document_; }
    // The list's own event slots belong to the document; follow the list through the core's
    // OnLine... events below.
    TCodeEditStringList& Lines() { return document_.Lines(); }
    const TCodeEditStringList& Lines() const { return document_.Lines(); }
    // The whole text, lines joined by CR LF (no break after the last line).
    std::string Text() const { return document_.Text(); }
    // Replaces the text (lines split at CR LF, CR or LF); clears both undo lists and puts the
    // caret at the start.
    void SetText(std::string_view text);

    // Commands; the overloads carry the position of ecGotoXY / ecSelGotoXY and the text of
    // ecImeStr. Text commands record their changes for undo and do nothing when read-only.
    void ExecuteCommand(TCodeEditCommand command, char ch = 0);
    void ExecuteCommand(TCodeEditCommand command, TCodePoint point);
    void ExecuteCommand(TCodeEditCommand command, std::string_view text);

    // A key press: runs the bound command and returns true, or returns false for an unbound
    // key. KeyPress is the character message that follows; after a bound key it is swallowed,
    // otherwise it runs ecChar.
    bool KeyDown(std::uint16_t key, TShiftState shift);
    void KeyPress(char ch);
    TCodeEditKeyStrokes& KeyStrokes() { return keyStrokes_; }

    // Caret and selection.
    TCodePoint CaretXY() const { return caret_; }
    void SetCaretXY(TCodePoint point); // clamped; clears the selection
    TCodePoint BlockBegin() const { return blockBegin_; }
    TCodePoint BlockEnd() const { return blockEnd_; }
    void SetBlockBegin(TCodePoint point);
    void SetBlockEnd(TCodePoint point);
    // Selects from begin to end and puts the caret at end.
    void SetSelection(TCodePoint begin, TCodePoint end);
    bool SelAvail() const { return blockBegin_ != blockEnd_; }
    TCodeSelectionMode SelectionMode() const { return selectionMode_; }
    void SetSelectionMode(TCodeSelectionMode mode) { selectionMode_ = mode; }
    std::string SelText() const;
    // Replaces the selection (or inserts at the caret) with text, recorded for undo.
    void SetSelText(std::string_view text);

    // The three block operations on explicit positions, unrecorded: a change through them
    // counts as made behind the core's back and empties the undo lists.
    std::string SelectedText(TCodeSelectionMode mode, TCodePoint begin, TCodePoint end) const;
    void DeleteSelection(TCodeSelectionMode mode, TCodePoint begin, TCodePoint end);
    // Inserts at point; returns the caret position after the text.
    TCodePoint InsertText(TCodeSelectionMode mode, TCodePoint point, std::string_view text);

    // Modes and options.
    bool InsertMode() const { return insertMode_; }
    void SetInsertMode(bool on) { insertMode_ = on; }
    TCodeEditOptions Options() const { return options_; }
    void SetOptions(TCodeEditOptions options) { options_ = options; }
    bool HasOption(TCodeEditOption option) const { return (options_ & option) != 0; }
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    bool Modified() const { return document_.Modified(); }
    void SetModified(bool on) { document_.SetModified(on); }

    // Bookmarks 0..9: a position, or none.
    std::optional<TCodePoint> Bookmark(int number) const { return document_.Bookmark(number); }
    void SetBookmark(int number, TCodePoint point); // clamped
    void ClearBookmark(int number) { document_.ClearBookmark(number); }
    bool BookmarkKeys() const { return bookmarkKeys_; }
    void SetBookmarkKeys(bool on) { bookmarkKeys_ = on; }

    // Undo and redo.
    TCodeEditUndoList& UndoList() { return document_.UndoList(); }
    TCodeEditUndoList& RedoList() { return document_.RedoList(); }
    void Undo();
    void Redo();
    bool CanUndo() const { return !readOnly_ && document_.UndoList().HasRecords(); }
    bool CanRedo() const { return !readOnly_ && document_.RedoList().HasRecords(); }
    void ClearUndo() { document_.ClearUndo(); }
    // Applies to both lists.
    void SetMaxUndo(int maximum) { document_.SetMaxUndo(maximum); }

    // The view: its first visible line and column and how many lines and columns it shows
    // fully. Page and scroll commands use them.
    int TopLine() const { return topLine_; }
    void SetTopLine(int line);
    int LeftChar() const { return leftChar_; }
    void SetLeftChar(int column);
    int LinesInWindow() const { return linesInWindow_; }
    int CharsInWindow() const { return charsInWindow_; }
    void SetWindowSize(int lines, int columns);

    // The highlighter whose identifier characters make words and whose attributes tell
    // bracket matching what to skip; nullptr for none. Not owned.
    TCodeCustomHighlighter* Highlighter() const { return highlighter_; }
    void SetHighlighter(TCodeCustomHighlighter* highlighter);

    // The clipboard; the core starts with an in-memory one of its own. Not owned.
    Clipboard& GetClipboard() { return *clipboard_; }
    void SetClipboard(Clipboard* clipboard);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // Dropping the dragged selection at target: a copy, or a move when move is set. The
    // dropped text ends up selected; one undo step. A drop into the selection itself does
    // nothing.
    void DropSelection(TCodePoint target, bool move);
    // Dropping text dragged from elsewhere (another pane, another program) at target, in
    // mode: recorded as one drag-and-drop step and selected afterwards.
    void DropText(TCodePoint target, std::string_view text, TCodeSelectionMode mode);
    // Selects the word at point (a double-click); nothing when there is no word.
    void SelectWordAt(TCodePoint point);

    // Word helpers (word characters: the highlighter's identifier characters).
    TCodePoint NextWordPos(TCodePoint from) const;
    TCodePoint PrevWordPos(TCodePoint from) const;
    std::string WordAt(TCodePoint point) const;

    // Callbacks for the view.
    // After a recorded change, undo or redo; the document's slot.
    std::function<void()>& OnChange = document_.OnChange;
    // Caret, selection or mode moved; also when a change of the lines behind the core's back
    // moved the caret or block ends back into the text (once, at the end of that change).
    std::function<void()> OnStatusChange;
    std::function<void(const std::string& word)> OnContextHelp;

    // The line list's events: the document's slots, named here for whoever follows the list
    // through the core (range rescans, repaint). A change that does not come from the core's
    // recorded commands (loading, the conversion appending lines, direct edits of Lines())
    // empties both undo lists, since their records no longer fit the text, and moves caret
    // and block ends that it left outside the text back into it, before the event reaches
    // these hooks. Slots of their own would cost every appended line another call.
    TCodeEditStringList::TIndexEvent& OnLineAdded = document_.OnLineAdded;
    TCodeEditStringList::TIndexEvent& OnLineDeleted = document_.OnLineDeleted;
    TCodeEditStringList::TIndexEvent& OnLineInserted = document_.OnLineInserted;
    TCodeEditStringList::TIndexEvent& OnLineReplaced = document_.OnLineReplaced;
    TCodeEditStringList::TNotifyEvent& OnLinesCleared = document_.OnLinesCleared;
    TCodeEditStringList::TNotifyEvent& OnLinesChanging = document_.OnLinesChanging;
    TCodeEditStringList::TNotifyEvent& OnLinesChanged = document_.OnLinesChanged;

private:
    using SpanCapture = TCodeEditDocument::SpanCapture;

    // Lines, 1-based.
    int LineCount() const { return document_.LineCount(); }
    std::string Line(int y) const { return document_.Line(y); }
    void SetLine(int y, std::string_view text) { document_.SetLine(y, text); }
    void SetLineTrimmed(int y, std::string text);
    int MaxLine() const { return document_.MaxLine(); }
    TCodePoint Clamp(TCodePoint point) const;
    TCharSet WordChars() const;

    // Line y becomes joined and line y + 1 goes, in one update bracket.
    void JoinWithNextLine(int y, const std::string& joined);

    // Caret.
    void MoveCaret(TCodePoint to, bool select);
    void ClearSelectionAtCaret();
    void StatusChanged();

    // Commands.
    void Movement(TCodeEditCommand command, const TCodePoint* point);
    void ScrollCommand(TCodeEditCommand command);
    void ModeCommand(TCodeEditCommand command);
    void BookmarkCommand(TCodeEditCommand command);
    void EditCommand(TCodeEditCommand command, char ch, std::string_view text);
    void DeleteRecordedSelection(TCodeChangeReason reason);
    void DeleteRange(TCodePoint from, TCodePoint to, TCodeChangeReason reason);
    void DeleteLastChar();
    void DeleteChar();
    void DeleteLine();
    void ClearAll();
    void LineBreak(bool moveCaret);
    void TypeText(std::string_view text);
    void InsertAtCaret(std::string_view text, bool overwrite, int caretAdvance);
    void ReplaceSelectionRecorded(std::string_view text, TCodeSelectionMode mode,
                                  TCodeChangeReason reason);
    // Inserts text at a position in mode, recorded as one change.
    struct InsertedSpan {
        TCodePoint Start, Stop;
    };
    InsertedSpan InsertRecorded(TCodePoint at, std::string_view text, TCodeSelectionMode mode,
                                TCodeChangeReason reason);
    // Selects dropped text in its mode.
    void SelectDropped(InsertedSpan dropped, TCodeSelectionMode mode);
    void Tab();
    void ShiftTab();
    void BlockIndent();
    void BlockUnindent();
    void MatchBracket();
    bool BracketIgnored(int y, int x) const;
    int SmartTabWidth(TCodePoint at) const;

    void HighlighterDestroyed(TCodeCustomHighlighter* sender);

    // Marks the commands' changes as the editor's own, recorded for undo.
    using RecordedChange = TCodeEditDocument::RecordedChange;
    // One begin-update/end-update pair of the line list for its lifetime.
    class LinesUpdate {
    public:
        explicit LinesUpdate(TCodeEditStringList& lines) : lines_(lines) { lines_.BeginUpdate(); }
        ~LinesUpdate() { lines_.EndUpdate(); }
        LinesUpdate(const LinesUpdate&) = delete;
        LinesUpdate& operator=(const LinesUpdate&) = delete;

    private:
        TCodeEditStringList& lines_;
    };
    void FollowDocument();
    void KeepPositionsInText();
    // Sets caret and block ends, noting for the end of the list's change whether they moved.
    void PlacePositions(TCodePoint caret, TCodePoint begin, TCodePoint end);

    void Revert(TCodeEditDocument::Direction direction);
    // Caret and selection after the document put back one record.
    void PlaceAfterRevert(const TCodeEditUndoItem& item, TCodeEditDocument::Direction direction);

    TCodePoint caret_;
    TCodePoint blockBegin_;
    TCodePoint blockEnd_;
    TCodeSelectionMode selectionMode_ = TCodeSelectionMode::smNormal;
    bool insertMode_ = true;
    TCodeEditOptions options_ = kDefaultEditOptions;
    int tabWidth_ = 8;
    bool readOnly_ = false;
    bool bookmarkKeys_ = true;
    bool positionsMoved_ = false; // by a change behind the core's back; told at its end
    TCodeEditKeyStrokes keyStrokes_;
    bool swallowChar_ = false;
    int topLine_ = 1;
    int leftChar_ = 1;
    int linesInWindow_ = 1;
    int charsInWindow_ = 1;
    TCodeCustomHighlighter* highlighter_ = nullptr;
    InMemoryClipboard ownClipboard_;
    Clipboard* clipboard_ = &ownClipboard_;
};

} // namespace plotalon
