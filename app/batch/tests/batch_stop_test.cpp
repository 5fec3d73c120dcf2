// A batch run cut short by a signal or by the end of its reader: the run stops, its pages and
// their folder go, and the exit status says which signal it was. What a run that died left
// goes at the next start.
#include "batch_fixture.h"
#include "site_probe.h"

#include "app/batch/batch_run.h"
#include "platform/tests/child_process.h"
#include "platform/tests/child_run_folder.h"

#include <gmock/gmock.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/wait.h>
#include <thread>

namespace batch_test {
namespace {

using testing_support::ChildProcess;

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testing_support::ChildRunFolder;

struct StopCase
{
    const char* name;
    int signal; // SIGPIPE: standard output has no reader
    const char* message;
};

class BatchStop : public CBatchTest, public ::testing::WithParamInterface<StopCase>
{
};

TEST_P(BatchStop, StopsDeletesThePagesAndExitsWith128PlusTheSignal)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "runs in a forked child"; // the in-process test below covers it
#endif
    const StopCase& row = GetParam();
    const bool bClosedOutput = row.signal == SIGPIPE;
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    const ChildRunFolder died(ChildRunFolder::Child::Ended);
    ASSERT_FALSE(died.Path().empty());
    RequestFeed requests(m_work.File("requests"));
    listing_site::CSiteOptions options;
    options.logPath = requests.Path();
    options.stall = !bClosedOutput; // the pages hang half-way until the signal comes
    StartSiteInChild(options);
    const std::vector<std::string> keywords =
        bClosedOutput ? std::vector<std::string>{"ドラマ", "ニュース", "映画", "野球", "料理", "旅"}
                      : std::vector<std::string>{"ドラマ", "ニュース", "映画"};
    const std::string file = WriteKeywords(keywords);

    ChildProcess child(
        [&] {
            return batch::RunCommandLine({"--search", file}, ProgramFolder(), std::cout, std::cerr)
                .value_or(-1);
        },
        bClosedOutput ? ChildProcess::Output::Closed : ChildProcess::Output::Read);
    if (!bClosedOutput) {
        ASSERT_TRUE(requests.WaitForRequests(3));
        EXPECT_THAT(TvFiles(), SizeIs(3)) << "three pages being written";
        EXPECT_FALSE(fs::exists(died.Path())) << "swept at the start";
        ASSERT_EQ(::kill(child.Pid(), row.signal), 0);
    }
    const int status = child.Finish();

    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n" << child.Err();
    EXPECT_EQ(WEXITSTATUS(status), 128 + row.signal) << child.Err();
    EXPECT_THAT(child.Err(), HasSubstr(row.message));
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(search_test::RunFolders(m_tmp.Path()), IsEmpty());
    if (!bClosedOutput) {
        const std::string reason = std::string("\t中止 (SIG") + sigabbrev_np(row.signal) + ")\n";
        EXPECT_EQ(child.Out(),
                  "NG\tドラマ" + reason + "NG\tニュース" + reason + "NG\t映画" + reason)
            << "every keyword named, none ended";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchStop,
    ::testing::Values(StopCase{"TerminalClosed", SIGHUP, "interrupted by SIGHUP"},
                      StopCase{"CtrlC", SIGINT, "interrupted by SIGINT"},
                      StopCase{"Quit", SIGQUIT, "interrupted by SIGQUIT"},
                      StopCase{"Terminated", SIGTERM, "interrupted by SIGTERM"},
                      StopCase{"ReaderGone", SIGPIPE, "standard output is closed"}),
    [](const auto& info) { return std::string(info.param.name); });

// In the test's own process, where ThreadSanitizer can follow it: the signal comes while the
// transfers hang, and they are aborted rather than waited for.
TEST_F(CBatchTest, CtrlCAbortsTheTransfersAndDeletesThePages)
{
    RequestFeed requests(m_work.File("requests"));
    listing_site::CSiteOptions options;
    options.logPath = requests.Path();
    options.stall = true;
    StartSite(options);
    const std::string file = WriteKeywords({"ドラマ", "ニュース", "映画"});
    std::size_t pagesAtSignal = 0;
    std::thread interrupter([&] {
        if (requests.WaitForRequests(3))
            pagesAtSignal = TvFiles().size();
        ::kill(::getpid(), SIGINT);
    });
    const COutcome run = Run({"--search", file});
    interrupter.join();

    EXPECT_EQ(pagesAtSignal, 3u);
    EXPECT_EQ(run.code, batch::kExitInterrupted);
    EXPECT_THAT(run.err, HasSubstr("interrupted by SIGINT"));
    EXPECT_EQ(run.out,
              "NG\tドラマ\t中止 (SIGINT)\nNG\tニュース\t中止 (SIGINT)\nNG\t映画\t中止 (SIGINT)\n");
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(search_test::RunFolders(m_tmp.Path()), IsEmpty());
}

} // namespace
} // namespace batch_test
