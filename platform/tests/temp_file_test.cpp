#include "platform/temp_file.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(TempFile, MakesNewEmptyTvFilesInTmpdirAndFailsWhereItCannot)
{
    testing_support::CTempDir dir;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", dir.Path().c_str(), 1);
    const platform::TempFileResult first = platform::MakeTempFile();
    const platform::TempFileResult second = platform::MakeTempFile();
    setenv("TMPDIR", dir.File("gone").c_str(), 1);
    const platform::TempFileResult failed = platform::MakeTempFile();
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");

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
