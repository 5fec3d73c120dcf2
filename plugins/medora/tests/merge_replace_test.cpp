// The result page takes its place whole: it is one run's whole page even when two runs write
// it at once, a link at its name is replaced and never followed, and a merge that fails leaves
// the earlier page and no temporary file.
#include "medora_test.h"

#include "platform/tests/child_process.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace medora_test;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

namespace fs = std::filesystem;

const std::string kTemplate = "<html>\n<body>\n<!-- template replace -->\n</body>\n</html>\n";

// The merged page of listings with the given LF lines.
std::string PageOf(const std::string& lines)
{
    std::string crlf;
    for (char c : lines)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return "<html>\r\n<body>\r\n" + crlf + "</body>\r\n</html>\r\n";
}

class MedoraReplace : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate(kTemplate);
        fs::create_directory(Cache());
    }

public: // for the table rows' set-ups
    using CMedoraTest::TemplatePath;
    std::string Cache() const { return m_dir.File("Cache"); }
    std::string Result() const { return Cache() + "/watch_東京_20261208_medora.html"; }

    std::string WritePage(const std::string& name, const std::string& listingLines) const
    {
        WriteFileBytes(m_dir.File(name), Listing(listingLines));
        return m_dir.File(name);
    }

    std::set<std::string> CacheEntries() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Cache()))
            names.insert(entry.path().filename().string());
        return names;
    }

    testing_support::CTempDir m_dir;
};

// Run A stops inside its merge, reading a page from a pipe, while run B merges to the same
// name from start to end; then A goes on. Written in place, A's shorter page overwrote the
// start of B's and left B's tail behind it.
TEST_F(MedoraReplace, TwoRunsAtOnceLeaveOneRunsWholePage)
{
    const std::string pipe = m_dir.File("~TVpipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string pageB = WritePage("~TVb", std::string(3000, 'B') + "\n");
    // A pipe whose reader is gone must fail this test, not end it.
    const auto oldPipeAction = std::signal(SIGPIPE, SIG_IGN);

    bool mergedA = false;
    std::thread runA([&] {
        mergedA = m_medora.MergeDownloadFiles(Result(), {pipe});
        // Lets the writer below go on should run A fail before it opened the pipe.
        const int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            close(fd);
    });
    // Returns once run A has opened the pipe, in the middle of its merge.
    const int toA = open(pipe.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(toA, 0);

    EXPECT_TRUE(m_medora.MergeDownloadFiles(Result(), {pageB}));
    EXPECT_EQ(ReadFileBytes(Result()), PageOf(std::string(3000, 'B') + "\n"));

    const std::string pageA = Listing("A\n");
    EXPECT_EQ(write(toA, pageA.data(), pageA.size()), static_cast<ssize_t>(pageA.size()));
    close(toA);
    runA.join();
    std::signal(SIGPIPE, oldPipeAction);

    EXPECT_TRUE(mergedA);
    EXPECT_EQ(ReadFileBytes(Result()), PageOf("A\n")) << "run A's page, whole";
    EXPECT_EQ(CacheEntries(), std::set<std::string>{fs::path(Result()).filename()});
}

struct LinkCase
{
    const char* name;
    // Puts a link at the result path; gives the file it leads to.
    std::function<std::string(const MedoraReplace&, const std::string& result)> setUp;
};

void PrintTo(const LinkCase& c, std::ostream* os)
{
    *os << c.name;
}

class LinkAtTheResultPath : public MedoraReplace, public ::testing::WithParamInterface<LinkCase>
{
};

TEST_P(LinkAtTheResultPath, IsReplacedAndItsTargetLeftAlone)
{
    const std::string target = GetParam().setUp(*this, Result());
    const bool targetExisted = fs::exists(target);
    const std::string targetBefore = targetExisted ? ReadFileBytes(target) : "";

    ASSERT_TRUE(m_medora.MergeDownloadFiles(Result(), {WritePage("~TV0", "A\n")}));

    EXPECT_FALSE(fs::is_symlink(Result()));
    EXPECT_EQ(ReadFileBytes(Result()), PageOf("A\n"));
    ASSERT_EQ(fs::exists(target), targetExisted);
    if (targetExisted) {
        EXPECT_EQ(ReadFileBytes(target), targetBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Medora, LinkAtTheResultPath,
    ::testing::Values(LinkCase{"ToAFileElsewhere",
                               [](const MedoraReplace& t, const std::string& result) {
                                   std::string target = t.m_dir.File("precious.txt");
                                   WriteFileBytes(target, "not a page");
                                   fs::create_symlink(target, result);
                                   return target;
                               }},
                      LinkCase{"Dangling",
                               [](const MedoraReplace& t, const std::string& result) {
                                   std::string target = t.m_dir.File("never-made.txt");
                                   fs::create_symlink(target, result);
                                   return target;
                               }},
                      LinkCase{"ToTheTemplate",
                               [](const MedoraReplace&, const std::string& result) {
                                   fs::create_symlink(MedoraReplace::TemplatePath(), result);
                                   return MedoraReplace::TemplatePath();
                               }}),
    RowName<LinkCase>);

struct FailureCase
{
    const char* name;
    // Sets the fault up; gives the output path.
    std::function<std::string(MedoraReplace&)> setUp;
    bool fileSizeLimit = false; // merges in a child whose files may not grow past 1 KiB
    bool readsProcessMemory = false;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailedMerge : public MedoraReplace, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(FailedMerge, LeavesTheEarlierPageAndNoTemporaryFile)
{
    const FailureCase& row = GetParam();
#if defined(__SANITIZE_THREAD__)
    if (row.fileSizeLimit)
        GTEST_SKIP() << "runs in a forked child";
#endif
    if (row.readsProcessMemory && access("/proc/self/mem", R_OK) != 0)
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    WriteFileBytes(Result(), "the earlier page");
    const std::string output = row.setUp(*this);
    const std::set<std::string> before = CacheEntries();
    const std::vector<std::string> pages = {WritePage("~TV0", std::string(4000, 'x') + "\n")};

    std::optional<bool> merged;
    if (row.fileSizeLimit) {
        const auto text = testing_support::RunWithFileSizeLimit(
            [&] { return std::to_string(m_medora.MergeDownloadFiles(output, pages)); }, 1024);
        ASSERT_TRUE(text.has_value());
        merged = *text == "1";
    } else {
        merged = m_medora.MergeDownloadFiles(output, pages);
    }

    EXPECT_FALSE(*merged);
    EXPECT_EQ(CacheEntries(), before);
    EXPECT_EQ(ReadFileBytes(Result()), "the earlier page");
}

INSTANTIATE_TEST_SUITE_P(
    Medora, FailedMerge,
    ::testing::Values(
        FailureCase{"MissingTemplate",
                    [](MedoraReplace& t) {
                        fs::remove(MedoraReplace::TemplatePath());
                        return t.Result();
                    }},
        // Reading this process's memory from offset 0 fails with an I/O error.
        FailureCase{"TemplateFailsToRead",
                    [](MedoraReplace& t) {
                        fs::remove(MedoraReplace::TemplatePath());
                        fs::create_symlink("/proc/self/mem", MedoraReplace::TemplatePath());
                        return t.Result();
                    },
                    false, true},
        FailureCase{"DiskFull", [](MedoraReplace& t) { return t.Result(); }, true},
        FailureCase{"MissingCacheFolder",
                    [](MedoraReplace& t) { return t.m_dir.File("gone/result.html"); }},
        FailureCase{"AFolderAtTheOutputPath",
                    [](MedoraReplace& t) {
                        fs::create_directory(t.Cache() + "/folder.html");
                        return t.Cache() + "/folder.html";
                    }},
        // Never opened: writing a pipe nobody reads would wait for ever.
        FailureCase{"APipeAtTheOutputPath",
                    [](MedoraReplace& t) {
                        EXPECT_EQ(mkfifo((t.Cache() + "/pipe.html").c_str(), 0600), 0);
                        return t.Cache() + "/pipe.html";
                    }}),
    RowName<FailureCase>);

TEST_F(MedoraReplace, ANewPageIsOpenToReadAsAnyNewFileAndAnOldOneKeepsItsMode)
{
    const mode_t saved = umask(022);
    const bool merged = m_medora.MergeDownloadFiles(Result(), {WritePage("~TV0", "A\n")});
    umask(saved);
    ASSERT_TRUE(merged);
    struct stat info = {};
    ASSERT_EQ(stat(Result().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    ASSERT_EQ(chmod(Result().c_str(), 0600), 0);
    ASSERT_TRUE(m_medora.MergeDownloadFiles(Result(), {WritePage("~TV0", "B\n")}));
    ASSERT_EQ(stat(Result().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFileBytes(Result()), PageOf("B\n"));
}

} // namespace
