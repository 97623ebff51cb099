// Any sequence of commands, undone completely, gives back the text it started from; redone
// completely, it gives back the edited text. Checked on seeded random command sequences.

#include "EditorFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace plotalon::test {
namespace {

const std::vector<std::string> kStart = {
    "G01 X10 Y20", "  G02 X5 (arc) Y7", "", "    [A{B}<C>]   ", "N10 G00", "\tT1 M6", "  ",
};

// clang-format off
const TCodeEditCommand kCommands[] = {
    ecLeft,        ecRight,         ecUp,           ecDown,          ecWordLeft,
    ecWordRight,   ecLineStart,     ecLineEnd,      ecPageUp,        ecPageDown,
    ecPageLeft,    ecPageRight,     ecPageTop,      ecPageBottom,    ecEditorTop,
    ecEditorBottom, ecSelLeft,      ecSelRight,     ecSelUp,         ecSelDown,
    ecSelWordLeft, ecSelWordRight,  ecSelLineStart, ecSelLineEnd,    ecSelPageDown,
    ecSelEditorBottom, ecSelectAll, ecScrollUp,     ecScrollDown,    ecScrollLeft,
    ecScrollRight, ecToggleMode,    ecNormalSelect, ecColumnSelect,  ecLineSelect,
    ecMatchBracket, ecGotoMarker0 + 1, ecSetMarker0 + 1, ecDeleteLastChar, ecDeleteChar,
    ecDeleteWord,  ecDeleteLastWord, ecDeleteBOL,   ecDeleteEOL,     ecDeleteLine,
    ecLineBreak,   ecInsertLine,    ecChar,         ecChar,          ecChar,
    ecChar,        ecImeStr,        ecCopy,         ecCut,           ecPaste,
    ecPaste,       ecBlockIndent,   ecBlockUnindent, ecTab,          ecShiftTab,
    ecUndo,        ecRedo,          ecGotoXY,       ecSelGotoXY,     ecClearAll,
    ecUpperCase,   ecString,        ecLineBreak,    ecPaste,         ecChar,
    ecTab,
};
// clang-format on

class UndoProperty : public ::testing::TestWithParam<unsigned> {};

void RunRandomCommand(Editor& editor, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TCodeEditCommand command = kCommands[pick(std::size(kCommands))];
    const char chars[] = "aG1 ()[]<>{}X.\x85\xE4";
    switch (command) {
    case ecClearAll:
        if (pick(20) != 0) return; // rare: it empties the small text
        editor.core.ExecuteCommand(command);
        return;
    case ecChar:
        editor.core.ExecuteCommand(command, chars[pick(sizeof(chars) - 1)]);
        return;
    case ecPaste:
        if (pick(2) == 0) {
            // A block of one to three lines in any mode, as another pane might have copied.
            const char* blocks[] = {"Q", "P\r\nQ", "ab\ncd\r\nef", "\r\n", "  X1\r\nY2\r\n"};
            CopyBlockToClipboard(editor.core.GetClipboard(), blocks[pick(5)],
                                 static_cast<TCodeSelectionMode>(pick(3)));
        }
        editor.core.ExecuteCommand(command);
        return;
    case ecImeStr:
        editor.core.ExecuteCommand(command, std::string_view("ab\r\nc", pick(6)));
        return;
    case ecCopy:
        if (pick(3) == 0) {
            // A drag of the selection dropped somewhere, moved or copied.
            editor.core.DropSelection({pick(20), pick(12)}, pick(2) == 0);
            return;
        }
        editor.core.ExecuteCommand(command);
        return;
    case ecGotoXY:
    case ecSelGotoXY:
        // Anywhere, beyond line ends and beyond the last line included.
        editor.core.ExecuteCommand(command, TCodePoint{pick(30) - 2, pick(14) - 2});
        return;
    default:
        editor.core.ExecuteCommand(command);
    }
}

TEST_P(UndoProperty, UndoAllRestoresTheStartAndRedoAllTheEdit) {
    Editor editor(kStart);
    editor.core.SetMaxUndo(1 << 20);
    editor.core.SetWindowSize(3, 10);
    std::mt19937 random(GetParam());
    for (int i = 0; i < 3000; ++i) {
        RunRandomCommand(editor, random);
        TCodePoint caret = editor.Caret();
        ASSERT_GE(caret.Y, 1);
        ASSERT_LE(caret.Y, std::max(1, editor.core.Lines().Count()));
        ASSERT_GE(caret.X, 1);
    }
    // Steps undone last by the sequence itself are taken back first, so that the redo list
    // afterwards holds exactly what undoing everything puts there.
    int guard = 0;
    while (editor.core.CanRedo() && ++guard < 100000)
        editor.core.ExecuteCommand(ecRedo);
    const auto edited = editor.Lines();
    RecordProperty("edited_lines", static_cast<int>(edited.size()));
    RecordProperty("undo_records", editor.core.UndoList().RecordCount());

    while (editor.core.CanUndo() && ++guard < 100000)
        editor.core.ExecuteCommand(ecUndo);
    EXPECT_EQ(editor.Lines(), kStart);
    EXPECT_FALSE(editor.core.Modified());

    while (editor.core.CanRedo() && ++guard < 200000)
        editor.core.ExecuteCommand(ecRedo);
    EXPECT_EQ(editor.Lines(), edited);
    EXPECT_TRUE(editor.core.Modified() || edited == kStart);

    // And once more, so that records moved twice still hold what they must.
    while (editor.core.CanUndo() && ++guard < 300000)
        editor.core.ExecuteCommand(ecUndo);
    EXPECT_EQ(editor.Lines(), kStart);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoProperty, ::testing::Values(1u, 7u, 42u, 1234u, 99991u));

// The same with the options the panes leave off turned on and the ones they set turned off.
TEST(UndoPropertyOptions, OtherOptionsKeepUndoExact) {
    const TCodeEditOptions sets[] = {
        0,
        eoAutoIndent | eoGroupUndo | eoHalfPageScroll | eoEnhanceHomeKey,
        kDefaultEditOptions | eoNoSelection | eoScrollByOneLess | eoKeepCaretX,
        kDefaultEditOptions & ~(eoSmartTabs | eoTabsToSpaces | eoTrimTrailingSpaces),
    };
    unsigned seed = 500;
    for (TCodeEditOptions options : sets) {
        Editor editor(kStart);
        editor.core.SetOptions(options);
        editor.core.SetMaxUndo(1 << 20);
        editor.core.SetWindowSize(4, 12);
        std::mt19937 random(++seed);
        for (int i = 0; i < 2000; ++i) {
            RunRandomCommand(editor, random);
            if (!(options & eoScrollPastEol)) {
                auto line = editor.core.Lines().LineAt(editor.Caret().Y - 1);
                ASSERT_LE(editor.Caret().X, static_cast<int>(line.size()) + 1);
            }
        }
        while (editor.core.CanRedo())
            editor.core.ExecuteCommand(ecRedo);
        const auto edited = editor.Lines();
        while (editor.core.CanUndo())
            editor.core.ExecuteCommand(ecUndo);
        EXPECT_EQ(editor.Lines(), kStart) << options;
        while (editor.core.CanRedo())
            editor.core.ExecuteCommand(ecRedo);
        EXPECT_EQ(editor.Lines(), edited) << options;
    }
}

// Every mode and every command from the empty text: nothing crashes, undo gives it back.
TEST(UndoPropertyEmpty, CommandsOnEmptyTextUndoToEmpty) {
    for (unsigned seed = 0; seed < 20; ++seed) {
        Editor editor;
        editor.core.SetMaxUndo(1 << 20);
        std::mt19937 random(seed);
        for (int i = 0; i < 200; ++i)
            RunRandomCommand(editor, random);
        while (editor.core.CanUndo())
            editor.core.ExecuteCommand(ecUndo);
        EXPECT_TRUE(editor.Lines().empty()) << "seed " << seed;
    }
}

// Lines changed behind the core's back (as the conversion does to the target pane), one at a
// time or several inside one update bracket, between commands and wild selection ends:
// nothing crashes, caret and block ends never stand outside the text, and the view hears
// whenever such a change moved them.
TEST(UndoPropertyRobust, ExternalLineChangesAndWildPositions) {
    for (unsigned seed = 100; seed < 110; ++seed) {
        Editor editor(kStart);
        TCodeEditStringList& lines = editor.core.Lines();
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        int told = 0;
        editor.core.OnStatusChange = [&] { ++told; };
        auto outsideChange = [&] {
            const int count = lines.Count();
            switch (pick(7)) {
            case 0:
                lines.AddLine("(x) [y]");
                break;
            case 1:
                lines.InsertLine(pick(count + 1), "G1 X5");
                break;
            case 2:
                if (count > 0) lines.DeleteLine(pick(count));
                break;
            case 3:
                lines.DeleteLines(pick(count + 1), pick(4) + 1);
                break;
            case 4:
                if (count > 0) lines.ReplaceLine(pick(count), std::string(pick(3), 'z'));
                break;
            case 5:
                lines.InsertLines(pick(count + 1), pick(3));
                break;
            default:
                if (pick(6) == 0) lines.ClearLines();
            }
        };
        for (int i = 0; i < 1500; ++i) {
            const TCodePoint before[] = {editor.Caret(), editor.core.BlockBegin(),
                                         editor.core.BlockEnd()};
            const int toldBefore = told;
            const int step = pick(12);
            switch (step) {
            case 0:
                outsideChange();
                break;
            case 1:
                lines.BeginUpdate();
                for (int n = pick(4); n >= 0; --n)
                    outsideChange();
                lines.EndUpdate();
                break;
            case 2:
                editor.core.SetSelectionMode(static_cast<TCodeSelectionMode>(pick(3)));
                editor.core.SetSelection({pick(40) - 5, pick(20) - 5},
                                         {pick(40) - 5, pick(20) - 5});
                break;
            default:
                RunRandomCommand(editor, random);
            }
            ASSERT_TRUE(PositionsInText(editor.core)) << "seed " << seed << ", step " << i;
            const TCodePoint after[] = {editor.Caret(), editor.core.BlockBegin(),
                                        editor.core.BlockEnd()};
            if (step <= 1 && !std::equal(before, before + 3, after)) {
                ASSERT_GT(told, toldBefore) << "seed " << seed << ", step " << i;
            }
        }
    }
}

} // namespace
} // namespace plotalon::test
