#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plotalon {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "platform_core_tests"));
}

TEST(ProgramFolder, OverridesNestAndEndInASeparator) {
    const std::string real = ProgramFolder();
    {
        TProgramFolderOverride outer("/tmp/a");
        EXPECT_EQ(ProgramFolder(), "/tmp/a/");
        {
            TProgramFolderOverride inner("/tmp/b/");
            EXPECT_EQ(ProgramFolder(), "/tmp/b/");
        }
        EXPECT_EQ(ProgramFolder(), "/tmp/a/");
    }
    EXPECT_EQ(ProgramFolder(), real);
}

} // namespace
} // namespace plotalon
