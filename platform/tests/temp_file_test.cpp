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
    testing_support::CScopedEnv tmpdir{{"TMPDIR", dir.Path().c_str()}};
    const platform::Result<std::string> folder = platform::TempFolder();
    const platform::Result<std::string> first = platform::MakeTempFile(folder.value);
    const platform::Result<std::string> second = platform::MakeTempFile(folder.value);
    const platform::Result<std::string> failed = platform::MakeTempFile(dir.File("gone"));
    tmpdir.Set("TMPDIR", dir.File("gone").c_str());
    const platform::Result<std::string> noFolder = platform::TempFolder();

    ASSERT_TRUE(folder) << folder.error;
    EXPECT_EQ(fs::path(folder.value), fs::path(dir.Path()));
    EXPECT_FALSE(noFolder);
    EXPECT_THAT(noFolder.error, ::testing::HasSubstr(dir.File("gone")));

    for (const platform::Result<std::string>* made : {&first, &second}) {
        ASSERT_TRUE(*made) << made->error;
        EXPECT_EQ(fs::path(made->value).parent_path(), fs::path(dir.Path()));
        EXPECT_THAT(fs::path(made->value).filename().string(), ::testing::StartsWith("~TV"));
        EXPECT_EQ(fs::file_size(made->value), 0u);
    }
    EXPECT_NE(first.value, second.value);
    EXPECT_FALSE(failed);
    EXPECT_THAT(failed.error, ::testing::HasSubstr(dir.File("gone")));
}

} // namespace
