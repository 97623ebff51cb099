#include "settings/BlockFile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace plotalon {
namespace {

namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

class BlockFileTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = (folder_ / "vorspann.plt").string(); }

    std::string Stored() {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path_, bytes));
        return bytes;
    }

    test::TTempDir temp_;
    fs::path folder_{temp_.Folder()};
    std::string path_;
};

TEST(BlockTextTest, FileBytesBecomeMemoText) {
    struct Case {
        std::string Bytes, Text;
    } cases[] = {
        {"", ""},
        {"IN;\r\nSP1;", "IN;\r\nSP1;"},
        {"IN;\nSP1;\n", "IN;\r\nSP1;\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\n\r\nb\r\rc", "a\r\n\r\nb\r\n\r\nc"},
        {"\n\r", "\r\n\r\n"}, // LF then CR: two lone breaks
        {std::string("ab\0c\nd", 6), "ab"},
        {"\x80\xfe\x01", "\x80\xfe\x01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes);
        EXPECT_EQ(BlockBytesToMemoText(c.Bytes), c.Text);
    }
}

TEST(BlockTextTest, MemoLinesAsTheMemoCountsThem) {
    struct Case {
        std::string Text;
        Lines Expected;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"abc", {"abc"}},
        {"abc\r\n", {"abc"}},
        {"abc\r\n\r\n", {"abc", ""}},
        {"abc\r\ndefg", {"abc", "defg"}},
        {"\r\n\r\nx", {"", "", "x"}},
        {"a\nb\rc", {"a\nb\rc"}}, // only CR LF breaks a memo line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(MemoTextToLines(c.Text), c.Expected);
    }
}

TEST_F(BlockFileTest, SavedMemoHasCrLfBetweenLinesAndNoneAtTheEnd) {
    WriteBlockFile(path_, "abc\r\ndefg");
    EXPECT_EQ(Stored(), "abc\r\ndefg"); // 9 bytes
    WriteBlockFile(path_, "abc\r\n");
    EXPECT_EQ(Stored(), "abc\r\n");
    WriteBlockFile(path_, "");
    EXPECT_TRUE(FileExists(path_));
    EXPECT_EQ(Stored(), "");
}

TEST_F(BlockFileTest, LfOnlyFileLoadsAsTheSameLinesAndSavesWithCrLf) {
    ASSERT_TRUE(ReplaceFileContents(path_, "IN;\nSP1;\nPU;"));
    std::string text = ReadBlockFile(path_);
    EXPECT_EQ(MemoTextToLines(text), (Lines{"IN;", "SP1;", "PU;"}));
    WriteBlockFile(path_, text);
    EXPECT_EQ(Stored(), "IN;\r\nSP1;\r\nPU;");
    WriteBlockFile(path_, "a\nb"); // a memo text with a bare LF still gives CR LF in the file
    EXPECT_EQ(Stored(), "a\r\nb");
}

TEST_F(BlockFileTest, MissingFileIsNoneAndUnreadableFileRaisesOpenError) {
    EXPECT_EQ(ReadBlockFileIfExists(path_), std::nullopt);
    ASSERT_TRUE(ReplaceFileContents(path_, "SP1;\n"));
    EXPECT_EQ(ReadBlockFileIfExists(path_), std::optional<std::string>("SP1;\r\n"));

    for (const std::string& bad : {std::string("/proc/self/mem"), folder_.string()}) {
        try {
            ReadBlockFile(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Datei " + bad + " kann nicht geöffnet werden");
        }
    }
    EXPECT_THROW(ReadBlockFileIfExists("/proc/self/mem"), EFOpenError); // exists, read fails
}

TEST_F(BlockFileTest, FailedWriteRaisesCreateErrorAndKeepsTheOldFile) {
    ASSERT_TRUE(ReplaceFileContents(path_, "old"));
    const std::string underFile = path_ + "/nachspann.plt";
    try {
        WriteBlockFile(underFile, "new");
        ADD_FAILURE() << "no error raised";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Datei " + underFile + " kann nicht erstellt werden");
    }
    EXPECT_THROW(WriteBlockFile(folder_.string(), "new"), EFCreateError); // a folder
    EXPECT_THROW(WriteBlockFile((folder_ / "no" / "x.plt").string(), "new"), EFCreateError);
    EXPECT_EQ(Stored(), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace plotalon
