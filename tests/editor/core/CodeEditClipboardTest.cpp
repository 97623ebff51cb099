#include "editor/core/CodeEditClipboard.h"

#include <gtest/gtest.h>

namespace plotalon {
namespace {

TEST(ClipboardBlock, CopyPutsPlainTextAndModeByteWithTerminators) {
    InMemoryClipboard clipboard;
    ASSERT_TRUE(clipboard.Open());
    clipboard.SetData("other", "x");
    clipboard.Close();
    CopyBlockToClipboard(clipboard, "AB\r\nC", TCodeSelectionMode::smColumn);
    EXPECT_FALSE(clipboard.IsOpen());
    EXPECT_FALSE(clipboard.HasFormat("other"));
    EXPECT_EQ(clipboard.Data(Clipboard::kText), std::string("AB\r\nC\0", 6));
    EXPECT_EQ(clipboard.Data(kBlockFormatName), '\x02' + std::string("AB\r\nC\0", 6));
    auto block = PasteBlockFromClipboard(clipboard);
    EXPECT_EQ(block.Text, "AB\r\nC");
    EXPECT_EQ(block.Mode, TCodeSelectionMode::smColumn);
}

TEST(ClipboardBlock, PlainTextPastesInNormalModeUpToZero) {
    InMemoryClipboard clipboard;
    EXPECT_EQ(PasteBlockFromClipboard(clipboard).Text, "");
    clipboard.Open();
    clipboard.SetData(Clipboard::kText, std::string("G1\0junk", 7));
    clipboard.Close();
    auto block = PasteBlockFromClipboard(clipboard);
    EXPECT_EQ(block.Text, "G1");
    EXPECT_EQ(block.Mode, TCodeSelectionMode::smNormal);
}

TEST(ClipboardBlock, FailuresRaiseTheirMessages) {
    InMemoryClipboard clipboard;
    clipboard.SetFailOpen(true);
    try {
        CopyBlockToClipboard(clipboard, "A", TCodeSelectionMode::smNormal);
        FAIL();
    } catch (const ECodeEditError& error) {
        EXPECT_STREQ(error.what(), "Clipboard copy operation failed");
    }
    clipboard.SetFailOpen(false);
    clipboard.SetFailWrite(true);
    EXPECT_THROW(CopyBlockToClipboard(clipboard, "A", TCodeSelectionMode::smNormal),
                 ECodeEditError);
    EXPECT_FALSE(clipboard.IsOpen()); // closed again after the failure
    clipboard.SetFailWrite(false);
    CopyBlockToClipboard(clipboard, "A", TCodeSelectionMode::smLine);
    clipboard.SetFailRead(true);
    try {
        PasteBlockFromClipboard(clipboard);
        FAIL();
    } catch (const ECodeEditError& error) {
        EXPECT_STREQ(error.what(), "Clipboard paste operation failed.");
    }
}

} // namespace
} // namespace plotalon
