#include "platform/atomic_file.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::AtomicFile;
using platform::ReplaceRules;
using testing_support::CTempDir;
using testing_support::FolderEntries;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using Link = ReplaceRules::Link;
using NewFile = ReplaceRules::NewFile;

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
    const std::set<std::string> before = FolderEntries(dir.Path());
    const std::string page = dir.File("page.html");

    const platform::Result<> result = platform::ReplaceFile(page, "new page", {c.link});

    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(ReadFileBytes(page), "new page");
    EXPECT_EQ(fs::is_symlink(page), c.pathStaysALink);
    EXPECT_EQ(ContentOf(dir.File("target")), c.targetAfter);
    std::set<std::string> expected = before;
    expected.insert("page.html");
    if (c.targetAfter)
        expected.insert("target");
    EXPECT_EQ(FolderEntries(dir.Path()), expected) << "a temporary file was left";
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
        // Links replaced are the merge's to test, with the result page.
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
    const std::set<std::string> before = FolderEntries(dir.Path());
    struct stat old = {};
    const bool existed = lstat(path.c_str(), &old) == 0;

    const platform::Result<> result =
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
    ::testing::Values(RefusedCase{"APipe", Link::Replace,
                                  [](const CTempDir& dir) {
                                      EXPECT_EQ(mkfifo(dir.File("page.html").c_str(), 0600), 0);
                                      return dir.File("page.html");
                                  }},
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
    ::testing::Values(ModeCase{"SharedUmask027", NewFile::Shared, 027, std::nullopt, 0640},
                      ModeCase{"Private", NewFile::Private, 022, std::nullopt, 0600},
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
    const std::set<std::string> names = FolderEntries(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    const std::string temp = *names.begin() == "page.html" ? *names.rbegin() : *names.begin();
    EXPECT_THAT(temp, ::testing::StartsWith(".page.html."));
    EXPECT_THAT(temp, ::testing::Not(::testing::EndsWith(".html")));

    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFileBytes(path), "new page");
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"page.html"});
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
    const platform::Result<> committed = file.Commit();
    EXPECT_FALSE(committed);
    EXPECT_THAT(committed.error, ::testing::HasSubstr("cannot rename"));
    EXPECT_EQ(FolderEntries(dir.Path()), (std::set<std::string>{"page.html", "page.html/inside"}));
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
