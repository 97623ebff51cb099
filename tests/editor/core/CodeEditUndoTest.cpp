// Undo and redo through Ctrl+Z / Ctrl+Shift+Z: grouping, blocks, modified state, limits.

#include "EditorFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace plotalon::test {
namespace {

using Lines = std::vector<std::string>;
using R = TCodeChangeReason;

void Undo(Editor& editor) {
    editor.Key('Z', ssCtrl);
}
void Redo(Editor& editor) {
    editor.Key('Z', ssCtrl | ssShift);
}

TEST(Undo, TypedRunIsOneStep) {
    Editor editor({""});
    editor.Type("G01");
    EXPECT_TRUE(editor.core.Modified());
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{""}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{1, 1}));
    EXPECT_FALSE(editor.core.Modified());
    Redo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"G01"}));
    EXPECT_EQ(editor.Caret(), (TCodePoint{4, 1}));
    EXPECT_TRUE(editor.core.Modified());
}

TEST(Undo, ReasonsSeparateSteps) {
    Editor editor({""});
    editor.Type("G");
    editor.Key(vk::Back, ssNone, '\b');
    editor.Type("X");
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{""}));
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"G"}));
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{""}));
    EXPECT_FALSE(editor.core.CanUndo());
}

TEST(Undo, TypingOverSelectionIsOneStep) {
    Editor editor({"G01 X10"});
    editor.core.SetSelection({5, 1}, {8, 1});
    editor.Type("Y");
    EXPECT_EQ(editor.Lines(), (Lines{"G01 Y"}));
    ASSERT_EQ(editor.core.UndoList().RecordCount(), 2);
    EXPECT_EQ(editor.core.UndoList().RecordAt(0).Reason, R::crDeleteSelection);
    EXPECT_EQ(editor.core.UndoList().RecordAt(0).Text, "X10");
    EXPECT_EQ(editor.core.UndoList().RecordAt(0).ChangeNumber,
              editor.core.UndoList().RecordAt(1).ChangeNumber);
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"G01 X10"}));
    EXPECT_EQ(editor.core.SelText(), "X10"); // the selection's text comes back selected
    EXPECT_FALSE(editor.core.CanUndo());
}

TEST(Undo, NewChangeEmptiesRedoList) {
    Editor editor({""});
    editor.Type("AB");
    Undo(editor);
    EXPECT_TRUE(editor.core.CanRedo());
    editor.Type("C");
    EXPECT_FALSE(editor.core.CanRedo());
}

TEST(Undo, LoadingOrSettingTextClearsBothLists) {
    Editor editor({""});
    editor.Type("AB");
    editor.Key(vk::Return);
    Undo(editor);
    editor.core.SetText("N10\r\nN20");
    EXPECT_FALSE(editor.core.CanUndo());
    EXPECT_FALSE(editor.core.CanRedo());
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"N10", "N20"}));

    editor.Type("X");
    editor.core.Lines().ClearLines(); // as loading a file does
    EXPECT_FALSE(editor.core.CanUndo());
    EXPECT_FALSE(editor.core.Modified());
}

TEST(Undo, FullListKeepsPaneModified) {
    Editor editor({""});
    for (int i = 0; i < 1025; ++i) {
        if (i % 2 == 0)
            editor.Type("A");
        else
            editor.Key(vk::Return);
    }
    EXPECT_EQ(editor.core.UndoList().RecordCount(), 1024);
    EXPECT_TRUE(editor.core.UndoList().Full());
    while (editor.core.CanUndo())
        Undo(editor);
    EXPECT_TRUE(editor.core.Modified());
    EXPECT_EQ(editor.Lines(), (Lines{"A"})); // the first, dropped change stays
}

TEST(Undo, RecordsCarryReasonsPositionsAndText) {
    struct Case {
        Lines start;
        TCodePoint caret;
        std::uint16_t key;
        TShiftState shift;
        R reason;
        TCodePoint from;
        TCodePoint to;
        std::string text;
    } cases[] = {
        {{"AB", "CD"}, {1, 2}, vk::Back, ssNone, R::crDeleteBeforeCaret, {3, 1}, {1, 2}, "\r\n"},
        {{"ABC"}, {2, 1}, vk::Delete, ssNone, R::crDeleteAfterCaret, {2, 1}, {3, 1}, "B"},
        {{"AB CD"}, {4, 1}, vk::Return, ssNone, R::crLineBreak, {4, 1}, {1, 2}, "CD"},
        {{"AB", "CD"}, {2, 2}, 'Y', ssCtrl, R::crDelete, {1, 2}, {3, 2}, "CD\r\n"},
        {{"AB"}, {1, 1}, vk::Tab, ssNone, R::crInsert, {1, 1}, {9, 1}, ""},
    };
    for (const auto& c : cases) {
        Editor editor(c.start);
        editor.Caret(c.caret.X, c.caret.Y);
        editor.Key(c.key, c.shift);
        const TCodeEditUndoItem* top = editor.core.UndoList().TopRecord();
        ASSERT_NE(top, nullptr) << c.key;
        EXPECT_EQ(top->Reason, c.reason) << c.key;
        EXPECT_EQ(top->Start, c.from) << c.key;
        EXPECT_EQ(top->End, c.to) << c.key;
        EXPECT_EQ(top->Text, c.text) << c.key;
        Undo(editor);
        EXPECT_EQ(editor.Lines(), c.start) << c.key;
    }
}

TEST(Undo, OverwrittenTextComesBack) {
    Editor editor({"G01"});
    editor.Key(vk::Insert);
    editor.Type("X");
    EXPECT_EQ(editor.core.UndoList().TopRecord()->Text, "G");
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"G01"}));
}

TEST(Undo, ColumnPasteOfUnevenLinesIsUndoneExactly) {
    // The pasted segments differ in length and run past the last line.
    Editor editor({"ABCD", "EF"});
    CopyBlockToClipboard(editor.core.GetClipboard(), "123\r\n4\r\n56",
                         TCodeSelectionMode::smColumn);
    editor.Caret(2, 1);
    editor.Key('V', ssCtrl);
    EXPECT_EQ(editor.Lines(), (Lines{"A123BCD", "E4F", " 56"}));
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"ABCD", "EF"}));
    Redo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"A123BCD", "E4F", " 56"}));
}

TEST(Undo, ReadOnlyPaneDoesNotUndo) {
    Editor editor({""});
    editor.Type("A");
    editor.core.SetReadOnly(true);
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"A"}));
}

TEST(Undo, BookmarksFollowUndoneLines) {
    Editor editor({"a", "b", "c"});
    editor.core.SetBookmark(5, {1, 3});
    editor.Caret(1, 1);
    editor.Key('Y', ssCtrl);
    EXPECT_EQ(editor.core.Bookmark(5)->Y, 2);
    Undo(editor);
    EXPECT_EQ(editor.core.Bookmark(5)->Y, 3);
}

TEST(Undo, WithoutGroupUndoEachCharacterIsAStep) {
    Editor editor({""});
    editor.core.SetOptions(kDefaultEditOptions & ~eoGroupUndo);
    editor.Type("AB");
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"A"}));
}

TEST(Undo, ChangesBehindTheCoresBackEmptyTheLists) {
    // Records describe the text they were taken from; applied to another text they would
    // corrupt it. Loading into an empty list raises no cleared event, so the core notices
    // the lines themselves.
    Editor editor({"A"});
    editor.core.ExecuteCommand(ecClearAll);
    Undo(editor);
    Redo(editor);
    ASSERT_TRUE(editor.core.CanUndo());
    editor.core.Lines().AddLine("N10 G00");
    EXPECT_FALSE(editor.core.CanUndo());
    EXPECT_FALSE(editor.core.CanRedo());

    editor.Type("X");
    Undo(editor);
    editor.core.Lines().ReplaceLine(0, "N20"); // with something to redo
    EXPECT_FALSE(editor.core.CanRedo());
    Redo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"N20"}));
}

TEST(Undo, LineEventsReachTheCoresHooks) {
    Editor editor({"AB"});
    int replaced = -1, changed = 0;
    editor.core.OnLineReplaced = [&](int index) { replaced = index; };
    editor.core.OnLinesChanged = [&] { ++changed; };
    editor.Type("X");
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(editor.core.CanUndo()); // the core's own change keeps its record
}

TEST(Undo, LoadingAFileLeavesNothingToUndo) {
    auto path = std::filesystem::temp_directory_path() /
                ("editcore_load_" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".nc");
    {
        std::ofstream out(path, std::ios::binary);
        out << "N10 G00\r\nN20 G01\r\n";
    }
    for (bool startEmpty : {false, true}) {
        Editor editor;
        if (!startEmpty) editor.core.Lines().AddLine("old");
        editor.Type("X");
        editor.Key(vk::Return);
        editor.Key('Z', ssCtrl | ssShift);
        editor.core.ExecuteCommand(ecClearAll);
        editor.core.Lines().LoadFile(path.string());
        Undo(editor);
        Redo(editor);
        EXPECT_EQ(editor.Lines(), (Lines{"N10 G00", "N20 G01"}));
        EXPECT_FALSE(editor.core.Modified());
    }
    std::filesystem::remove(path);
}

TEST(Undo, GroupBracketsUndoAndRedoEverythingBetweenThem) {
    Editor editor({"N1"});
    auto bracket = [&](R reason) {
        editor.core.UndoList().RecordChange(reason, {1, 1}, TCodeSelectionMode::smNormal, "",
                                            {1, 1});
    };
    editor.Caret(3, 1);
    bracket(R::crGroupBegin2);
    editor.Type("A");
    editor.Key(vk::Return);
    editor.Type("B");
    editor.Key(vk::Back);
    bracket(R::crGroupEnd2);
    EXPECT_EQ(editor.Lines(), (Lines{"N1A", ""}));
    Undo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"N1"}));
    EXPECT_FALSE(editor.core.CanUndo());
    Redo(editor);
    EXPECT_EQ(editor.Lines(), (Lines{"N1A", ""}));
    EXPECT_FALSE(editor.core.CanRedo());
    EXPECT_EQ(editor.core.UndoList().TopReason(), R::crGroupEnd2);
}

} // namespace
} // namespace plotalon::test
