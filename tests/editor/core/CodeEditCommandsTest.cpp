// Editing commands driven through the panes' key codes.

#include "EditorFixture.h"
#include "editor/ncSyn.h"

#include <gtest/gtest.h>

#include <climits>

namespace plotalon::test {
namespace {

using Lines = std::vector<std::string>;
constexpr TShiftState kCtrlShift = ssCtrl | ssShift;

TEST(Commands, BackspaceCases) {
    struct Case {
        Lines start;
        TCodePoint caret;
        Lines expected;
        TCodePoint after;
    } cases[] = {
        {{"G1"}, {1, 1}, {"G1"}, {1, 1}},                       // column 1 of line 1
        {{"  X", "    X"}, {5, 2}, {"  X", "  X"}, {3, 2}},     // back to the indent above
        {{"X", "    X"}, {5, 2}, {"X", "X"}, {1, 2}},           // no smaller indent: all
        {{"    X"}, {3, 1}, {"   X"}, {2, 1}},                  // inside the blanks
        {{"G1", "X5  "}, {1, 2}, {"G1X5"}, {3, 1}},             // join, moved text trimmed
        {{"G12"}, {3, 1}, {"G2"}, {2, 1}},                      // one character
        {{"G12"}, {9, 1}, {"G12"}, {4, 1}},                     // beyond end: to the end
        {{"    A", "", ""}, {9, 3}, {"    A", "", ""}, {1, 3}}, // empty line: empty above
        {{"    A", ""}, {9, 2}, {"    A", ""}, {5, 2}},         // indentation above
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        editor.Caret(c.caret.X, c.caret.Y);
        editor.Key(vk::Back, ssNone, '\b');
        EXPECT_EQ(editor.Lines(), c.expected) << c.start.back();
        EXPECT_EQ(editor.Caret(), c.after) << c.start.back();
    }
}

TEST(Commands, EnterCases) {
    struct Case {
        Lines start;
        TCodePoint caret;
        Lines expected;
        TCodePoint after;
    } cases[] = {
        {{"  G01 X5"}, {6, 1}, {"  G01", "   X5"}, {3, 2}},
        {{"  G01"}, {6, 1}, {"  G01", "  "}, {3, 2}},
        {{"  G01"}, {9, 1}, {"  G01", "  "}, {3, 2}},
        {{"G01"}, {1, 1}, {"", "G01"}, {1, 2}},
        {{"   A", ""}, {1, 2}, {"   A", "", ""}, {4, 3}},
        {{}, {1, 1}, {"", ""}, {1, 2}},
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        editor.Caret(c.caret.X, c.caret.Y);
        editor.Key(vk::Return, ssNone, '\r');
        EXPECT_EQ(editor.Lines(), c.expected);
        EXPECT_EQ(editor.Caret(), c.after);
    }
    // Ctrl+N does the same but leaves the caret.
    Editor editor({"  G01 X5"});
    editor.Caret(6, 1);
    editor.Key('N', ssCtrl);
    EXPECT_EQ(editor.Lines(), (Lines{"  G01", "   X5"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{6, 1}));
}

TEST(Commands, EnterReplacesSelectionAndMovesBookmarks) {
    Editor editor({"ABCD", "EF"});
    editor.core.SetBookmark(4, {1, 2});
    editor.core.SetSelection({2, 1}, {4, 1});
    editor.Key(vk::Return, ssNone, '\r');
    EXPECT_EQ(editor.Lines(), (Lines{"A", "D", "EF"}));
    EXPECT_EQ(editor.core.Bookmark(4)->Y, 3);
}

TEST(Commands, TypingPadsOverwritesAndReplaces) {
    Editor editor({"G1"});
    editor.Caret(6, 1);
    editor.Type("A");
    EXPECT_EQ(editor.Lines(), (Lines{"G1   A"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{7, 1}));

    editor.Caret(1, 1);
    editor.Key(vk::Insert); // overwrite mode
    EXPECT_FALSE(editor.core.InsertMode());
    editor.Type("XY");
    EXPECT_EQ(editor.Lines(), (Lines{"XY   A"}));

    editor.core.SetSelection({2, 1}, {5, 1});
    editor.Type("Q");
    EXPECT_EQ(editor.Lines(), (Lines{"XQ A"}));

    // Control characters and DEL are no text.
    editor.core.ExecuteCommand(ecChar, '\x7F');
    editor.core.ExecuteCommand(ecChar, '\x1B');
    EXPECT_EQ(editor.Lines(), (Lines{"XQ A"}));
}

TEST(Commands, BoundKeySwallowsItsCharacter) {
    Editor editor({"AB"});
    editor.Caret(3, 1);
    editor.Key('M', ssCtrl, '\r'); // Ctrl+M runs ecLineBreak; its character is swallowed
    EXPECT_EQ(editor.Lines(), (Lines{"AB", ""}));
    editor.Key('Q', ssNone, 'q');
    EXPECT_EQ(editor.Lines(), (Lines{"AB", "q"}));
}

TEST(Commands, SmartTabAndShiftTab) {
    Editor editor({"G01 X10", ""});
    editor.Caret(1, 2);
    editor.Key(vk::Tab, ssNone, '\t');
    EXPECT_EQ(editor.Caret(), (TCodePoint{5, 2}));
    editor.Type("Y");
    EXPECT_EQ(editor.Lines()[1], "    Y");

    Editor plain({"AB", ""});
    plain.Caret(3, 2);
    plain.Key(vk::Tab, ssNone, '\t');
    EXPECT_EQ(plain.Caret(), (TCodePoint{9, 2}));
    plain.Type("Z");
    EXPECT_EQ(plain.Lines()[1], "        Z");

    // Shift+Tab: back to the start of the word above.
    Editor back({"G01 X10", "    Y"});
    back.Caret(5, 2);
    back.Key(vk::Tab, ssShift);
    EXPECT_EQ(back.Lines()[1], "Y");
    EXPECT_EQ(back.Caret(), (TCodePoint{1, 2}));

    // Without a line above: over own blanks to the previous tab stop.
    Editor own({"A         B"});
    own.Caret(11, 1);
    own.Key(vk::Tab, ssShift);
    EXPECT_EQ(own.Lines()[0], "A       B");
    EXPECT_EQ(own.Caret(), (TCodePoint{9, 1}));
}

TEST(Commands, DeleteJoinsPadsAndDeletesCharacters) {
    Editor editor({"G1", "X5"});
    editor.Caret(3, 1);
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"G1X5"}));
    editor.Caret(6, 1);
    editor.core.Lines().AddLine("Y");
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"G1X5 Y"}));
    editor.Caret(2, 1);
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"GX5 Y"}));
    editor.Caret(99, 1);
    editor.Key(vk::Delete); // beyond the end of the last line: nothing
    EXPECT_EQ(editor.Lines(), (Lines{"GX5 Y"}));
}

TEST(Commands, WordAndLineDeletion) {
    Editor editor({"G01 X10 Y20", "Z5"});
    editor.Caret(5, 1);
    editor.Key('T', ssCtrl);
    EXPECT_EQ(editor.Lines()[0], "G01 Y20");
    editor.Key(vk::Back, ssCtrl);
    EXPECT_EQ(editor.Lines()[0], "Y20");
    editor.Caret(2, 1);
    editor.Key('Y', kCtrlShift);
    EXPECT_EQ(editor.Lines()[0], "Y");
    editor.Caret(20, 1);
    editor.Key('T', ssCtrl); // beyond the end: from the end of the line to the next word
    EXPECT_EQ(editor.Lines(), (Lines{"YZ5"}));
    editor.Caret(3, 1);
    editor.core.ExecuteCommand(ecDeleteBOL);
    EXPECT_EQ(editor.Lines(), (Lines{"5"}));
}

TEST(Commands, DeleteLine) {
    Editor single({""});
    single.Key('Y', ssCtrl);
    EXPECT_EQ(single.Lines(), (Lines{""}));
    EXPECT_FALSE(single.core.CanUndo());

    Editor editor({"a", "b", "c"});
    editor.core.SetBookmark(1, {1, 3});
    editor.Caret(2, 2);
    editor.Key('Y', ssCtrl);
    EXPECT_EQ(editor.Lines(), (Lines{"a", "c"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));
    EXPECT_EQ(editor.core.Bookmark(1)->Y, 2);
    editor.Key('Y', ssCtrl);
    editor.Key('Y', ssCtrl);
    EXPECT_EQ(editor.Lines(), (Lines{""}));
}

TEST(Commands, Movement) {
    Editor editor({"G01 X10", "Y"});
    editor.Key(vk::Left);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
    editor.Key(vk::Right, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{5, 1}));
    editor.Key(vk::Right, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{8, 1}));
    editor.Key(vk::Right, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));
    editor.Key(vk::Left, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{8, 1}));
    editor.Key(vk::Left, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{5, 1}));
    editor.Key(vk::End);
    editor.Key(vk::Right);
    editor.Key(vk::Right);
    EXPECT_EQ(editor.Caret(), (TCodePoint{10, 1})); // beyond the end
    editor.Key(vk::Down);
    editor.Key(vk::Down);
    EXPECT_EQ(editor.Caret(), (TCodePoint{10, 2})); // not below the last line
    editor.Key(vk::Home, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
    editor.Key(vk::End, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{2, 2}));
}

TEST(Commands, SelectingMovementKeepsTheAnchor) {
    Editor editor({"ABCD", "EFGH"});
    editor.Caret(2, 1);
    editor.Key(vk::Right, ssShift);
    editor.Key(vk::Down, ssShift);
    EXPECT_EQ(editor.core.BlockBegin(), (TCodePoint{2, 1}));
    EXPECT_EQ(editor.core.BlockEnd(), (TCodePoint{3, 2}));
    EXPECT_EQ(editor.core.SelText(), "BCD\r\nEF");
    editor.Key(vk::Left);
    EXPECT_FALSE(editor.core.SelAvail());
    editor.Key('A', ssCtrl);
    EXPECT_EQ(editor.core.SelText(), "ABCD\r\nEFGH");
}

TEST(Commands, PagesAndScrolling) {
    Lines many;
    for (int i = 1; i <= 30; ++i)
        many.push_back("L" + std::to_string(i));
    Editor editor(many);
    editor.core.SetWindowSize(10, 20);
    editor.Key(vk::Next);
    EXPECT_EQ(editor.core.TopLine(), 11);
    EXPECT_EQ(editor.Caret().Y, 11);
    editor.Key(vk::Next, ssCtrl);
    EXPECT_EQ(editor.Caret().Y, 20);
    editor.Key(vk::Next);
    editor.Key(vk::Next);
    EXPECT_EQ(editor.core.TopLine(), 21);
    EXPECT_EQ(editor.Caret().Y, 30);
    editor.Key(vk::Prior, ssCtrl);
    EXPECT_EQ(editor.Caret().Y, 21);
    editor.Key(vk::Up, ssCtrl); // scroll up: the caret stays inside the view
    EXPECT_EQ(editor.core.TopLine(), 20);
    EXPECT_EQ(editor.Caret().Y, 21);
    for (int i = 0; i < 3; ++i)
        editor.Key(vk::Down, ssCtrl);
    EXPECT_EQ(editor.core.TopLine(), 21);
    EXPECT_EQ(editor.Caret().Y, 21);
}

TEST(Commands, Bookmarks) {
    Editor editor({"a", "b", "c"});
    editor.Caret(1, 2);
    editor.Key('3', kCtrlShift);
    EXPECT_EQ(editor.core.Bookmark(3)->Y, 2);
    editor.Key('3', kCtrlShift);
    EXPECT_FALSE(editor.core.Bookmark(3).has_value());
    editor.Key('3', kCtrlShift);
    editor.Caret(1, 3);
    editor.Key('3', kCtrlShift); // on another line: moved here
    EXPECT_EQ(editor.core.Bookmark(3)->Y, 3);
    editor.Caret(1, 1);
    editor.Key('3', ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 3}));
    editor.core.SetBookmarkKeys(false);
    editor.Caret(1, 1);
    editor.Key('3', ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
}

TEST(Commands, BlockIndentAndUnindent) {
    Editor editor({"a", "b", "c"});
    editor.core.SetSelection({1, 1}, {1, 3}); // ends in column 1: line 3 not included
    editor.Key('I', kCtrlShift);
    EXPECT_EQ(editor.Lines(), (Lines{"        a", "        b", "c"}));
    EXPECT_EQ(editor.core.SelText(), "        a\r\n        b\r\n");
    editor.Key('U', kCtrlShift);
    editor.Key('U', kCtrlShift);
    EXPECT_EQ(editor.Lines(), (Lines{"a", "b", "c"}));
}

TEST(Commands, MatchBracket) {
    Editor editor({"A[B[C]D]", "x<", "(y>)"});
    editor.Caret(2, 1);
    editor.Key('B', kCtrlShift);
    EXPECT_EQ(editor.Caret(), (TCodePoint{8, 1}));
    editor.Key('B', kCtrlShift);
    EXPECT_EQ(editor.Caret(), (TCodePoint{2, 1}));
    editor.Caret(3, 3);
    editor.Key('B', kCtrlShift); // backward over the line break
    EXPECT_EQ(editor.Caret(), (TCodePoint{2, 2}));
    editor.Caret(1, 1);
    editor.Key('B', kCtrlShift); // not a bracket
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
}

TEST(Commands, ClipboardCopyCutPaste) {
    Editor editor({"ABCD", "EFGH"});
    InMemoryClipboard clipboard;
    editor.core.SetClipboard(&clipboard);
    editor.core.SetSelectionMode(TCodeSelectionMode::smColumn);
    editor.core.SetSelection({2, 1}, {4, 2});
    editor.Key('C', ssCtrl);
    EXPECT_EQ(clipboard.Data(kBlockFormatName), '\x02' + std::string("BC\r\nFG\0", 7));
    editor.Key(vk::Delete, ssShift); // cut
    EXPECT_EQ(editor.Lines(), (Lines{"AD", "EH"}));
    editor.core.SetSelectionMode(TCodeSelectionMode::smNormal);
    editor.Caret(3, 1);
    editor.Key('V', ssCtrl); // pasted as a column, the mode it was copied in
    EXPECT_EQ(editor.Lines(), (Lines{"ADBC", "EHFG"}));

    clipboard.SetFailRead(true);
    EXPECT_THROW(editor.Key('V', ssCtrl), ECodeEditError);
    EXPECT_EQ(editor.Lines(), (Lines{"ADBC", "EHFG"}));
    clipboard.SetFailOpen(true);
    editor.core.SetSelection({1, 1}, {2, 1});
    EXPECT_THROW(editor.Key('X', ssCtrl), ECodeEditError);
    EXPECT_EQ(editor.Lines(), (Lines{"ADBC", "EHFG"})); // a failed cut deletes nothing
}

TEST(Commands, ReadOnlyPaneIgnoresChanges) {
    Editor editor({"AB"});
    editor.core.SetReadOnly(true);
    editor.Type("X");
    editor.Key(vk::Back);
    editor.Key(vk::Return);
    editor.Key('Y', ssCtrl);
    EXPECT_EQ(editor.Lines(), (Lines{"AB"}));
    editor.Key(vk::End);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 1}));
}

TEST(Commands, ContextHelpGetsTheWordAtTheCaret) {
    Editor editor({"G01 X10"});
    std::string word;
    editor.core.OnContextHelp = [&](const std::string& w) { word = w; };
    editor.Caret(6, 1);
    editor.Key(vk::F1, ssCtrl);
    EXPECT_EQ(word, "X10");
}

// Comments run from '(' to ')' with the comment attribute; '[' and ']' are symbols; every
// other byte is a token without attribute.
class CommentHighlighter : public TCodeCustomHighlighter {
public:
    CommentHighlighter() {
        comment_ = AddAttribute(std::make_unique<TCodeHighlighterAttributes>("Comment"));
        symbol_ = AddAttribute(std::make_unique<TCodeHighlighterAttributes>("Symbol"));
    }
    TCodeHighlighterAttributes* DefaultAttribute(int index) const override {
        return index == daComment ? comment_ : nullptr;
    }
    bool AtLineEnd() const override { return start_ >= static_cast<int>(line_.size()); }
    std::string TokenText() const override {
        return std::string(line_.substr(start_, end_ - start_));
    }
    TCodeHighlighterAttributes* TokenAttribute() const override { return attribute_; }
    int TokenKind() const override { return 0; }
    int TokenStart() const override { return start_; }
    void NextToken() override {
        start_ = end_;
        Scan();
    }
    void BeginLine(std::string_view text, int) override {
        line_ = text;
        start_ = 0;
        Scan();
    }

private:
    void Scan() {
        end_ = start_;
        attribute_ = nullptr;
        if (AtLineEnd()) return;
        char c = line_[start_];
        if (c == '(') {
            auto close = line_.find(')', start_);
            end_ = close == std::string_view::npos ? static_cast<int>(line_.size())
                                                   : static_cast<int>(close) + 1;
            attribute_ = comment_;
            return;
        }
        end_ = start_ + 1;
        if (c == '[' || c == ']') attribute_ = symbol_;
    }

    TCodeHighlighterAttributes* comment_;
    TCodeHighlighterAttributes* symbol_;
    std::string_view line_;
    int start_ = 0;
    int end_ = 0;
    TCodeHighlighterAttributes* attribute_ = nullptr;
};

TEST(Commands, MatchBracketSkipsCommentsAndUnattributedBrackets) {
    CommentHighlighter highlighter;
    Editor editor({"[A(])]", "(X)", "<a>"});
    editor.core.SetHighlighter(&highlighter);
    editor.Caret(1, 1);
    editor.Key('B', kCtrlShift); // the ']' inside the comment does not count
    EXPECT_EQ(editor.Caret(), (TCodePoint{6, 1}));
    editor.Caret(1, 2);
    editor.Key('B', kCtrlShift); // ')' is part of the comment: no partner
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));
    editor.Caret(1, 3);
    editor.Key('B', kCtrlShift); // '>' has no attribute, like the absent string attribute
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 3}));
    // Word movement uses the highlighter's identifier characters (here every byte above 32):
    // the whole line is one word.
    editor.Caret(1, 1);
    editor.Key(vk::Right, ssCtrl);
    EXPECT_EQ(editor.Caret(), (TCodePoint{7, 1}));
}

TEST(Commands, HighlighterDestroyedWhileAttached) {
    Editor editor({"[a]"});
    {
        CommentHighlighter highlighter;
        editor.core.SetHighlighter(&highlighter);
    }
    EXPECT_EQ(editor.core.Highlighter(), nullptr);
    editor.Key('B', kCtrlShift);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 1}));
}

TEST(DragDrop, MoveAndCopyInEachDirection) {
    using M = TCodeSelectionMode;
    struct Case {
        Lines start;
        M mode;
        TCodePoint begin, end, target;
        bool move;
        Lines expected;
    } cases[] = {
        {{"ABCDEF"}, M::smNormal, {2, 1}, {4, 1}, {6, 1}, true, {"ADEBCF"}},
        {{"ABCDEF"}, M::smNormal, {4, 1}, {6, 1}, {1, 1}, true, {"DEABCF"}},
        {{"AB", "CD", "EF"}, M::smNormal, {2, 1}, {2, 2}, {2, 3}, true, {"AD", "EB", "CF"}},
        {{"AB", "CD"}, M::smNormal, {1, 1}, {3, 1}, {2, 2}, false, {"AB", "CABD"}},
        {{"a", "b", "c"}, M::smLine, {1, 1}, {2, 1}, {1, 3}, true, {"b", "a", "c"}},
        {{"ABCD", "EFGH", "IJ"},
         M::smColumn,
         {1, 1},
         {3, 2},
         {2, 3},
         false,
         {"ABCD", "EFGH", "IABJ", " EF"}},
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        editor.core.SetSelectionMode(c.mode);
        editor.core.SetSelection(c.begin, c.end);
        std::string dragged = editor.core.SelText();
        editor.core.DropSelection(c.target, c.move);
        EXPECT_EQ(editor.Lines(), c.expected) << c.start[0];
        EXPECT_EQ(editor.core.SelText(), dragged) << c.start[0];
        editor.Key('Z', ssCtrl);
        EXPECT_EQ(editor.Lines(), c.start) << c.start[0];
    }
}

TEST(DragDrop, DropIntoTheSelectionDoesNothing) {
    Editor editor({"ABCDEF"});
    editor.core.SetSelection({2, 1}, {5, 1});
    editor.core.DropSelection({3, 1}, true);
    EXPECT_EQ(editor.Lines(), (Lines{"ABCDEF"}));
    EXPECT_FALSE(editor.core.CanUndo());
}

TEST(Commands, DoubleClickSelectsTheWord) {
    Editor editor({"G01 X10.5 Y2"});
    editor.core.SelectWordAt({7, 1});
    EXPECT_EQ(editor.core.SelText(), "X10.5");
    editor.core.SelectWordAt({10, 1}); // just after a word: that word
    EXPECT_EQ(editor.core.SelText(), "X10.5");
    editor.core.SetCaretXY({1, 1});
    editor.core.SelectWordAt({30, 1}); // beyond the end: nothing
    EXPECT_FALSE(editor.core.SelAvail());
}

TEST(Commands, MatchBracketWithTheNcHighlighter) {
    TNCSyn highlighter;
    Editor editor({"A[B[C]D]", "(X)", "[ (a]) ]", "<Q>"});
    editor.core.SetHighlighter(&highlighter);
    editor.Caret(2, 1);
    editor.Key('B', ssCtrl | ssShift);
    EXPECT_EQ(editor.Caret(), (TCodePoint{8, 1}));
    editor.Caret(1, 2);
    editor.Key('B', ssCtrl | ssShift); // every parenthesis is ignored
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));
    editor.Caret(1, 3);
    editor.Key('B', ssCtrl | ssShift); // the ']' inside the comment does not count
    EXPECT_EQ(editor.Caret(), (TCodePoint{8, 3}));
    editor.Caret(1, 4);
    editor.Key('B', ssCtrl | ssShift);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 4}));
}

TEST(Commands, OptionsThePanesLeaveOff) {
    Editor editor({"    G01", "AB"});
    editor.core.SetOptions(kDefaultEditOptions | eoEnhanceHomeKey | eoNoSelection);
    editor.Caret(7, 1);
    editor.Key(vk::Home);
    EXPECT_EQ(editor.Caret(), (TCodePoint{5, 1}));
    editor.Key(vk::Home);
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
    editor.Key(vk::Right, ssShift);
    EXPECT_FALSE(editor.core.SelAvail());

    editor.core.SetOptions(kDefaultEditOptions & ~eoScrollPastEol);
    editor.Caret(9, 2);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 2}));
    editor.Key(vk::Right);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 2}));
    editor.Key(vk::Up); // onto a longer line, then back
    editor.Key(vk::End);
    editor.Key(vk::Down);
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 2}));
}

TEST(Commands, CaretColumnIsBoundedSoTypingCannotPadWithoutLimit) {
    Editor editor({"G1"});
    editor.core.ExecuteCommand(ecGotoXY, TCodePoint{2000000000, 1});
    EXPECT_EQ(editor.Caret().X, TCodeEditCore::kMaxScrollWidth);
    editor.Type("X");
    EXPECT_EQ(editor.Lines()[0].size(), static_cast<std::size_t>(TCodeEditCore::kMaxScrollWidth));
}

TEST(Commands, ExtremeViewSizesAndPositionsStaySafe) {
    Editor editor({"G1", "G2"});
    editor.core.SetWindowSize(INT_MAX, INT_MAX);
    editor.core.ExecuteCommand(ecGotoXY, TCodePoint{INT_MAX, INT_MAX});
    for (TCodeEditCommand command : {ecPageDown, ecPageRight, ecSelPageRight, ecScrollRight,
                                     ecPageUp, ecPageLeft, ecScrollLeft, ecPageBottom})
        editor.core.ExecuteCommand(command);
    EXPECT_EQ(editor.Caret().Y, 2);
    EXPECT_LE(editor.Caret().X, TCodeEditCore::kMaxScrollWidth);
    editor.core.ExecuteCommand(ecGotoXY, TCodePoint{INT_MIN, INT_MIN});
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
}

TEST(Commands, EachCommandIsOneChangeOfTheList) {
    Editor editor({"ABCD", "EFGH"});
    int changing = 0, changed = 0;
    editor.core.OnLinesChanging = [&] { ++changing; };
    editor.core.OnLinesChanged = [&] { ++changed; };
    CopyBlockToClipboard(editor.core.GetClipboard(), "1\r\n2", TCodeSelectionMode::smNormal);
    editor.core.SetSelection({2, 1}, {3, 2});
    editor.Key('V', ssCtrl); // deletes the selection, then inserts
    EXPECT_EQ(changed, 1);
    editor.core.SetSelection({1, 1}, {2, 1});
    editor.Key(vk::Return); // deletes the selection, then breaks the line
    EXPECT_EQ(changed, 2);
    editor.Key('Z', ssCtrl);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(changing, changed);
}

} // namespace
} // namespace plotalon::test
