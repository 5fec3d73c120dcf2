// What a replacement refuses to replace, and the permissions of what it makes.
#include "platform/atomic_file.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CTempDir;
using testing_support::FolderEntries;
using testing_support::WriteFileBytes;
using Link = platform::ReplaceRules::Link;
using NewFile = platform::ReplaceRules::NewFile;

struct RefusedCase
{
    const char* name;
    Link link;
    std::function<std::string(const CTempDir&)> setUp; // gives the path
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedPath : public ::testing::TestWithParam<RefusedCase>
{
};

// None of these may be replaced, and each refusal leaves the folder as it was.
TEST_P(RefusedPath, FailsAndLeavesTheFolderAsItWas)
{
    CTempDir dir;
    const std::string path = GetParam().setUp(dir);
    const std::set<std::string> before = FolderEntries(dir.Path());
    struct stat old = {};
    const bool existed = lstat(path.c_str(), &old) == 0;

    const platform::FileResult result =
        platform::ReplaceFile(path, "new", {GetParam().link, NewFile::Shared});

    EXPECT_FALSE(result);
    EXPECT_THAT(result.error, ::testing::HasSubstr(dir.Path()));
    EXPECT_EQ(FolderEntries(dir.Path()), before);
    struct stat now = {};
    EXPECT_EQ(lstat(path.c_str(), &now) == 0, existed);
    if (existed) {
        EXPECT_EQ(now.st_mode & S_IFMT, old.st_mode & S_IFMT);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AtomicFile, RefusedPath,
    ::testing::Values(RefusedCase{"AFolder", Link::Replace,
                                  [](const CTempDir& dir) {
                                      fs::create_directory(dir.File("page.html"));
                                      WriteFileBytes(dir.File("page.html/inside"), "x");
                                      return dir.File("page.html");
                                  }},
                      RefusedCase{"APipe", Link::Replace,
                                  [](const CTempDir& dir) {
                                      EXPECT_EQ(mkfifo(dir.File("page.html").c_str(), 0600), 0);
                                      return dir.File("page.html");
                                  }},
                      RefusedCase{"ALinkToAPipeFollowed", Link::Follow,
                                  [](const CTempDir& dir) {
                                      EXPECT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
                                      fs::create_symlink("pipe", dir.File("page.html"));
                                      return dir.File("page.html");
                                  }},
                      RefusedCase{"ASocket", Link::Replace,
                                  [](const CTempDir& dir) {
                                      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
                                      sockaddr_un address{};
                                      address.sun_family = AF_UNIX;
                                      std::string path = dir.File("page.html");
                                      path.copy(address.sun_path, sizeof address.sun_path - 1);
                                      EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address),
                                                     sizeof address),
                                                0);
                                      close(fd);
                                      return path;
                                  }},
                      RefusedCase{"AMissingFolder", Link::Replace,
                                  [](const CTempDir& dir) { return dir.File("gone/page.html"); }},
                      RefusedCase{"ALoopOfLinks", Link::Follow,
                                  [](const CTempDir& dir) {
                                      fs::create_symlink("b", dir.File("a"));
                                      fs::create_symlink("a", dir.File("b"));
                                      return dir.File("a");
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModeCase
{
    const char* name;
    NewFile newFile;
    mode_t umask;
    std::optional<mode_t> existing; // the mode of a file at the path beforehand
    mode_t expected;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReplacementMode : public ::testing::TestWithParam<ModeCase>
{
protected:
    void TearDown() override { ::umask(m_saved); }
    mode_t m_saved = ::umask(022);
};

TEST_P(ReplacementMode, NewFilesFollowTheRulesAndOldFilesKeepTheirs)
{
    const ModeCase& c = GetParam();
    CTempDir dir;
    const std::string path = dir.File("page.html");
    if (c.existing) {
        WriteFileBytes(path, "old");
        ASSERT_EQ(chmod(path.c_str(), *c.existing), 0);
    }
    ::umask(c.umask);
    ASSERT_TRUE(platform::ReplaceFile(path, "new", {Link::Replace, c.newFile}));
    struct stat info = {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AtomicFile, ReplacementMode,
    ::testing::Values(ModeCase{"SharedUmask022", NewFile::Shared, 022, std::nullopt, 0644},
                      ModeCase{"SharedUmask027", NewFile::Shared, 027, std::nullopt, 0640},
                      ModeCase{"SharedUmask000", NewFile::Shared, 0, std::nullopt, 0666},
                      ModeCase{"Private", NewFile::Private, 022, std::nullopt, 0600},
                      ModeCase{"SharedKeepsAnOldFiles", NewFile::Shared, 022, 0604, 0604},
                      ModeCase{"PrivateKeepsAnOldFiles", NewFile::Private, 022, 0640, 0640}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
