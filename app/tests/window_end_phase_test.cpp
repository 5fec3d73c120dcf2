// The end of a search in the window, held at each step as its thread would hold it: what the
// window offers meanwhile, what its status bar says, and a close while the pages are merged.
// The document edited meanwhile is the run's own test (search/tests).
#include "app/command_ids.h"
#include "app/query_bar.h"
#include "app/status_bar.h"
#include "app/tests/window_fixture.h"
#include "app/window_run.h"
#include "held_end_phase.h"

#include <QLabel>
#include <QPushButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace app;
using ::testing::IsEmpty;

class WindowEndPhase : public app_test::CWindowRunTest
{
protected:
    // The window goes while the held runner is still there.
    ~WindowEndPhase() override { m_app.ExitInstance(); }

    // Opens keywords and gives the window a run whose end is held by m_held.
    void Open(const std::vector<std::string>& keywords)
    {
        CWindowRunTest::Open(keywords);
        Frame().AttachRun(nullptr); // the first run lets go of the reports before the next
        Frame().AttachRun(std::make_unique<WindowRun>(Frame(), m_app.GetDocument(), m_prompts,
                                                      m_app.GetConfig(), ProgramFolder(), &m_held));
    }
    // F5, then the event loop until the last report has handed the merge over.
    void SearchToTheEnd()
    {
        Press(ID_SEARCH_START);
        while (!m_held.Holding())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    std::string Offered()
    {
        std::string offered;
        for (auto [id, name] : {std::pair{ID_SEARCH_START, "start "},
                                {ID_SEARCH_STOP, "stop "},
                                {ID_BROWSE, "browse "}})
            offered += Enabled(id) ? name : "";
        return offered + (Frame().GetQueryBar()->OptionButton()->isEnabled() ? "option" : "");
    }
    std::string Status() { return Frame().GetStatusBar()->MessagePane()->text().toStdString(); }

    search_test::HeldEndPhase m_held;
};

struct StepCase
{
    const char* name;
    int released; // steps let go
    const char* offered;
    const char* status;
    bool pagesLeft;
    std::size_t messages;
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowEndStep : public WindowEndPhase, public ::testing::WithParamInterface<StepCase>
{
};

TEST_P(WindowEndStep, OffersNoRunCommandNorThePluginsOptionsUntilThePagesAreGone)
{
    const StepCase& c = GetParam();
    StartSite();
    Open({"ドラマ", "ニュース"});
    m_prompts.answers.push_back(MsgAnswer::No);
    SearchToTheEnd();
    for (int i = 0; i < c.released; ++i)
        m_held.Release();
    EXPECT_EQ(Offered(), c.offered);
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(!TvFiles().empty(), c.pagesLeft);
    EXPECT_EQ(m_prompts.messages.size(), c.messages);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"OK", "OK"}));
}

INSTANTIATE_TEST_SUITE_P(
    Held, WindowEndStep,
    ::testing::Values(StepCase{"Merging", 0, "", "結果ページを作成中…", true, 0},
                      StepCase{"DeletingPages", 1, "", "一時ファイルを削除中…", true, 0},
                      StepCase{"Over", 2, "start browse option", "レディ", false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowEndPhase, ClosingWhileMergingWaitsForTheMergeAndDeletesThePages)
{
    StartSite();
    Open({"ドラマ", "ニュース"});
    SearchToTheEnd();
    const std::string page = m_app.GetDocument().GetResultPath();
    ASSERT_FALSE(TvFiles().empty());
    EXPECT_TRUE(Frame().close());
    m_app.ExitInstance();
    EXPECT_TRUE(std::filesystem::exists(page)) << "the merge ran to its end";
    EXPECT_THAT(TvFiles(), IsEmpty());
    EXPECT_THAT(m_prompts.messages, IsEmpty());
}

} // namespace
