// Positions the core is given or left with: lines taken away behind its back, and columns
// and lines at the ends of the int range at every entry that takes a position or a count.

#include "EditorFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace plotalon::test {
namespace {

using M = TCodeSelectionMode;

TEST(Positions, LinesRemovedBehindTheCoresBackMoveCaretAndBlockIntoTheText) {
    Editor editor({"G0 X0", "G1 X10", "G1 Y10", "G1 X0", "M30"});
    editor.core.SetSelection({2, 3}, {4, 5});
    int told = 0;
    editor.core.OnStatusChange = [&] { ++told; };
    // The conversion's way with the target pane: many changes in one bracket of the list.
    TCodeEditStringList& lines = editor.core.Lines();
    lines.BeginUpdate();
    lines.DeleteLines(2, 3);
    lines.AddLine("PU0,0;");
    EXPECT_EQ(editor.Caret(), (TCodePoint{4, 2})); // already in the text while the change runs
    lines.DeleteLine(2);
    EXPECT_EQ(told, 0);
    lines.EndUpdate();
    EXPECT_EQ(told, 1); // once, when the list's change is over
    EXPECT_EQ(editor.core.BlockBegin(), (TCodePoint{2, 2}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{4, 2}));
    EXPECT_EQ(editor.core.BlockEnd(), (TCodePoint{4, 2}));
    editor.Key(vk::Down);
    EXPECT_EQ(editor.Caret(), (TCodePoint{4, 2}));

    // Lines added, and a shortened line the caret may stand beyond, move nothing.
    told = 0;
    lines.AddLine("PD10,0;");
    lines.ReplaceLine(1, "G");
    EXPECT_EQ(told, 0);
    // Without eoScrollPastEol the caret keeps to the shortened line.
    editor.core.SetOptions(kDefaultEditOptions & ~eoScrollPastEol);
    lines.ReplaceLine(1, "");
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 2}));
    EXPECT_EQ(told, 1);
}

const int kExtremes[] = {INT_MIN, -1, 0, 1, INT_MAX};

// Every entry that takes positions or counts, with every pair of points made of extreme
// columns and lines, on each selection mode. Nothing may overflow (the sanitizer build stops
// at the first signed overflow) and caret and block ends stay in the text.
TEST(Positions, ExtremeValuesAtEveryEntry) {
    using Entry = std::function<void(TCodeEditCore&, TCodePoint, TCodePoint)>;
    const struct {
        const char* name;
        Entry run;
    } entries[] = {
        {"SetCaretXY", [](TCodeEditCore& c, TCodePoint p, TCodePoint) { c.SetCaretXY(p); }},
        {"SetBlockBegin/End",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.SetBlockBegin(p);
             c.SetBlockEnd(q);
             c.ExecuteCommand(ecDeleteChar);
         }},
        {"SetSelection+commands",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.SetSelection(p, q);
             for (TCodeEditCommand command : {ecCopy, ecBlockIndent, ecBlockUnindent, ecSelRight,
                                              ecWordRight, ecTab, ecShiftTab, ecUndo, ecRedo})
                 c.ExecuteCommand(command);
         }},
        {"ecGotoXY/ecSelGotoXY",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.ExecuteCommand(ecGotoXY, p);
             c.ExecuteCommand(ecSelGotoXY, q);
             c.ExecuteCommand(ecChar, 'A');
         }},
        {"SetTopLine/SetLeftChar/SetWindowSize",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.SetWindowSize(p.Y, p.X);
             c.SetTopLine(q.Y);
             c.SetLeftChar(q.X);
             for (TCodeEditCommand command : {ecPageDown, ecPageUp, ecPageRight, ecPageLeft,
                                              ecPageBottom, ecScrollDown, ecScrollRight})
                 c.ExecuteCommand(command);
         }},
        {"DropSelection",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.SetSelection({1, 1}, {3, 2});
             c.DropSelection(p, true);
             c.DropSelection(q, false);
         }},
        {"SelectWordAt", [](TCodeEditCore& c, TCodePoint p, TCodePoint) { c.SelectWordAt(p); }},
        {"Word positions",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint) {
             c.SetCaretXY(c.NextWordPos(p));
             c.SetCaretXY(c.PrevWordPos(p));
             (void)c.WordAt(p);
         }},
        {"SelectedText/DeleteSelection",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             (void)c.SelectedText(c.SelectionMode(), p, q);
             c.DeleteSelection(c.SelectionMode(), p, q);
         }},
        {"InsertText",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint) {
             c.SetCaretXY(c.InsertText(c.SelectionMode(), p, "P\r\nQ"));
         }},
        {"Bookmarks",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint q) {
             c.SetBookmark(p.X, q);
             c.SetBookmark(1, p);
             (void)c.Bookmark(q.Y);
             c.ClearBookmark(p.Y);
             c.ExecuteCommand(ecGotoMarker0 + 1);
         }},
        {"Counts",
         [](TCodeEditCore& c, TCodePoint p, TCodePoint) {
             c.SetTabWidth(p.X);
             c.SetMaxUndo(p.Y);
             c.ExecuteCommand(ecTab);
             c.ExecuteCommand(ecBlockIndent);
             c.ExecuteCommand(ecShiftTab);
             c.ExecuteCommand(ecUndo);
         }},
    };
    std::vector<TCodePoint> points;
    for (int y : kExtremes)
        for (int x : kExtremes)
            points.push_back({x, y});
    for (const auto& entry : entries)
        for (M mode : {M::smNormal, M::smLine, M::smColumn})
            for (TCodePoint p : points)
                for (TCodePoint q : points) {
                    Editor editor({"G1 X10", "", "(ab) Y"});
                    editor.core.SetSelectionMode(mode);
                    entry.run(editor.core, p, q);
                    ASSERT_TRUE(PositionsInText(editor.core))
                        << entry.name << " at (" << p.X << "," << p.Y << ") (" << q.X << "," << q.Y
                        << ")";
                }
}

TEST(Positions, WordAtColumnsOutsideTheLine) {
    Editor editor({"G1 X10"});
    const struct {
        int column;
        const char* word;
    } cases[] = {{INT_MIN, ""}, {0, ""}, {1, "G1"}, {7, "X10"}, {8, ""}, {INT_MAX, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(editor.core.WordAt({c.column, 1}), c.word) << c.column;
    EXPECT_EQ(editor.core.WordAt({1, INT_MIN}), "");
    EXPECT_EQ(editor.core.WordAt({1, INT_MAX}), "");
}

} // namespace
} // namespace plotalon::test
