// Block text: reading, deleting and inserting a selection in normal, line and column mode.

#include "EditorFixture.h"

#include <gtest/gtest.h>

namespace plotalon::test {
namespace {

using M = TCodeSelectionMode;
using Lines = std::vector<std::string>;

TEST(Selection, NormalOverTwoLines) {
    Editor editor({"ABCD", "EFGH"});
    editor.core.SetSelection({3, 1}, {2, 2});
    EXPECT_EQ(editor.core.SelText(), "CD\r\nE");
    // Reversed ends select the same text.
    editor.core.SetSelection({2, 2}, {3, 1});
    EXPECT_EQ(editor.core.SelText(), "CD\r\nE");
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"ABFGH"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{3, 1}));
}

TEST(Selection, NormalTextWithLinesBetweenAndOneLine) {
    Editor editor({"ab", "cd", "ef", "gh"});
    EXPECT_EQ(editor.core.SelectedText(M::smNormal, {2, 1}, {2, 4}), "b\r\ncd\r\nef\r\ng");
    EXPECT_EQ(editor.core.SelectedText(M::smNormal, {1, 2}, {3, 2}), "cd");
    EXPECT_EQ(editor.core.SelectedText(M::smNormal, {9, 1}, {1, 2}), "\r\n");
}

TEST(Selection, DeletingNormalTrimsJoinedLineAndMovesBookmarks) {
    Editor editor({"AB  CD", "xx", "yy  ", "zz"});
    editor.core.SetBookmark(2, {1, 4});
    editor.core.SetSelection({5, 1}, {3, 3});
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"AB", "zz"}));
    EXPECT_EQ(editor.core.Bookmark(2)->Y, 2);
}

TEST(Selection, LineModeTextAndDeletion) {
    Editor editor({"one", "two", "three"});
    EXPECT_EQ(editor.core.SelectedText(M::smLine, {2, 1}, {1, 2}), "one\r\ntwo\r\n");
    EXPECT_EQ(editor.core.SelectedText(M::smLine, {2, 2}, {1, 3}), "two\r\nthree");
    editor.core.SetSelectionMode(M::smLine);
    editor.core.SetSelection({2, 2}, {1, 3});
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"one", ""}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));

    Editor middle({"one", "two", "three"});
    middle.core.SetSelectionMode(M::smLine);
    middle.core.SetSelection({3, 1}, {1, 2});
    middle.Key(vk::Delete);
    EXPECT_EQ(middle.Lines(), (Lines{"three"}));
}

TEST(Selection, ColumnModeTextAndDeletion) {
    Editor editor({"ABCDE", "X"});
    EXPECT_EQ(editor.core.SelectedText(M::smColumn, {2, 1}, {4, 2}), "BC\r\n");
    editor.core.SetSelectionMode(M::smColumn);
    editor.core.SetSelection({4, 2}, {2, 1});
    editor.Key(vk::Delete);
    EXPECT_EQ(editor.Lines(), (Lines{"ADE", "X"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{2, 2}));
}

TEST(Selection, InsertingInEachMode) {
    struct Case {
        Lines start;
        TCodePoint at;
        M mode;
        std::string text;
        Lines expected;
        TCodePoint caret;
    } cases[] = {
        {{"ABCD"}, {3, 1}, M::smNormal, "P\r\nQ", {"ABP", "QCD"}, {2, 2}},
        {{"ABCD"}, {3, 1}, M::smNormal, "P\nR\rQ", {"ABP", "R", "QCD"}, {2, 3}},
        {{"AB"}, {5, 1}, M::smNormal, "Z", {"AB  Z"}, {6, 1}},
        {{"AB"}, {5, 1}, M::smNormal, " ", {"AB"}, {6, 1}}, // trailing blanks trimmed
        {{"AB"}, {5, 1}, M::smColumn, "Z", {"AB  Z"}, {6, 1}},
        {{"ABC", "D"}, {2, 1}, M::smColumn, "12\r\n3\r\n45", {"A12BC", "D3", " 45"}, {4, 3}},
        {{"one", "two"}, {3, 2}, M::smLine, "x\r\ny\r\n", {"one", "x", "y", "two"}, {1, 4}},
        {{"one", "two"}, {3, 2}, M::smLine, "x\r\ny", {"one", "x", "ytwo"}, {2, 3}},
        {{}, {1, 1}, M::smNormal, "G1", {"G1"}, {3, 1}},
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        TCodePoint end = editor.core.InsertText(c.mode, c.at, c.text);
        EXPECT_EQ(editor.Lines(), c.expected) << c.text;
        EXPECT_EQ(end, c.caret) << c.text;
        EXPECT_EQ(editor.Caret(), c.caret) << c.text;
    }
}

TEST(Selection, InsertedLinesMoveBookmarksBelowTheCaretLine) {
    Editor editor({"a", "b", "c"});
    editor.core.SetBookmark(0, {1, 1});
    editor.core.SetBookmark(1, {1, 3});
    editor.core.InsertText(M::smNormal, {2, 2}, "1\r\n2\r\n3");
    EXPECT_EQ(editor.core.Bookmark(0)->Y, 1);
    EXPECT_EQ(editor.core.Bookmark(1)->Y, 5);
}

TEST(Selection, OneUpdateBracketPerOperation) {
    Editor editor({"ABCD", "EFGH", "IJ"});
    int changed = 0;
    editor.core.OnLinesChanged = [&] { ++changed; };
    editor.core.InsertText(M::smNormal, {2, 1}, "1\r\n2\r\n3\r\n");
    EXPECT_EQ(changed, 1);
    editor.core.DeleteSelection(M::smNormal, {1, 1}, {2, 4});
    EXPECT_EQ(changed, 2);
    editor.core.DeleteSelection(M::smColumn, {1, 1}, {2, 3});
    EXPECT_EQ(changed, 3);
}

TEST(Selection, PositionsOutsideTheTextAreSafe) {
    Editor editor({"AB", "CD"});
    EXPECT_EQ(editor.core.SelectedText(M::smNormal, {50, 9}, {-3, -1}), "AB\r\nCD");
    EXPECT_EQ(editor.core.SelectedText(M::smColumn, {7, 1}, {9, 2}), "\r\n");
    editor.core.DeleteSelection(M::smLine, {1, 9}, {1, 12});
    EXPECT_EQ(editor.Lines(), (Lines{"AB", ""}));
    Editor empty;
    EXPECT_EQ(empty.core.SelectedText(M::smNormal, {1, 1}, {5, 5}), "");
    empty.core.DeleteSelection(M::smNormal, {1, 1}, {5, 5});
    EXPECT_TRUE(empty.Lines().empty());
}

TEST(Selection, PastingThroughCtrlV) {
    struct Case {
        Lines start;
        TCodePoint caret;
        M mode;
        std::string text;
        Lines expected;
        TCodePoint after;
    } cases[] = {
        {{"ABCD"}, {3, 1}, M::smNormal, "P\r\nQ", {"ABP", "QCD"}, {2, 2}},
        {{"AB"}, {5, 1}, M::smColumn, "Z", {"AB  Z"}, {6, 1}},
        {{"one", "two"}, {2, 2}, M::smLine, "x\r\n", {"one", "x", "two"}, {1, 3}},
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        CopyBlockToClipboard(editor.core.GetClipboard(), c.text, c.mode);
        editor.Caret(c.caret.X, c.caret.Y);
        editor.Key('V', ssCtrl, 'v');
        EXPECT_EQ(editor.Lines(), c.expected) << c.text;
        EXPECT_EQ(editor.Caret(), c.after) << c.text;
        editor.Key(vk::Back, ssAlt); // Alt+Backspace undoes
        EXPECT_EQ(editor.Lines(), c.start) << c.text;
    }
}

} // namespace
} // namespace plotalon::test
