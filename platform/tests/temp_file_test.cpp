#include "platform/temp_file.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

// Points TMPDIR somewhere for one test and puts the caller's value back afterwards.
class CTmpDirVariable
{
public:
    explicit CTmpDirVariable(const std::optional<std::string>& value)
    {
        if (const char* old = std::getenv("TMPDIR"))
            m_old = old;
        if (value)
            setenv("TMPDIR", value->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    ~CTmpDirVariable()
    {
        if (m_old)
            setenv("TMPDIR", m_old->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> m_old;
};

TEST(TempFile, MakesEmptyUniqueTvFilesInTmpdir)
{
    testing_support::CTempDir dir;
    CTmpDirVariable tmpdir(dir.Path());
    std::set<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        const platform::TempFileResult made = platform::MakeTempFile();
        ASSERT_TRUE(made) << made.error;
        EXPECT_EQ(fs::path(made.path).parent_path(), fs::path(dir.Path()));
        EXPECT_THAT(fs::path(made.path).filename().string(), StartsWith("~TV"));
        EXPECT_TRUE(fs::is_regular_file(made.path));
        EXPECT_EQ(fs::file_size(made.path), 0u);
        paths.insert(made.path);
    }
    EXPECT_EQ(paths.size(), 3u);
}

TEST(TempFile, WithoutTmpdirUsesTmp)
{
    CTmpDirVariable tmpdir(std::nullopt);
    const platform::TempFileResult made = platform::MakeTempFile("~TVtest");
    ASSERT_TRUE(made) << made.error;
    EXPECT_EQ(fs::path(made.path).parent_path(), fs::path("/tmp"));
    EXPECT_THAT(fs::path(made.path).filename().string(), StartsWith("~TVtest"));
    fs::remove(made.path);
}

// A folder that cannot take the file gives a failure that names the folder.
TEST(TempFile, FailureNamesTheFolder)
{
    testing_support::CTempDir dir;
    const std::string missing = dir.File("missing");
    {
        CTmpDirVariable tmpdir(missing);
        const platform::TempFileResult made = platform::MakeTempFile();
        EXPECT_FALSE(made);
        EXPECT_TRUE(made.path.empty());
        EXPECT_THAT(made.error, HasSubstr(missing));
    }

    const std::string locked = dir.File("locked");
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    fs::permissions(dir.Path(), fs::perms::others_exec, fs::perm_options::add);
    CTmpDirVariable tmpdir(locked);
    const auto error = testing_support::RunUnprivileged([] {
        const platform::TempFileResult made = platform::MakeTempFile();
        return made ? std::string("made ") + made.path : made.error;
    });
    ASSERT_TRUE(error);
    EXPECT_THAT(*error, HasSubstr("cannot create a temporary file in " + locked));
    EXPECT_TRUE(fs::is_empty(locked));
}

} // namespace
