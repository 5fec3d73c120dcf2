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

    const platform::FileResult result = platform::ReplaceFile(page, "new page", {c.link});

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
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"page.html"});
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
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"page.html"});
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
    const platform::FileResult committed = file.Commit();
    EXPECT_FALSE(committed);
    EXPECT_THAT(committed.error, ::testing::HasSubstr("cannot rename"));
    EXPECT_EQ(FolderEntries(dir.Path()), (std::set<std::string>{"page.html", "page.html/inside"}));
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
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"page.html"});
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
