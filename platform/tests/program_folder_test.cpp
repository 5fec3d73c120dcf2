#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

TEST(ProgramFolder, IsTheFolderOfThisExecutableWithTrailingSlash)
{
    std::string folder = platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // The executable itself lies directly in it.
    auto self = std::filesystem::canonical("/proc/self/exe");
    EXPECT_EQ(self.parent_path().string() + "/", folder);
}

} // namespace
