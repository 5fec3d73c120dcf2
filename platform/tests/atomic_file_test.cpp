#include "platform/atomic_file.h"
#include "platform/tests/child_process.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::AtomicFile;
using platform::ReplaceRules;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using Link = ReplaceRules::Link;
using NewFile = ReplaceRules::NewFile;

// Every name under folder, relative to it; hidden names are what a replacement must not leave.
std::set<std::string> Entries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(entry.path().lexically_relative(folder).string());
    return names;
}

std::optional<std::string> ContentOf(const std::string& path)
{
    if (!fs::exists(path))
        return std::nullopt;
    return ReadFileBytes(path);
}

struct StandingCase
{
    const char* name;
    Link link;
    // Puts what stands at dir/page.html beforehand; "target" is a file a link may lead to.
    std::function<void(const CTempDir&)> setUp;
    bool pathStaysALink;
    std::optional<std::string> targetAfter; // the content of dir/target afterwards
};

void PrintTo(const StandingCase& c, std::ostream* os)
{
    *os << c.name;
}

class WhatStandsAtThePath : public ::testing::TestWithParam<StandingCase>
{
};

TEST_P(WhatStandsAtThePath, IsReplacedOrFollowedAsTheRulesSay)
{
    const StandingCase& c = GetParam();
    CTempDir dir;
    if (c.setUp)
        c.setUp(dir);
    const std::set<std::string> before = Entries(dir.Path());
    const std::string page = dir.File("page.html");

    const platform::FileResult result = platform::ReplaceFile(page, "new page", {c.link});

    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(ReadFileBytes(page), "new page");
    EXPECT_EQ(fs::is_symlink(page), c.pathStaysALink);
    EXPECT_EQ(ContentOf(dir.File("target")), c.targetAfter);
    std::set<std::string> expected = before;
    expected.insert("page.html");
    if (c.targetAfter)
        expected.insert("target");
    EXPECT_EQ(Entries(dir.Path()), expected) << "a temporary file was left";
}

void Old(const CTempDir& dir)
{
    WriteFileBytes(dir.File("page.html"), "old page");
}

void LinkToTarget(const CTempDir& dir)
{
    WriteFileBytes(dir.File("target"), "old target");
    fs::create_symlink("target", dir.File("page.html"));
}

void DanglingLink(const CTempDir& dir)
{
    fs::create_symlink(dir.File("target"), dir.File("page.html"));
}

void ChainOfLinks(const CTempDir& dir)
{
    fs::create_directory(dir.File("sub"));
    WriteFileBytes(dir.File("target"), "old target");
    fs::create_symlink("../target", dir.File("sub/second"));
    fs::create_symlink("sub/second", dir.File("page.html"));
}

INSTANTIATE_TEST_SUITE_P(
    AtomicFile, WhatStandsAtThePath,
    ::testing::Values(
        StandingCase{"Nothing", Link::Replace, nullptr, false, std::nullopt},
        StandingCase{"AFile", Link::Replace, Old, false, std::nullopt},
        StandingCase{"ReplacedLink", Link::Replace, LinkToTarget, false, "old target"},
        StandingCase{"ReplacedDanglingLink", Link::Replace, DanglingLink, false, std::nullopt},
        StandingCase{"FollowedLink", Link::Follow, LinkToTarget, true, "new page"},
        StandingCase{"FollowedDanglingLink", Link::Follow, DanglingLink, true, "new page"},
        StandingCase{"FollowedChainOfRelativeLinks", Link::Follow, ChainOfLinks, true, "new page"}),
    [](const auto& info) { return std::string(info.param.name); });

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
    const std::set<std::string> before = Entries(dir.Path());
    struct stat old = {};
    const bool existed = lstat(path.c_str(), &old) == 0;

    const platform::FileResult result =
        platform::ReplaceFile(path, "new", {GetParam().link, NewFile::Shared});

    EXPECT_FALSE(result);
    EXPECT_THAT(result.error, ::testing::HasSubstr(dir.Path()));
    EXPECT_EQ(Entries(dir.Path()), before);
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
                                      const std::string path = dir.File("page.html");
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

TEST(AtomicFile, ThePathKeepsItsOldFileUntilTheCommit)
{
    CTempDir dir;
    const std::string path = dir.File("page.html");
    WriteFileBytes(path, "old");
    AtomicFile file;
    ASSERT_TRUE(file.Begin(path));
    ASSERT_TRUE(file.Write("new "));
    ASSERT_TRUE(file.Write("page"));
    EXPECT_EQ(ReadFileBytes(path), "old");

    // Nothing that lists the folder for pages may take the temporary file for one.
    const std::set<std::string> names = Entries(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string temp = *names.begin() == "page.html" ? *names.rbegin() : *names.begin();
    EXPECT_THAT(temp, ::testing::StartsWith(".page.html."));
    EXPECT_THAT(temp, ::testing::Not(::testing::EndsWith(".html")));

    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFileBytes(path), "new page");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, TwoWritersAtOnceEachPutTheirWholeFile)
{
    CTempDir dir;
    const std::string path = dir.File("page.html");
    const std::string longer(100000, 'L');
    AtomicFile first;
    AtomicFile second;
    ASSERT_TRUE(first.Begin(path));
    ASSERT_TRUE(second.Begin(path));
    ASSERT_TRUE(first.Write(longer));
    ASSERT_TRUE(second.Write("short"));
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(ReadFileBytes(path), "short");
    ASSERT_TRUE(first.Commit());
    EXPECT_EQ(ReadFileBytes(path), longer);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, DiscardingLeavesThePathAsItWas)
{
    CTempDir dir;
    const std::string path = dir.File("page.html");
    WriteFileBytes(path, "old");
    {
        AtomicFile discarded;
        ASSERT_TRUE(discarded.Begin(path));
        discarded.Write("new");
        discarded.Discard();
        EXPECT_FALSE(discarded.Commit());

        AtomicFile dropped;
        ASSERT_TRUE(dropped.Begin(path));
        dropped.Write("new");
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, AFailedWriteIsNeverPutInPlace)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "runs in a forked child";
#endif
    CTempDir dir;
    const std::string path = dir.File("page.html");
    WriteFileBytes(path, "old");
    const std::optional<std::string> outcome = testing_support::RunWithFileSizeLimit(
        [&] {
            AtomicFile file;
            if (!file.Begin(path))
                return std::string("no begin");
            const bool written = file.Write(std::string(1 << 20, 'x'));
            const platform::FileResult committed = file.Commit();
            return std::to_string(written) + std::to_string(bool(committed)) + committed.error;
        },
        4096);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_THAT(*outcome, ::testing::StartsWith("00cannot write "));
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, AFailedRenameLeavesNoTemporaryFile)
{
    CTempDir dir;
    const std::string path = dir.File("page.html");
    AtomicFile file;
    ASSERT_TRUE(file.Begin(path));
    file.Write("new");
    // A folder takes the page's place while it is written.
    fs::create_directory(path);
    WriteFileBytes(path + "/inside", "x");
    const platform::FileResult committed = file.Commit();
    EXPECT_FALSE(committed);
    EXPECT_THAT(committed.error, ::testing::HasSubstr("cannot rename"));
    EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"page.html", "page.html/inside"}));
}

TEST(AtomicFile, AReadOnlyFolderFailsWithoutATrace)
{
    CTempDir dir;
    const std::string path = dir.File("page.html");
    WriteFileBytes(path, "old");
    chmod(dir.Path().c_str(), 0555);
    const std::optional<std::string> outcome = testing_support::RunUnprivileged([&] {
        const platform::FileResult result = platform::ReplaceFile(path, "new");
        return std::to_string(bool(result)) + result.error;
    });
    chmod(dir.Path().c_str(), 0700);
    ASSERT_TRUE(outcome.has_value()) << "cannot drop root privileges here";
    EXPECT_THAT(*outcome, ::testing::StartsWith("0cannot create a file in " + dir.Path()));
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, ANameAsLongAsAFolderAllowsStillFits)
{
    CTempDir dir;
    std::string name;
    while (name.size() + 3 <= 255)
        name += "あ"; // three bytes each: a cut must not split one
    const std::string path = dir.File(name);
    ASSERT_TRUE(platform::ReplaceFile(path, "new"));
    EXPECT_EQ(ReadFileBytes(path), "new");

    const std::string sibling =
        fs::path(platform::HiddenSibling(path, ".lock")).filename().string();
    EXPECT_LE(sibling.size(), 255u);
    EXPECT_THAT(sibling, ::testing::EndsWith("あ.lock"));
}

} // namespace
