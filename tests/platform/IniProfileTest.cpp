#include "platform/IniProfile.h"

#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>

namespace plotalon {
namespace {

namespace fs = std::filesystem;

class IniProfileTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = (folder_ / "main.ini").string(); }

    void Store(const std::string& bytes) { ASSERT_TRUE(ReplaceFileContents(path_, bytes)); }
    std::string Stored() {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path_, bytes));
        return bytes;
    }
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def = "") {
        return GetPrivateProfileString(section, key, def, path_);
    }
    bool Write(const std::string& section, const std::string& key, const std::string& value) {
        return WritePrivateProfileString(section, key, value, path_);
    }

    test::TTempDir temp_;
    fs::path folder_{temp_.Folder()};
    std::string path_;
};

TEST_F(IniProfileTest, ReadsValuesWithoutRegardToCaseAndWithoutSurroundingBlanks) {
    Store("; settings\r\n"
          "[Path]\r\n"
          "NC = /home/nc  \r\n"
          "  hpgl=\t/home/plt\r\n"
          "\r\n"
          "  [ CONVERT ]  \n"
          "Factor=  1010\n"
          "factor=2\n" // a later duplicate does not count
          "quoted= \" q \" \r\n"
          "single='q'\r\n"
          "lone=\"\r\n"
          "mixed=\"q'\r\n"
          "empty=\r"
          "[convert]\r\n"
          "deg=5\r\n"); // a later section of the same name does not count
    EXPECT_EQ(Read("path", "nc"), "/home/nc");
    EXPECT_EQ(Read("PATH", "HPGL"), "/home/plt");
    EXPECT_EQ(Read("convert", "factor"), "1010");
    EXPECT_EQ(Read("convert", "empty", "dflt"), "");
    EXPECT_EQ(Read("convert", "quoted"), " q ");
    EXPECT_EQ(Read("convert", "single"), "q");
    EXPECT_EQ(Read("convert", "lone"), "\"");
    EXPECT_EQ(Read("convert", "mixed"), "\"q'");
    EXPECT_EQ(Read("convert", "deg", "dflt"), "dflt");
    EXPECT_EQ(Read("convert", "nc", "dflt"), "dflt"); // key of another section
    EXPECT_EQ(Read("missing", "nc", "dflt"), "dflt");
}

TEST_F(IniProfileTest, MissingOrUnreadableFileYieldsTheDefault) {
    EXPECT_EQ(Read("path", "nc", "dflt"), "dflt");
    EXPECT_EQ(GetPrivateProfileString("path", "nc", "x", folder_.string()), "x"); // a folder
    EXPECT_EQ(GetPrivateProfileString("path", "nc", "x", "/proc/self/mem"), "x"); // read fails
}

TEST_F(IniProfileTest, ReadStopsAt2047CharactersAndAtNul) {
    const std::string longValue(3000, 'v');
    Store("[s]\r\nlong=" + longValue + "\r\nexact=" + std::string(2047, 'e') + "\r\nnul=ab" +
          std::string(1, '\0') + "cd\r\n");
    EXPECT_EQ(Read("s", "long"), std::string(2047, 'v'));
    EXPECT_EQ(Read("s", "exact"), std::string(2047, 'e'));
    EXPECT_EQ(Read("s", "nul"), "ab");
    EXPECT_EQ(Read("s", "missing", longValue), std::string(2047, 'v'));
}

TEST_F(IniProfileTest, WriteCreatesFileThenSectionThenKey) {
    ASSERT_TRUE(Write("path", "nc", ""));
    EXPECT_EQ(Stored(), "[path]\r\nnc=\r\n");
    ASSERT_TRUE(Write("path", "hpgl", "/x"));
    ASSERT_TRUE(Write("convert", "factor", " 1010"));
    EXPECT_EQ(Stored(), "[path]\r\nnc=\r\nhpgl=/x\r\n[convert]\r\nfactor= 1010\r\n");
    EXPECT_EQ(Read("convert", "factor"), "1010");
}

TEST_F(IniProfileTest, WriteKeepsEveryOtherLineByteForByte) {
    const std::string before = "; kept \t\r\n"
                               "[Path]\n"
                               "NC = old \n"
                               "other=\x80\xff raw\r"
                               "\r\n"
                               "[convert]\r\n"
                               "factor=1\r\n"
                               "\r\n";
    Store(before);

    ASSERT_TRUE(Write("path", "nc", "new")); // replaces, keeps the stored key and line break
    EXPECT_EQ(Stored(), "; kept \t\r\n[Path]\nNC=new\nother=\x80\xff raw\r\r\n"
                        "[convert]\r\nfactor=1\r\n\r\n");

    Store(before);
    ASSERT_TRUE(Write("PATH", "hpgl", "h")); // after the section's last line, before the blank
    EXPECT_EQ(Stored(), "; kept \t\r\n[Path]\nNC = old \nother=\x80\xff raw\rhpgl=h\r\n"
                        "\r\n[convert]\r\nfactor=1\r\n\r\n");

    Store(before);
    ASSERT_TRUE(Write("convert", "deg", "10"));
    EXPECT_EQ(Stored(), "; kept \t\r\n[Path]\nNC = old \nother=\x80\xff raw\r\r\n"
                        "[convert]\r\nfactor=1\r\ndeg=10\r\n\r\n");
}

TEST_F(IniProfileTest, WriteAfterLastLineWithoutBreakAddsOne) {
    Store("[convert]\r\nfactor=1");
    ASSERT_TRUE(Write("convert", "deg", "2"));
    EXPECT_EQ(Stored(), "[convert]\r\nfactor=1\r\ndeg=2\r\n");

    Store("[convert]");
    ASSERT_TRUE(Write("path", "nc", "n"));
    EXPECT_EQ(Stored(), "[convert]\r\n[path]\r\nnc=n\r\n");
}

TEST_F(IniProfileTest, FailedWriteReportsFalseAndLeavesNothingBehind) {
    const std::string underFile = (folder_ / "main.ini" / "x.ini").string();
    Store("[path]\r\nnc=1\r\n");
    EXPECT_FALSE(WritePrivateProfileString("path", "nc", "2", underFile)); // parent is a file
    EXPECT_FALSE(WritePrivateProfileString("path", "nc", "2", (folder_ / "no/x.ini").string()));
    EXPECT_FALSE(WritePrivateProfileString("path", "nc", "2", "/proc/self/mem")); // unreadable
    EXPECT_FALSE(WritePrivateProfileString("path", "nc", "2", "/proc/version"));  // no temp file
    EXPECT_FALSE(WritePrivateProfileString("path", "nc", "2", folder_.string())); // a folder
    EXPECT_EQ(Stored(), "[path]\r\nnc=1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(IniProfileTest, RefusesNamesAndValuesThatWouldBreakTheLines) {
    Store("[path]\r\nnc=1\r\n");
    struct Case {
        std::string Section, Key, Value;
    } cases[] = {
        {"path", "nc", "a\r\n[convert]\r\nfactor=9"},
        {"path", "nc", "a\nb"},
        {"path", "nc", std::string("a\0b", 3)},
        {"path", "", "v"},
        {"path", "a=b", "v"},
        {"path", "[x]", "v"},
        {"path", " nc", "v"},
        {"pa]th", "nc", "v"},
        {"path ", "nc", "v"},
        {"pa\nth", "nc", "v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Section + "|" + c.Key + "|" + c.Value);
        EXPECT_FALSE(Write(c.Section, c.Key, c.Value));
    }
    EXPECT_EQ(Stored(), "[path]\r\nnc=1\r\n");
}

TEST_F(IniProfileTest, ReadOnlyFileIsNotReplaced) {
    // The user's own file, marked read-only, in a folder the user may write.
    Store("[path]\r\nnc=1\r\n");
    ASSERT_TRUE(test::GiveToUnprivilegedUser(folder_.string()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(path_));
    fs::permissions(path_, fs::perms::owner_read);
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  return Write("path", "nc", "2") ? "the write was accepted" : "";
              }),
              "");
    EXPECT_EQ(Stored(), "[path]\r\nnc=1\r\n");
}

} // namespace
} // namespace plotalon
