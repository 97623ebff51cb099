#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plotalon {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(
        std::filesystem::path(folder),
        std::filesystem::current_path() /
            std::filesystem::path(::testing::internal::GetArgvs()[0]).parent_path()));
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
