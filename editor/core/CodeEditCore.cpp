#include "editor/core/CodeEditCore.h"

#include "editor/CodeEditHighlighterLink.h"
#include "editor/core/CodeEditText.h"

#include <algorithm>
#include <utility>

namespace plotalon {

namespace {

bool IsMovement(TCodeEditCommand command) {
    return (command >= ecLeft && command <= ecGotoXY) ||
           (command >= ecSelLeft && command <= ecSelGotoXY) || command == ecSelectAll;
}

bool IsScroll(TCodeEditCommand command) {
    return command >= ecScrollUp && command <= ecScrollRight;
}

bool IsMode(TCodeEditCommand command) {
    return (command >= ecInsertMode && command <= ecToggleMode) ||
           (command >= ecNormalSelect && command <= ecLineSelect);
}

bool IsBookmark(TCodeEditCommand command) {
    return (command >= ecGotoMarker0 && command <= ecGotoMarker9) ||
           (command >= ecSetMarker0 && command <= ecSetMarker9);
}

using R = TCodeChangeReason;

bool IsInsertion(R reason) {
    return reason == R::crInsert || reason == R::crPaste || reason == R::crDragDropInsert;
}

bool IsDeletion(R reason) {
    return reason == R::crDelete || reason == R::crDeleteSelection ||
           reason == R::crDeleteBeforeCaret || reason == R::crDeleteAfterCaret;
}

} // namespace

TCodeEditCore::TCodeEditCore() {
    keyStrokes_.ResetDefaults();
    Lines().SetTabWidth(tabWidth_);
    FollowDocument();
}

TCodeEditCore::~TCodeEditCore() {
    SetHighlighter(nullptr);
    document_.SetFollower({});
}

void TCodeEditCore::FollowDocument() {
    TCodeEditDocument::TFollower follower;
    follower.KeepPositionsInText = [this] { KeepPositionsInText(); };
    follower.LinesCleared = [this] {
        PlacePositions(TCodePoint{}, TCodePoint{}, TCodePoint{});
        topLine_ = leftChar_ = 1;
    };
    // Once per change of the list, however many lines it took.
    follower.ChangeEnded = [this] {
        if (std::exchange(positionsMoved_, false)) StatusChanged();
    };
    document_.SetFollower(std::move(follower));
}

void TCodeEditCore::KeepPositionsInText() {
    PlacePositions(Clamp(caret_), Clamp(blockBegin_), Clamp(blockEnd_));
}

void TCodeEditCore::PlacePositions(TCodePoint caret, TCodePoint begin, TCodePoint end) {
    if (caret == caret_ && begin == blockBegin_ && end == blockEnd_) return;
    caret_ = caret;
    blockBegin_ = begin;
    blockEnd_ = end;
    positionsMoved_ = true;
}

// ---- Text ----

void TCodeEditCore::SetLineTrimmed(int y, std::string text) {
    if (HasOption(eoTrimTrailingSpaces)) text = TrimTrailing(text);
    SetLine(y, text);
}

TCodePoint TCodeEditCore::Clamp(TCodePoint point) const {
    point.Y = std::clamp(point.Y, 1, MaxLine());
    int lineEnd = static_cast<int>(Lines().LineAt(point.Y - 1).size()) + 1;
    // Beyond the line end only with eoScrollPastEol, and never further than the scroll width,
    // so that typing there cannot pad a line without bound.
    int widest = HasOption(eoScrollPastEol) ? std::max(kMaxScrollWidth, lineEnd) : lineEnd;
    point.X = std::clamp(point.X, 1, widest);
    return point;
}

void TCodeEditCore::SetText(std::string_view text) {
    Lines().BeginUpdate();
    document_.SetText(text);
    caret_ = blockBegin_ = blockEnd_ = TCodePoint{};
    positionsMoved_ = true; // told at the end of this change of the list
    Lines().EndUpdate();
}

void TCodeEditCore::SetTabWidth(int width) {
    tabWidth_ = std::clamp(width, 1, 65536);
    Lines().SetTabWidth(tabWidth_);
}

TCharSet TCodeEditCore::WordChars() const {
    return plotalon::WordChars(highlighter_);
}

void TCodeEditCore::SetHighlighter(TCodeCustomHighlighter* highlighter) {
    if (highlighter == highlighter_) return;
    auto hook = TNotifyEvent::Of<&TCodeEditCore::HighlighterDestroyed>(this);
    if (highlighter_) highlighter_->UnhookDestroy(hook);
    highlighter_ = highlighter;
    if (highlighter_) highlighter_->HookDestroy(hook);
}

void TCodeEditCore::HighlighterDestroyed(TCodeCustomHighlighter* sender) {
    if (sender == highlighter_) highlighter_ = nullptr;
}

void TCodeEditCore::SetClipboard(Clipboard* clipboard) {
    clipboard_ = clipboard ? clipboard : &ownClipboard_;
}

// ---- Caret and selection ----

void TCodeEditCore::StatusChanged() {
    if (OnStatusChange) OnStatusChange();
}

void TCodeEditCore::SetCaretXY(TCodePoint point) {
    caret_ = Clamp(point);
    blockBegin_ = blockEnd_ = caret_;
    StatusChanged();
}

void TCodeEditCore::SetBlockBegin(TCodePoint point) {
    blockBegin_ = Clamp(point);
    StatusChanged();
}

void TCodeEditCore::SetBlockEnd(TCodePoint point) {
    blockEnd_ = Clamp(point);
    StatusChanged();
}

void TCodeEditCore::SetSelection(TCodePoint begin, TCodePoint end) {
    blockBegin_ = Clamp(begin);
    blockEnd_ = Clamp(end);
    caret_ = blockEnd_;
    StatusChanged();
}

void TCodeEditCore::MoveCaret(TCodePoint to, bool select) {
    TCodePoint old = caret_;
    caret_ = Clamp(to);
    if (select) {
        if (!SelAvail()) blockBegin_ = old;
        blockEnd_ = caret_;
    } else {
        blockBegin_ = blockEnd_ = caret_;
    }
    StatusChanged();
}

void TCodeEditCore::ClearSelectionAtCaret() {
    blockBegin_ = blockEnd_ = caret_;
}

// ---- Bookmarks ----

void TCodeEditCore::SetBookmark(int number, TCodePoint point) {
    document_.SetBookmark(number, Clamp(point));
}

// ---- View metrics ----

void TCodeEditCore::SetWindowSize(int lines, int columns) {
    // Bounded, so that page arithmetic on positions cannot overflow.
    constexpr int kMost = 1 << 20;
    linesInWindow_ = std::clamp(lines, 1, kMost);
    charsInWindow_ = std::clamp(columns, 1, kMost);
    SetTopLine(topLine_);
}

void TCodeEditCore::SetTopLine(int line) {
    int last = std::max(1, LineCount() - linesInWindow_ + 1);
    if (HasOption(eoScrollPastEof)) last = MaxLine();
    topLine_ = std::clamp(line, 1, last);
}

void TCodeEditCore::SetLeftChar(int column) {
    leftChar_ = std::clamp(column, 1, std::max(1, kMaxScrollWidth - charsInWindow_ + 1));
}

// ---- Words ----

TCodePoint TCodeEditCore::NextWordPos(TCodePoint from) const {
    from = Clamp(from);
    TCharSet word = WordChars();
    auto isWord = [&](char c) { return word.test(static_cast<unsigned char>(c)); };
    std::string line = Line(from.Y);
    int len = static_cast<int>(line.size());
    int x = from.X;
    if (x > len) {
        // To the first word character of the next line.
        if (from.Y >= LineCount()) return from;
        std::string next = Line(from.Y + 1);
        int i = 0;
        while (i < static_cast<int>(next.size()) && !isWord(next[i]))
            ++i;
        return {i < static_cast<int>(next.size()) ? i + 1 : 1, from.Y + 1};
    }
    int i = x - 1;
    while (i < len && isWord(line[i]))
        ++i;
    while (i < len && !isWord(line[i]))
        ++i;
    return {i + 1, from.Y};
}

TCodePoint TCodeEditCore::PrevWordPos(TCodePoint from) const {
    from = Clamp(from);
    TCharSet word = WordChars();
    auto isWord = [&](char c) { return word.test(static_cast<unsigned char>(c)); };
    std::string line = Line(from.Y);
    int len = static_cast<int>(line.size());
    int x = std::min(from.X, len + 1);
    if (x <= 1) {
        if (from.Y <= 1) return {1, 1};
        return {static_cast<int>(Line(from.Y - 1).size()) + 1, from.Y - 1};
    }
    int i = x - 2; // the byte before the caret
    while (i >= 0 && !isWord(line[i]))
        --i;
    if (i < 0) return {1, from.Y};
    while (i >= 0 && isWord(line[i]))
        --i;
    return {i + 2, from.Y};
}

std::string TCodeEditCore::WordAt(TCodePoint point) const {
    std::string line = Line(point.Y);
    TCharSet word = WordChars();
    auto isWord = [&](int i) {
        return i >= 0 && i < static_cast<int>(line.size()) &&
               word.test(static_cast<unsigned char>(line[i]));
    };
    // Columns from 0 to two past the end all keep their meaning here: no word to the left of
    // the line, none beyond the byte after its end.
    int i = std::clamp(point.X, 0, static_cast<int>(line.size()) + 2) - 1;
    if (!isWord(i) && isWord(i - 1)) --i;
    if (!isWord(i)) return {};
    int from = i, to = i;
    while (isWord(from - 1))
        --from;
    while (isWord(to + 1))
        ++to;
    return line.substr(from, to - from + 1);
}

// ---- Keys ----

bool TCodeEditCore::KeyDown(std::uint16_t key, TShiftState shift) {
    int index = keyStrokes_.FindKeycode(key, shift);
    swallowChar_ = index >= 0;
    if (index < 0) return false;
    ExecuteCommand(keyStrokes_[index].Command());
    return true;
}

void TCodeEditCore::KeyPress(char ch) {
    if (swallowChar_) {
        swallowChar_ = false;
        return;
    }
    ExecuteCommand(ecChar, ch);
}

// ---- Command dispatch ----

void TCodeEditCore::ExecuteCommand(TCodeEditCommand command, char ch) {
    RecordedChange own(document_);
    if (IsMovement(command)) {
        Movement(command, nullptr);
    } else if (IsScroll(command)) {
        ScrollCommand(command);
    } else if (IsMode(command)) {
        ModeCommand(command);
    } else if (IsBookmark(command)) {
        BookmarkCommand(command);
    } else if (command == ecMatchBracket) {
        MatchBracket();
    } else if (command == ecCopy) {
        CopyToClipboard();
    } else if (command == ecContextHelp) {
        if (OnContextHelp) OnContextHelp(WordAt(caret_));
    } else if (command == ecUndo) {
        Undo();
    } else if (command == ecRedo) {
        Redo();
    } else {
        EditCommand(command, ch, {});
    }
}

void TCodeEditCore::ExecuteCommand(TCodeEditCommand command, TCodePoint point) {
    if (command == ecGotoXY || command == ecSelGotoXY)
        Movement(command, &point);
    else
        ExecuteCommand(command);
}

void TCodeEditCore::ExecuteCommand(TCodeEditCommand command, std::string_view text) {
    RecordedChange own(document_);
    if (command == ecImeStr)
        EditCommand(command, 0, text);
    else
        ExecuteCommand(command);
}

void TCodeEditCore::Movement(TCodeEditCommand command, const TCodePoint* point) {
    if (command == ecSelectAll) {
        if (LineCount() == 0) return;
        blockBegin_ = {1, 1};
        caret_ = blockEnd_ = {static_cast<int>(Line(LineCount()).size()) + 1, LineCount()};
        StatusChanged();
        return;
    }
    bool select = command > ecSelection;
    TCodeEditCommand move = select ? command - ecSelection : command;
    if (HasOption(eoNoSelection)) select = false;
    int page = linesInWindow_;
    if (HasOption(eoHalfPageScroll)) page = std::max(1, page / 2);
    if (HasOption(eoScrollByOneLess)) page = std::max(1, page - 1);
    TCodePoint to = Clamp(caret_);
    int lineLength = static_cast<int>(Line(to.Y).size());
    switch (move) {
    case ecLeft:
        to.X = std::max(1, to.X - 1);
        break;
    case ecRight:
        to.X += 1;
        break;
    case ecUp:
        to.Y -= 1;
        break;
    case ecDown:
        to.Y += 1;
        break;
    case ecWordLeft:
        to = PrevWordPos(to);
        break;
    case ecWordRight:
        to = NextWordPos(to);
        break;
    case ecLineStart: {
        // eoEnhanceHomeKey: first to the first non-blank, from there to column 1.
        int firstText = LeadingBlanks(Line(to.Y)) + 1;
        to.X = HasOption(eoEnhanceHomeKey) && to.X != firstText ? firstText : 1;
        break;
    }
    case ecLineEnd:
        to.X = lineLength + 1;
        break;
    case ecPageUp:
        SetTopLine(topLine_ - page);
        to.Y -= page;
        break;
    case ecPageDown:
        SetTopLine(topLine_ + page);
        to.Y += page;
        break;
    case ecPageLeft:
        SetLeftChar(leftChar_ - charsInWindow_);
        to.X -= charsInWindow_;
        break;
    case ecPageRight:
        SetLeftChar(leftChar_ + charsInWindow_);
        to.X += charsInWindow_;
        break;
    case ecPageTop:
        to.Y = topLine_;
        break;
    case ecPageBottom:
        to.Y = topLine_ + linesInWindow_ - 1;
        break;
    case ecEditorTop:
        to = {1, 1};
        break;
    case ecEditorBottom:
        to = {static_cast<int>(Line(MaxLine()).size()) + 1, MaxLine()};
        break;
    case ecGotoXY:
        if (point) to = *point;
        break;
    default:
        return;
    }
    MoveCaret(to, select);
}

void TCodeEditCore::ScrollCommand(TCodeEditCommand command) {
    TCodePoint to = caret_;
    switch (command) {
    case ecScrollUp:
        SetTopLine(topLine_ - 1);
        break;
    case ecScrollDown:
        SetTopLine(topLine_ + 1);
        break;
    case ecScrollLeft:
        SetLeftChar(leftChar_ - 1);
        break;
    case ecScrollRight:
        SetLeftChar(leftChar_ + 1);
        break;
    default:
        return;
    }
    to.Y = std::clamp(to.Y, topLine_, topLine_ + linesInWindow_ - 1);
    to.X = std::clamp(to.X, leftChar_, leftChar_ + charsInWindow_ - 1);
    if (to != caret_) {
        caret_ = Clamp(to);
        StatusChanged();
    }
}

void TCodeEditCore::ModeCommand(TCodeEditCommand command) {
    switch (command) {
    case ecInsertMode:
        insertMode_ = true;
        break;
    case ecOverwriteMode:
        insertMode_ = false;
        break;
    case ecToggleMode:
        insertMode_ = !insertMode_;
        break;
    case ecNormalSelect:
        selectionMode_ = TCodeSelectionMode::smNormal;
        break;
    case ecColumnSelect:
        selectionMode_ = TCodeSelectionMode::smColumn;
        break;
    case ecLineSelect:
        selectionMode_ = TCodeSelectionMode::smLine;
        break;
    default:
        return;
    }
    StatusChanged();
}

void TCodeEditCore::BookmarkCommand(TCodeEditCommand command) {
    if (!bookmarkKeys_) return;
    if (command >= ecGotoMarker0 && command <= ecGotoMarker9) {
        if (auto mark = document_.Bookmark(command - ecGotoMarker0)) MoveCaret(*mark, false);
        return;
    }
    const int number = command - ecSetMarker0;
    if (auto mark = document_.Bookmark(number)) {
        document_.ClearBookmark(number);
        if (mark->Y == caret_.Y) return;
    }
    document_.SetBookmark(number, caret_);
}

// ---- Undo and redo ----

void TCodeEditCore::Undo() {
    Revert(TCodeEditDocument::Direction::Undo);
}

void TCodeEditCore::Redo() {
    Revert(TCodeEditDocument::Direction::Redo);
}

void TCodeEditCore::Revert(TCodeEditDocument::Direction direction) {
    if (readOnly_) return;
    document_.Revert(direction, HasOption(eoGroupUndo),
                     [this](const TCodeEditUndoItem& item, TCodeEditDocument::Direction reverted) {
                         PlaceAfterRevert(item, reverted);
                     });
}

void TCodeEditCore::PlaceAfterRevert(const TCodeEditUndoItem& item,
                                     TCodeEditDocument::Direction direction) {
    TCodePoint start = Clamp(item.Start);
    TCodePoint end = Clamp(item.End);
    TCodePoint earlier = PointBefore(end, start) ? end : start;
    TCodePoint later = PointBefore(end, start) ? start : end;
    R reason = item.Reason;
    if (direction == TCodeEditDocument::Direction::Undo) {
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

// ---- Bracket matching ----

bool TCodeEditCore::BracketIgnored(int y, int x) const {
    if (!highlighter_) return false;
    std::string line = Line(y);
    TCodeRange range = Lines().LineRange(y - 1);
    if (range == kUnscannedRange || y == 1)
        highlighter_->ResetRangeState();
    else
        highlighter_->SetRangeState(range);
    highlighter_->BeginLine(line, y - 1);
    TCodeHighlighterAttributes* attribute = nullptr;
    while (!highlighter_->AtLineEnd()) {
        int start = highlighter_->TokenStart();
        int length = static_cast<int>(highlighter_->TokenText().size());
        if (x - 1 >= start && x - 1 < start + length) {
            attribute = highlighter_->TokenAttribute();
            break;
        }
        highlighter_->NextToken();
    }
    return attribute == highlighter_->DefaultAttribute(daString) ||
           attribute == highlighter_->DefaultAttribute(daComment);
}

void TCodeEditCore::MatchBracket() {
    if (LineCount() == 0) return;
    TCodePoint at = Clamp(caret_);
    std::string line = Line(at.Y);
    if (at.X > static_cast<int>(line.size())) return;
    auto index = kBrackets.find(line[at.X - 1]);
    if (index == std::string_view::npos) return;
    char same = kBrackets[index];
    char partner = kBrackets[index ^ 1];
    bool forward = (index % 2) == 0;
    int level = 1;
    int y = at.Y;
    int x = at.X; // 1-based column of the byte last looked at
    auto length = [this](int line) { return static_cast<int>(Lines().LineAt(line - 1).size()); };
    while (true) {
        if (forward) {
            ++x;
            while (x > length(y)) {
                if (++y > LineCount()) return;
                x = 1;
            }
        } else {
            --x;
            while (x < 1) {
                if (--y < 1) return;
                x = length(y);
            }
        }
        char c = Lines().LineAt(y - 1)[x - 1];
        if (c != same && c != partner) continue;
        if (BracketIgnored(y, x)) continue;
        level += c == same ? 1 : -1;
        if (level == 0) {
            MoveCaret({x, y}, false);
            return;
        }
    }
}

} // namespace plotalon
