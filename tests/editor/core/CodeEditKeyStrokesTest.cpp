#include "editor/core/CodeEditKeyStrokes.h"

#include <gtest/gtest.h>

#include <set>

namespace plotalon {
namespace {

TEST(EditorCommandNames, NamesMapToValuesAndBack) {
    struct Case {
        TCodeEditCommand command;
        const char* name;
    } cases[] = {
        {ecNone, "ecNone"},
        {ecSelGotoXY, "ecSelGotoXY"},
        {ecSelWordLeft, "ecSelWordLeft"},
        {ecGotoMarker0 + 4, "ecGotoMarker4"},
        {ecSetMarker9, "ecSetMarker9"},
        {ecImeStr, "ecImeStr"},
        {ecAutoCompletion, "ecAutoCompletion"},
        {ecUserFirst, "ecUserFirst"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EditorCommandToIdent(c.command), c.name);
        EXPECT_EQ(IdentToEditorCommand(c.name), c.command);
    }
    EXPECT_EQ(ecSelPageBottom, 114);
    EXPECT_EQ(IdentToEditorCommand("ECLINEBREAK"), ecLineBreak);
}

TEST(EditorCommandNames, UnnamedValuesAreStoredAsNumbers) {
    EXPECT_EQ(EditorCommandToIdent(ecString), "630");
    EXPECT_FALSE(EditorCommandName(ecString).has_value());
    EXPECT_EQ(EditorCommandToIdent(4711), "4711");
    EXPECT_EQ(IdentToEditorCommand("630"), ecString);
    EXPECT_FALSE(IdentToEditorCommand("ecNoSuchThing").has_value());
    EXPECT_FALSE(IdentToEditorCommand("65536").has_value());
    EXPECT_FALSE(IdentToEditorCommand("").has_value());
    EXPECT_FALSE(IdentToEditorCommand("12x").has_value());
}

TEST(ShortCuts, KeyPlusShiftBits) {
    EXPECT_EQ(ShortCut(vk::Up, ssNone), 0x26);
    EXPECT_EQ(ShortCut('Z', ssCtrl | ssShift), 'Z' + 0x4000 + 0x2000);
    EXPECT_EQ(ShortCut(vk::Back, ssAlt), 0x08 + 0x8000);
    std::uint16_t key;
    TShiftState shift;
    ShortCutToKey(ShortCut('B', ssCtrl | ssShift), key, shift);
    EXPECT_EQ(key, 'B');
    EXPECT_EQ(shift, ssCtrl | ssShift);
}

TEST(KeyStrokes, DefaultListHas82DistinctEntries) {
    TCodeEditKeyStrokes keys;
    keys.ResetDefaults();
    ASSERT_EQ(keys.Count(), 82);
    std::set<TShortCut> seen;
    for (int i = 0; i < keys.Count(); ++i)
        EXPECT_TRUE(seen.insert(keys[i].ShortCut()).second) << i;

    struct Case {
        std::uint16_t key;
        TShiftState shift;
        TCodeEditCommand command;
    } cases[] = {
        {vk::Up, ssCtrl, ecScrollUp},
        {vk::Next, ssCtrl | ssShift, ecSelPageBottom},
        {vk::Insert, ssShift, ecPaste},
        {vk::Back, ssAlt | ssShift, ecRedo},
        {vk::Back, ssShift, ecDeleteLastChar},
        {vk::Return, ssShift, ecLineBreak},
        {vk::F1, ssCtrl, ecContextHelp},
        {'B', ssCtrl | ssShift, ecMatchBracket},
        {'M', ssCtrl, ecLineBreak},
        {'N', ssCtrl | ssShift, ecNormalSelect},
        {'Y', ssCtrl | ssShift, ecDeleteEOL},
        {'0', ssCtrl, ecGotoMarker0},
        {'9', ssCtrl | ssShift, ecSetMarker9},
    };
    for (const auto& c : cases) {
        int index = keys.FindKeycode(c.key, c.shift);
        ASSERT_GE(index, 0) << c.key;
        EXPECT_EQ(keys[index].Command(), c.command) << c.key;
    }
    EXPECT_EQ(keys.FindKeycode('A', ssNone), -1);
    EXPECT_EQ(keys.FindKeycode(vk::Delete, ssCtrl), -1);
}

TEST(KeyStrokes, TakenShortcutIsRefusedAndItemUnchanged) {
    TCodeEditKeyStrokes keys;
    keys.ResetDefaults();
    TCodeEditKeyStroke& item = keys.Add();
    item.SetCommand(ecClearAll);
    try {
        item.SetShortCut(ShortCut('Z', ssCtrl));
        FAIL() << "no error";
    } catch (const ECodeKeyError& error) {
        EXPECT_STREQ(error.what(), "Shortcut already exists");
    }
    EXPECT_EQ(item.Key(), 0);
    EXPECT_THROW(keys[0].SetShift(ssShift), ECodeKeyError); // Up+Shift is ecSelUp's
    EXPECT_EQ(keys[0].Shift(), ssNone);
    EXPECT_THROW(keys.Add(ecCopy, 'C', ssCtrl), ECodeKeyError);
    EXPECT_EQ(keys.Count(), 83);

    item.SetShortCut(ShortCut('Q', ssCtrl));
    EXPECT_EQ(keys.FindKeycode('Q', ssCtrl), 82);
    // A second key makes it another shortcut pair; the first key alone no longer finds it.
    item.SetKey2('K');
    EXPECT_EQ(keys.FindKeycode('Q', ssCtrl), -1);
    EXPECT_EQ(keys.FindShortcut2(ShortCut('Q', ssCtrl), ShortCut('K', ssNone)), 82);
}

TEST(KeyStrokes, CopiesAreIndependent) {
    TCodeEditKeyStrokes keys;
    keys.ResetDefaults();
    TCodeEditKeyStrokes copy = keys;
    copy.Delete(0);
    EXPECT_EQ(keys.Count(), 82);
    EXPECT_EQ(copy.Count(), 81);
    // Items of the copy check against the copy.
    copy[0].SetShortCut(ShortCut(vk::Up, ssNone));
    EXPECT_EQ(copy.FindKeycode(vk::Up, ssNone), 0);
}

} // namespace
} // namespace plotalon
