#include "settings/Reg.h"

#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace plotalon {
namespace {

namespace fs = std::filesystem;

class RegTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reg::IniFolder = folder_.string() + "/";
        Reg::IniName = "main";
        Reg::IniSection = "path";
    }

    std::string Stored() {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Reg::IniFilePath(), bytes));
        return bytes;
    }

    test::TTempDir temp_;
    fs::path folder_{temp_.Folder()};
};

TEST(RegParseTest, WholeNumberSyntax) {
    struct Case {
        const char* Text;
        std::optional<std::int32_t> Value;
    } cases[] = {
        {"0", 0},
        {"1010", 1010},
        {"+7", 7},
        {"-7", -7},
        {"   42", 42},
        {"000000000000000000000012", 12},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0XaBc", 0xABC},
        {"$FFFFFFFF", -1},
        {"0x80000000", INT32_MIN},
        {"$7fffffff", 2147483647},
        {"$00000000FFFFFFFF", -1},
        {"$100000000", std::nullopt},
        {"-$10", std::nullopt},
        {"+0x10", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$g", std::nullopt},
        {"10h", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"12.5", std::nullopt},
        {"1e3", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"- 1", std::nullopt},
        {"\t12", std::nullopt},
        {"0b101", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.Text + "\"");
        EXPECT_EQ(Reg::ParseWholeNumber(c.Text), c.Value);
    }
}

TEST_F(RegTest, WritesAndReadsThroughTheThreeVariables) {
    Reg::IniWriteString("nc", "");
    Reg::IniWriteString("hpgl", "/plt");
    Reg::IniSection = "convert";
    Reg::IniWriteString("factor", " 1010");
    Reg::IniWriteString("xmove", "12.5");
    Reg::IniWriteString("ymove", "0x10");
    Reg::IniWriteString("type", "1");
    Reg::IniWriteString("type", "2");
    EXPECT_EQ(Reg::IniFilePath(), folder_.string() + "/main.ini");
    EXPECT_EQ(Stored(), "[path]\r\nnc=\r\nhpgl=/plt\r\n"
                        "[convert]\r\nfactor= 1010\r\nxmove=12.5\r\nymove=0x10\r\ntype=2\r\n");

    EXPECT_EQ(Reg::IniReadString("factor"), "1010");
    EXPECT_EQ(Reg::IniReadInteger("factor"), 1010);
    EXPECT_EQ(Reg::IniReadString("xmove"), "12.5");
    EXPECT_EQ(Reg::IniReadInteger("xmove"), 0);
    EXPECT_EQ(Reg::IniReadInteger("ymove"), 16);
    EXPECT_EQ(Reg::IniReadInteger("type"), 2);
    EXPECT_EQ(Reg::IniReadInteger("hpgl"), 0); // lives in the other section
    EXPECT_EQ(Reg::IniReadString("deg"), "");
    EXPECT_EQ(Reg::IniReadInteger("deg"), 0);
    Reg::IniSection = "PATH";
    EXPECT_EQ(Reg::IniReadString("HPGL"), "/plt");
}

TEST_F(RegTest, MissingFileReadsAsDefaults) {
    Reg::IniName = "absent";
    EXPECT_EQ(Reg::IniReadString("nc"), "");
    EXPECT_EQ(Reg::IniReadInteger("factor"), 0);
    EXPECT_FALSE(fs::exists(Reg::IniFilePath())); // reading creates nothing
}

TEST_F(RegTest, FailedWriteRaisesWithTheFullPathAndKeepsEarlierKeys) {
    Reg::IniWriteString("nc", "kept");
    const std::string before = Stored();

    struct Case {
        std::string Folder;
        std::string Path;
    } cases[] = {
        {folder_.string() + "/main.ini/", folder_.string() + "/main.ini/main.ini"}, // parent a file
        {folder_.string() + "/missing/", folder_.string() + "/missing/main.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Folder);
        Reg::IniFolder = c.Folder;
        try {
            Reg::IniWriteString("hpgl", "x");
            ADD_FAILURE() << "no error raised";
        } catch (const Reg::EIniWriteError& e) {
            EXPECT_EQ(e.Message(), "In " + c.Path + " kann nicht geschrieben werden");
        }
    }
    Reg::IniFolder = folder_.string() + "/";
    EXPECT_EQ(Stored(), before);

    // A value with a line break would smuggle keys into the file; it is refused the same way.
    EXPECT_THROW(Reg::IniWriteString("nc", "a\r\n[convert]\r\nfactor=9"), Exception);
    EXPECT_EQ(Stored(), before);
}

TEST_F(RegTest, ReadOnlySettingsFileRaisesTheWriteError) {
    // The user's own settings file, marked read-only, in a folder the user may write.
    Reg::IniWriteString("nc", "kept");
    const std::string path = Reg::IniFilePath();
    ASSERT_TRUE(test::GiveToUnprivilegedUser(folder_.string()));
    ASSERT_TRUE(test::GiveToUnprivilegedUser(path));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(test::RunUnprivileged([&]() -> std::string {
                  try {
                      Reg::IniWriteString("nc", "new");
                  } catch (const Reg::EIniWriteError& e) {
                      return e.Message() == "In " + path + " kann nicht geschrieben werden"
                                 ? ""
                                 : e.Message();
                  }
                  return "no error raised";
              }),
              "");
    EXPECT_EQ(Stored(), "[path]\r\nnc=kept\r\n");
}

} // namespace
} // namespace plotalon
