// The commands of a pane that change its text, each recorded for undo.

#include "editor/core/CodeEditCore.h"
#include "editor/core/CodeEditText.h"

#include <algorithm>

namespace plotalon {

// ---- Dispatch of changing commands ----

void TCodeEditCore::EditCommand(TCodeEditCommand command, char ch, std::string_view text) {
    if (readOnly_) return;
    // The whole command is one change of the list, however many steps it takes.
    LinesUpdate update(Lines());
    TCodePoint caret = Clamp(caret_);
    int lineEnd = static_cast<int>(Line(caret.Y).size()) + 1;
    switch (command) {
    case ecDeleteLastChar:
        DeleteLastChar();
        break;
    case ecDeleteChar:
        DeleteChar();
        break;
    case ecDeleteWord:
        DeleteRange({std::min(caret.X, lineEnd), caret.Y}, NextWordPos(caret),
                    TCodeChangeReason::crDeleteAfterCaret);
        break;
    case ecDeleteEOL:
        if (caret.X < lineEnd)
            DeleteRange(caret, {lineEnd, caret.Y}, TCodeChangeReason::crDeleteAfterCaret);
        break;
    case ecDeleteLastWord:
        DeleteRange(PrevWordPos(caret), {std::min(caret.X, lineEnd), caret.Y},
                    TCodeChangeReason::crDeleteBeforeCaret);
        break;
    case ecDeleteBOL:
        DeleteRange({1, caret.Y}, {std::min(caret.X, lineEnd), caret.Y},
                    TCodeChangeReason::crDeleteBeforeCaret);
        break;
    case ecDeleteLine:
        DeleteLine();
        break;
    case ecClearAll:
        ClearAll();
        break;
    case ecLineBreak:
    case ecInsertLine:
        LineBreak(command == ecLineBreak);
        break;
    case ecChar: {
        auto byte = static_cast<unsigned char>(ch);
        if (byte >= 32 && byte != 127) TypeText(std::string(1, ch));
        break;
    }
    case ecImeStr: {
        std::string typed;
        for (char c : text)
            if (static_cast<unsigned char>(c) >= 32 && c != 127) typed.push_back(c);
        TypeText(typed);
        break;
    }
    case ecCut:
        CutToClipboard();
        break;
    case ecPaste:
        PasteFromClipboard();
        break;
    case ecBlockIndent:
        BlockIndent();
        break;
    case ecBlockUnindent:
        BlockUnindent();
        break;
    case ecTab:
        Tab();
        break;
    case ecShiftTab:
        ShiftTab();
        break;
    default:
        break; // case conversion, ecString, completion and user commands: not the editor's
    }
}

// ---- Deleting ----

void TCodeEditCore::DeleteRecordedSelection(TCodeChangeReason reason) {
    if (!SelAvail()) return;
    TCodePoint begin = Clamp(blockBegin_);
    TCodePoint end = Clamp(blockEnd_);
    if (PointBefore(end, begin)) std::swap(begin, end);
    std::string text = SelectedText(selectionMode_, begin, end);
    SpanCapture capture = document_.BeginSpan(begin.Y, end.Y);
    DeleteSelection(selectionMode_, begin, end);
    document_.Record(reason, begin, end, std::move(text), selectionMode_, std::move(capture));
}

void TCodeEditCore::DeleteRange(TCodePoint from, TCodePoint to, TCodeChangeReason reason) {
    from = Clamp(from);
    to = Clamp(to);
    if (PointBefore(to, from)) std::swap(from, to);
    if (from == to || LineCount() == 0) return;
    std::string text = SelectedText(TCodeSelectionMode::smNormal, from, to);
    SpanCapture capture = document_.BeginSpan(from.Y, to.Y);
    DeleteSelection(TCodeSelectionMode::smNormal, from, to);
    document_.Record(reason, from, to, std::move(text), TCodeSelectionMode::smNormal,
                     std::move(capture));
}

void TCodeEditCore::JoinWithNextLine(int y, const std::string& joined) {
    Lines().BeginUpdate();
    SetLine(y, joined);
    Lines().DeleteLine(y); // the list counts from 0: this is line y + 1
    Lines().EndUpdate();
    document_.LinesRemoved(y + 1, 1);
}

void TCodeEditCore::DeleteLastChar() {
    if (SelAvail()) {
        DeleteRecordedSelection(TCodeChangeReason::crDelete);
        return;
    }
    if (LineCount() == 0) return;
    TCodePoint caret = Clamp(caret_);
    std::string line = Line(caret.Y);
    int len = static_cast<int>(line.size());
    // The indentation of the nearest line above that is indented less than the caret
    // stands; 0 when there is none.
    auto indentAbove = [&] {
        for (int y = caret.Y - 1; y >= 1; --y) {
            int indent = LeadingBlanks(Line(y));
            if (indent < caret.X - 1) return indent;
        }
        return 0;
    };
    if (caret.X > len + 1) {
        if (len > 0) {
            MoveCaret({len + 1, caret.Y}, false);
            return;
        }
        MoveCaret({indentAbove() + 1, caret.Y}, false); // an empty line: back to that indent
        return;
    }
    if (caret.X == 1) {
        if (caret.Y == 1) return;
        std::string previous = Line(caret.Y - 1);
        TCodePoint joint{static_cast<int>(previous.size()) + 1, caret.Y - 1};
        SpanCapture capture = document_.BeginSpan(caret.Y - 1, caret.Y);
        JoinWithNextLine(caret.Y - 1, previous + TrimTrailing(line));
        MoveCaret(joint, false);
        document_.Record(TCodeChangeReason::crDeleteBeforeCaret, joint, caret, "\r\n",
                         TCodeSelectionMode::smNormal, std::move(capture));
        return;
    }
    int from = caret.X - 1; // 1-based column of the first byte to delete
    if (HasOption(eoSmartTabDelete) && line[caret.X - 2] == ' ' &&
        LeadingBlanks(line) == caret.X - 1)
        from = indentAbove() + 1;
    SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y);
    std::string removed = line.substr(from - 1, caret.X - from);
    line.erase(from - 1, caret.X - from);
    SetLine(caret.Y, line);
    MoveCaret({from, caret.Y}, false);
    document_.Record(TCodeChangeReason::crDeleteBeforeCaret, {from, caret.Y}, caret,
                     std::move(removed), TCodeSelectionMode::smNormal, std::move(capture));
}

void TCodeEditCore::DeleteChar() {
    if (SelAvail()) {
        DeleteRecordedSelection(TCodeChangeReason::crDelete);
        return;
    }
    if (LineCount() == 0) return;
    TCodePoint caret = Clamp(caret_);
    std::string line = Line(caret.Y);
    int len = static_cast<int>(line.size());
    if (caret.X > len) {
        if (caret.Y >= LineCount()) return;
        SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y + 1);
        JoinWithNextLine(caret.Y, PadTo(line, caret.X - 1) + Line(caret.Y + 1));
        MoveCaret(caret, false);
        document_.Record(TCodeChangeReason::crDeleteAfterCaret, caret, {1, caret.Y + 1}, "\r\n",
                         TCodeSelectionMode::smNormal, std::move(capture));
        return;
    }
    SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y);
    std::string removed(1, line[caret.X - 1]);
    line.erase(caret.X - 1, 1);
    SetLine(caret.Y, line);
    MoveCaret(caret, false);
    document_.Record(TCodeChangeReason::crDeleteAfterCaret, caret, {caret.X + 1, caret.Y},
                     std::move(removed), TCodeSelectionMode::smNormal, std::move(capture));
}

void TCodeEditCore::DeleteLine() {
    if (LineCount() == 0 || (LineCount() == 1 && Line(1).empty())) return;
    int y = Clamp(caret_).Y;
    std::string text = Line(y) + "\r\n";
    TCodePoint end{static_cast<int>(Line(y).size()) + 1, y};
    SpanCapture capture = document_.BeginSpan(y, y);
    if (LineCount() == 1) {
        SetLine(1, "");
    } else {
        Lines().DeleteLine(y - 1);
        document_.LinesRemoved(y, 1);
    }
    MoveCaret({1, y}, false);
    document_.Record(TCodeChangeReason::crDelete, {1, y}, end, std::move(text),
                     TCodeSelectionMode::smLine, std::move(capture));
}

void TCodeEditCore::ClearAll() {
    if (LineCount() == 0) return;
    std::string text = Text();
    TCodePoint end{static_cast<int>(Line(LineCount()).size()) + 1, LineCount()};
    SpanCapture capture = document_.BeginSpan(1, LineCount());
    Lines().DeleteLines(0, LineCount());
    document_.ClearBookmarks();
    MoveCaret({1, 1}, false);
    document_.Record(TCodeChangeReason::crDelete, {1, 1}, end, std::move(text),
                     TCodeSelectionMode::smNormal, std::move(capture));
}

// ---- Line breaks ----

void TCodeEditCore::LineBreak(bool moveCaret) {
    bool replacing = SelAvail();
    if (replacing) {
        document_.UndoList().OpenBlock();
        DeleteRecordedSelection(TCodeChangeReason::crDelete);
    }
    TCodePoint caret = Clamp(caret_);
    bool autoIndent = HasOption(eoAutoIndent);
    SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y);
    Lines().BeginUpdate();
    document_.EnsureOneLine();
    std::string line = Line(caret.Y);
    int len = static_cast<int>(line.size());
    TCodePoint after;
    std::string moved;
    if (len == 0) {
        int indent = 0;
        for (int y = caret.Y - 1; autoIndent && y >= 1; --y) {
            if (Line(y).empty()) continue;
            indent = LeadingBlanks(Line(y));
            break;
        }
        Lines().InsertLine(caret.Y, "");
        document_.LinesInserted(caret.Y, 1);
        after = {indent + 1, caret.Y + 1};
    } else if (caret.X > len) {
        int indent = autoIndent ? LeadingBlanks(line) : 0;
        Lines().InsertLine(caret.Y, std::string(indent, ' '));
        document_.LinesInserted(caret.Y, 1);
        after = {indent + 1, caret.Y + 1};
    } else if (caret.X == 1) {
        Lines().InsertLine(caret.Y - 1, "");
        document_.LinesInserted(caret.Y - 1, 1);
        after = {1, caret.Y + 1};
        moved = line;
    } else {
        int indent = autoIndent ? LeadingBlanks(line) : 0;
        moved = line.substr(caret.X - 1);
        SetLine(caret.Y, line.substr(0, caret.X - 1));
        Lines().InsertLine(caret.Y, std::string(indent, ' ') + moved);
        document_.LinesInserted(caret.Y, 1);
        after = {indent + 1, caret.Y + 1};
    }
    Lines().EndUpdate();
    MoveCaret(moveCaret ? after : caret, false);
    document_.Record(TCodeChangeReason::crLineBreak, caret, after, std::move(moved),
                     TCodeSelectionMode::smNormal, std::move(capture));
    if (replacing) document_.UndoList().CloseBlock();
}

// ---- Typing and tabs ----

void TCodeEditCore::InsertAtCaret(std::string_view text, bool overwrite, int caretAdvance) {
    TCodePoint caret = Clamp(caret_);
    SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y);
    Lines().BeginUpdate();
    document_.EnsureOneLine();
    std::string line = PadTo(Line(caret.Y), caret.X - 1);
    std::string overwritten;
    if (overwrite) {
        overwritten = line.substr(caret.X - 1, text.size());
        line.replace(caret.X - 1, overwritten.size(), text);
    } else {
        line.insert(caret.X - 1, text);
    }
    SetLine(caret.Y, line);
    Lines().EndUpdate();
    TCodePoint end{caret.X + static_cast<int>(text.size()), caret.Y};
    MoveCaret({caret.X + caretAdvance, caret.Y}, false);
    document_.Record(TCodeChangeReason::crInsert, caret, end, std::move(overwritten),
                     TCodeSelectionMode::smNormal, std::move(capture));
}

void TCodeEditCore::TypeText(std::string_view text) {
    if (text.empty()) return;
    bool replacing = SelAvail();
    if (replacing) {
        document_.UndoList().OpenBlock();
        DeleteRecordedSelection(TCodeChangeReason::crDeleteSelection);
    }
    InsertAtCaret(text, !insertMode_ && !replacing, static_cast<int>(text.size()));
    if (replacing) document_.UndoList().CloseBlock();
}

int TCodeEditCore::SmartTabWidth(TCodePoint at) const {
    for (int y = at.Y - 1; y >= 1; --y) {
        std::string line = Line(y);
        int len = static_cast<int>(line.size());
        if (len < at.X) continue;
        int i = at.X - 1;
        while (i < len && !IsBlank(line[i]))
            ++i;
        while (i < len && IsBlank(line[i]))
            ++i;
        return i - (at.X - 1);
    }
    return 0;
}

void TCodeEditCore::Tab() {
    bool replacing = SelAvail();
    if (replacing) {
        document_.UndoList().OpenBlock();
        DeleteRecordedSelection(TCodeChangeReason::crDeleteSelection);
    }
    TCodePoint caret = Clamp(caret_);
    int width = HasOption(eoSmartTabs) ? SmartTabWidth(caret) : 0;
    bool fullWidth = width == 0;
    if (fullWidth) width = tabWidth_ - ((caret.X - 1) % tabWidth_);
    bool tabChar = !HasOption(eoSmartTabs) && !HasOption(eoTabsToSpaces) && width == tabWidth_;
    InsertAtCaret(tabChar ? std::string("\t") : std::string(width, ' '), false, width);
    if (replacing) document_.UndoList().CloseBlock();
}

void TCodeEditCore::ShiftTab() {
    if (LineCount() == 0) return;
    TCodePoint caret = Clamp(caret_);
    if (caret.X <= 1) return;
    int target = caret.X;
    for (int y = caret.Y - 1; HasOption(eoSmartTabs) && y >= 1; --y) {
        std::string above = Line(y);
        if (static_cast<int>(above.size()) < caret.X - 1) continue;
        int i = caret.X - 2;
        while (i >= 0 && IsBlank(above[i]))
            --i;
        while (i >= 0 && !IsBlank(above[i]))
            --i;
        target = i + 2;
        break;
    }
    std::string line = Line(caret.Y);
    int len = static_cast<int>(line.size());
    if (target >= caret.X) {
        // Back over blanks of the caret's own line (blank beyond its end), not past the
        // previous tab stop.
        int stop = ((caret.X - 2) / tabWidth_) * tabWidth_ + 1;
        target = caret.X;
        while (target > stop && (target - 2 >= len || line[target - 2] == ' '))
            --target;
    }
    if (target >= caret.X) return;
    SpanCapture capture = document_.BeginSpan(caret.Y, caret.Y);
    std::string removed;
    if (target - 1 < len) {
        int count = std::min(caret.X, len + 1) - target;
        removed = line.substr(target - 1, count);
        line.erase(target - 1, count);
        SetLine(caret.Y, line);
    }
    MoveCaret({target, caret.Y}, false);
    document_.Record(TCodeChangeReason::crDelete, {target, caret.Y}, caret, std::move(removed),
                     TCodeSelectionMode::smNormal, std::move(capture));
}

// ---- Block indentation ----

namespace {

struct LineRangeOfBlock {
    int First;
    int Last;
};

} // namespace

static LineRangeOfBlock BlockLines(TCodePoint begin, TCodePoint end, TCodeSelectionMode mode) {
    if (PointBefore(end, begin)) std::swap(begin, end);
    int last = end.Y;
    if (mode != TCodeSelectionMode::smLine && end.X == 1 && end.Y > begin.Y) --last;
    return {begin.Y, last};
}

void TCodeEditCore::BlockIndent() {
    if (LineCount() == 0) return;
    TCodePoint begin = SelAvail() ? Clamp(blockBegin_) : Clamp(caret_);
    TCodePoint end = SelAvail() ? Clamp(blockEnd_) : begin;
    const LineRangeOfBlock block = BlockLines(begin, end, selectionMode_);
    const int first = block.First, last = block.Last;
    SpanCapture capture = document_.BeginSpan(first, last);
    std::string blanks(tabWidth_, ' ');
    Lines().BeginUpdate();
    for (int y = first; y <= last; ++y)
        SetLine(y, blanks + Line(y));
    Lines().EndUpdate();
    auto shift = [&](TCodePoint& p) {
        if (p.Y >= first && p.Y <= last && p.X > 1) p.X += tabWidth_;
    };
    bool selected = SelAvail();
    shift(blockBegin_);
    shift(blockEnd_);
    shift(caret_);
    if (!selected) blockBegin_ = blockEnd_ = caret_;
    StatusChanged();
    document_.Record(TCodeChangeReason::crIndent, begin, end, "", selectionMode_,
                     std::move(capture));
}

void TCodeEditCore::BlockUnindent() {
    if (LineCount() == 0) return;
    TCodePoint begin = SelAvail() ? Clamp(blockBegin_) : Clamp(caret_);
    TCodePoint end = SelAvail() ? Clamp(blockEnd_) : begin;
    const LineRangeOfBlock block = BlockLines(begin, end, selectionMode_);
    const int first = block.First, last = block.Last;
    SpanCapture capture = document_.BeginSpan(first, last);
    std::vector<std::string> removed;
    std::vector<int> counts;
    Lines().BeginUpdate();
    for (int y = first; y <= last; ++y) {
        std::string line = Line(y);
        int n = 0;
        while (n < tabWidth_ && n < static_cast<int>(line.size()) && line[n] == ' ')
            ++n;
        removed.push_back(line.substr(0, n));
        counts.push_back(n);
        if (n > 0) SetLine(y, line.substr(n));
    }
    Lines().EndUpdate();
    auto shift = [&](TCodePoint& p) {
        if (p.Y >= first && p.Y <= last) p.X = std::max(1, p.X - counts[p.Y - first]);
    };
    bool selected = SelAvail();
    shift(blockBegin_);
    shift(blockEnd_);
    shift(caret_);
    if (!selected) blockBegin_ = blockEnd_ = caret_;
    StatusChanged();
    document_.Record(TCodeChangeReason::crUnindent, begin, end, JoinLines(removed), selectionMode_,
                     std::move(capture));
}

// ---- Clipboard and block replacement ----

void TCodeEditCore::CopyToClipboard() {
    if (!SelAvail()) return;
    CopyBlockToClipboard(*clipboard_, SelText(), selectionMode_);
}

void TCodeEditCore::CutToClipboard() {
    RecordedChange own(document_);
    if (readOnly_ || !SelAvail()) return;
    CopyToClipboard();
    DeleteRecordedSelection(TCodeChangeReason::crDelete);
}

void TCodeEditCore::PasteFromClipboard() {
    RecordedChange own(document_);
    if (readOnly_) return;
    TCodeClipboardBlock block = PasteBlockFromClipboard(*clipboard_);
    ReplaceSelectionRecorded(block.Text, block.Mode, TCodeChangeReason::crPaste);
}

void TCodeEditCore::SetSelText(std::string_view text) {
    RecordedChange own(document_);
    if (readOnly_) return;
    ReplaceSelectionRecorded(text, TCodeSelectionMode::smNormal, TCodeChangeReason::crInsert);
}

void TCodeEditCore::ReplaceSelectionRecorded(std::string_view text, TCodeSelectionMode mode,
                                             TCodeChangeReason reason) {
    if (text.empty() && !SelAvail()) return;
    document_.UndoList().OpenBlock();
    DeleteRecordedSelection(TCodeChangeReason::crDeleteSelection);
    if (!text.empty()) InsertRecorded(caret_, text, mode, reason);
    document_.UndoList().CloseBlock();
}

TCodeEditCore::InsertedSpan TCodeEditCore::InsertRecorded(TCodePoint at, std::string_view text,
                                                          TCodeSelectionMode mode,
                                                          TCodeChangeReason reason) {
    TCodePoint start = Clamp(at);
    if (mode == TCodeSelectionMode::smLine) start.X = 1;
    int breaks = static_cast<int>(SplitLines(text).size()) - 1;
    int lastLine = mode == TCodeSelectionMode::smColumn ? start.Y + breaks : start.Y;
    SpanCapture capture = document_.BeginSpan(start.Y, lastLine);
    TCodePoint stop = InsertText(mode, start, text);
    document_.Record(reason, start, stop, "", mode, std::move(capture));
    return {start, stop};
}

void TCodeEditCore::SelectDropped(InsertedSpan dropped, TCodeSelectionMode mode) {
    // A line block that ended with a line break covers the lines before the stop line.
    TCodePoint stop = dropped.Stop;
    if (mode == TCodeSelectionMode::smLine && stop.X == 1 && stop.Y > dropped.Start.Y)
        stop = {static_cast<int>(Line(stop.Y - 1).size()) + 1, stop.Y - 1};
    selectionMode_ = mode;
    SetSelection(dropped.Start, stop);
}

// ---- Drag and drop ----

void TCodeEditCore::DropSelection(TCodePoint target, bool move) {
    if (readOnly_ || !SelAvail()) return;
    RecordedChange own(document_);
    TCodeSelectionMode mode = selectionMode_;
    TCodePoint begin = Clamp(blockBegin_);
    TCodePoint end = Clamp(blockEnd_);
    if (PointBefore(end, begin)) std::swap(begin, end);
    target = Clamp(target);
    bool inside = mode == TCodeSelectionMode::smNormal
                      ? !PointBefore(target, begin) && !PointBefore(end, target)
                      : target.Y >= begin.Y && target.Y <= end.Y;
    if (inside) return;
    std::string text = SelectedText(mode, begin, end);
    bool after = PointBefore(end, target);
    LinesUpdate update(Lines());
    document_.UndoList().OpenBlock();
    if (move) {
        int linesBefore = LineCount();
        DeleteRecordedSelection(TCodeChangeReason::crDelete);
        if (after) {
            // The text before the target shrank by the moved block.
            if (mode == TCodeSelectionMode::smNormal && target.Y == end.Y)
                target = {begin.X + (target.X - end.X), begin.Y};
            else
                target.Y -= linesBefore - LineCount();
        }
    }
    const InsertedSpan dropped =
        InsertRecorded(target, text, mode, TCodeChangeReason::crDragDropInsert);
    document_.UndoList().CloseBlock();
    SelectDropped(dropped, mode);
}

void TCodeEditCore::SelectWordAt(TCodePoint point) {
    point = Clamp(point);
    std::string word = WordAt(point);
    if (word.empty()) return;
    std::string line = Line(point.Y);
    // WordAt looks at the byte under the point, then at the one before it.
    int from = std::min(point.X, static_cast<int>(line.size()));
    TCharSet chars = WordChars();
    auto isWord = [&](int column) {
        return column >= 1 && column <= static_cast<int>(line.size()) &&
               chars.test(static_cast<unsigned char>(line[column - 1]));
    };
    if (!isWord(from)) --from;
    while (isWord(from - 1))
        --from;
    SetSelection({from, point.Y}, {from + static_cast<int>(word.size()), point.Y});
}

void TCodeEditCore::DropText(TCodePoint target, std::string_view text, TCodeSelectionMode mode) {
    if (readOnly_ || text.empty()) return;
    RecordedChange own(document_);
    LinesUpdate update(Lines());
    SelectDropped(InsertRecorded(target, text, mode, TCodeChangeReason::crDragDropInsert), mode);
}

} // namespace plotalon
