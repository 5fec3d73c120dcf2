// The window sent SIGTERM, SIGHUP or SIGINT during a run closes as its close command does:
// the run stops first and its pages go, the settings are written, and an unsaved keyword
// list gets the usual question rather than being saved or lost unasked. What a run that died
// left goes when the window starts.
#include "app/command_ids.h"
#include "app/query_bar.h"
#include "app/tests/window_fixture.h"
#include "platform/tests/child_run_folder.h"
#include "site_probe.h"

#include <QCoreApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using app::MsgAnswer;
using ::testing::IsEmpty;
using testing_support::ChildRunFolder;

struct SignalCloseCase
{
    const char* name;
    int signal;
    std::optional<MsgAnswer> saveAnswer; // the keyword list is modified and this is the answer
    bool bClosed;
};

class WindowSignal : public app_test::CWindowRunTest,
                     public ::testing::WithParamInterface<SignalCloseCase>
{
};

TEST_P(WindowSignal, StopsTheRunThenClosesAsTheCloseCommandDoes)
{
    const SignalCloseCase& row = GetParam();
    constexpr int kArea = 13; // anything but the default, to see it written
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    // Forked before the site's threads exist: a child forked beside them could find the
    // allocator's lock held by one of them and never get on.
    const ChildRunFolder died(ChildRunFolder::Child::Ended);
    ASSERT_FALSE(died.Path().empty());
    batch_test::RequestFeed requests(m_work.File("requests"));
    listing_site::CSiteOptions options;
    options.logPath = requests.Path();
    options.stall = true; // the pages hang half-way until the signal comes
    StartSite(options);
    Open({"ドラマ", "ニュース", "映画"});
    EXPECT_FALSE(fs::exists(died.Path())) << "swept at the start";
    const std::string keywordBytes = testing_support::ReadFileBytes(m_work.File("watch.txt"));
    Frame().GetQueryBar()->SelectArea(kArea);
    if (row.saveAnswer) {
        m_app.GetDocument().SetModifiedFlag();
        m_prompts.answers.push_back(*row.saveAnswer);
    }

    Press(app::ID_SEARCH_START);
    std::size_t pagesAtSignal = 0;
    std::thread signaller([&] {
        if (requests.WaitForRequests(3))
            pagesAtSignal = TvFiles().size();
        ::kill(::getpid(), row.signal);
    });
    // Closed, or held by the save question, which comes only after the run has stopped.
    while (Frame().isVisible() && m_prompts.messages.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    signaller.join();

    EXPECT_EQ(pagesAtSignal, 3u);
    EXPECT_EQ(Frame().isVisible(), !row.bClosed);
    EXPECT_FALSE(Enabled(app::ID_SEARCH_STOP)) << "the run has stopped";
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(search_test::RunFolders(m_tmp.Path()), IsEmpty());
    EXPECT_EQ(m_config.ReadInt(config::Key::Area), kArea) << "the settings were written";
    EXPECT_EQ(m_prompts.messages.size(), row.saveAnswer ? 1u : 0u);
    EXPECT_EQ(testing_support::ReadFileBytes(m_work.File("watch.txt")), keywordBytes)
        << "not saved unasked";
    EXPECT_EQ(m_app.GetDocument().IsModified(), row.saveAnswer.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowSignal,
    ::testing::Values(SignalCloseCase{"Terminated", SIGTERM, std::nullopt, true},
                      SignalCloseCase{"TerminalClosed", SIGHUP, std::nullopt, true},
                      SignalCloseCase{"CtrlC", SIGINT, std::nullopt, true},
                      SignalCloseCase{"UnsavedListNotSaved", SIGTERM, MsgAnswer::No, true},
                      SignalCloseCase{"UnsavedListKeepsTheWindow", SIGTERM, MsgAnswer::Cancel,
                                      false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
