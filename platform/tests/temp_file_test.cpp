#include "platform/temp_file.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(TempFile, MakesNewEmptyTvFilesInTheFolderAndFailsWhereItCannot)
{
    testing_support::CTempDir dir;
    platform::TempFileResult folder, first, second, failed, noFolder;
    {
        testing_support::CScopedEnv tmpdir{{"TMPDIR", dir.Path().c_str()}};
        folder = platform::TempFolder();
        first = platform::MakeTempFile(folder.path);
        second = platform::MakeTempFile(folder.path);
        failed = platform::MakeTempFile(dir.File("gone"));
        tmpdir.Set("TMPDIR", dir.File("gone").c_str());
        noFolder = platform::TempFolder();
    }

    ASSERT_TRUE(folder) << folder.error;
    EXPECT_EQ(fs::path(folder.path), fs::path(dir.Path()));
    EXPECT_FALSE(noFolder);
    EXPECT_THAT(noFolder.error, ::testing::HasSubstr(dir.File("gone")));

    for (const platform::TempFileResult& made : {first, second}) {
        ASSERT_TRUE(made) << made.error;
        EXPECT_EQ(fs::path(made.path).parent_path(), fs::path(dir.Path()));
        EXPECT_THAT(fs::path(made.path).filename().string(), ::testing::StartsWith("~TV"));
        EXPECT_EQ(fs::file_size(made.path), 0u);
    }
    EXPECT_NE(first.path, second.path);
    EXPECT_FALSE(failed);
    EXPECT_THAT(failed.error, ::testing::HasSubstr(dir.File("gone")));
}

} // namespace
