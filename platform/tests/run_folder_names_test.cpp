// Names for page files that another thread creates later: each new, in the run's own folder,
// and swept with it.
#include "platform/run_folder.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

TEST(RunFolderNames, AreNewAndInTheRunsFolderWhichGoesWithTheFilesMadeUnderThem)
{
    testing_support::CTempDir tmp;
    const testing_support::CScopedEnv env{{"TMPDIR", tmp.Path().c_str()}};
    platform::RunFolder folder;
    std::set<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const platform::Result<std::string> name = folder.NewFileName();
        ASSERT_TRUE(name) << name.error;
        EXPECT_EQ(fs::path(name.value).parent_path(), fs::path(folder.Path()));
        EXPECT_TRUE(fs::path(name.value).filename().string().starts_with("~TV"));
        EXPECT_FALSE(fs::exists(name.value)) << "only a name";
        names.insert(name.value);
        testing_support::WriteFileBytes(name.value, "page");
    }
    // MakeFile's names in the same folder never meet them.
    const platform::Result<std::string> made = folder.MakeFile();
    ASSERT_TRUE(made);
    names.insert(made.value);
    EXPECT_EQ(names.size(), 4u);

    const std::string path = folder.Path();
    folder.Remove();
    EXPECT_FALSE(fs::exists(path));
    const platform::Result<std::string> next = folder.NewFileName();
    ASSERT_TRUE(next);
    EXPECT_NE(fs::path(next.value).parent_path(), fs::path(path)) << "a new run, a new folder";
}

TEST(RunFolderNames, FailWithTheReasonWhenNoFolderCanBeMade)
{
    testing_support::CTempDir tmp;
    const std::string missing = tmp.File("missing");
    const testing_support::CScopedEnv env{{"TMPDIR", missing.c_str()}};
    platform::RunFolder folder;
    const platform::Result<std::string> name = folder.NewFileName();
    EXPECT_FALSE(name);
    EXPECT_FALSE(name.error.empty());
    EXPECT_TRUE(folder.Path().empty());
}

} // namespace
