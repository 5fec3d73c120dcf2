// The end of a run as steps of an end-phase runner, each held as the window's thread would
// hold it, with the run in its ending state meanwhile. (Done in place, the end is what the
// run's other tests see.)
#include "held_end_phase.h"
#include "run_fixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace search_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// The recorder, with the steps of the end as events of their own.
class EndRecorder : public CRecorder
{
public:
    explicit EndRecorder(CEventLog& log)
        : CRecorder(log)
        , m_events(log)
    {}

    void EndStepStarted(search::EndStep step) override
    {
        m_events.push_back(step == search::EndStep::Merging ? "end merge" : "end delete");
    }

private:
    CEventLog& m_events;
};

class EndPhaseTest : public CRunTest
{
protected:
    // A run whose end is held and whose end steps are logged.
    EndPhaseTest()
    {
        m_run = std::make_unique<CSearchRun>(m_config, m_program.Path() + "/", m_pool, m_recorder,
                                             &m_recorder, &m_held);
    }
    // The run goes before the runner and the recorder it was given.
    ~EndPhaseTest() override { m_run.reset(); }

    // "a", "b" and "c" downloaded by one worker; the log holds what came after the last report.
    void RunToTheEnd()
    {
        ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
        SetRows({"a", "b", "c"});
        Start();
        for (int i = 0; i < 3; ++i)
            Report(101);
        m_log.clear();
        Report(101);
    }
    // Lets every held step go, in turn.
    void ReleaseAll()
    {
        while (m_held.Holding())
            m_held.Release();
    }
    // The events of the end, in order.
    std::vector<std::string> EndEvents() const
    {
        std::vector<std::string> events;
        for (const std::string& event : m_log) {
            for (const char* prefix : {"end ", "ready", "ask-show", "failed", "open", "create"}) {
                if (event.starts_with(prefix)) {
                    events.push_back(event);
                    break;
                }
            }
        }
        return events;
    }
    std::string Rules() const
    {
        return std::string(m_run->OnUpdateSearchStart() ? "start " : "") +
               (m_run->OnUpdateSearchStop() ? "stop " : "") +
               (m_run->OnUpdateBrowse(&m_doc) ? "browse " : "") +
               (m_run->IsEnding() ? "ending" : "");
    }
    bool PageWritten() const { return std::filesystem::exists(m_doc.GetResultPath()); }

    EndRecorder m_recorder{m_log};
    HeldEndPhase m_held{&m_log};
};

// Each step of the end, held: the commands stay off, and the run takes no start, stop or
// report until the page files are gone.
struct StepCase
{
    const char* name;
    int released; // steps let go
    const char* rules;
    bool pagesLeft, pageWritten;
    std::vector<std::string> events;
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.name;
}

class EndStep : public EndPhaseTest, public ::testing::WithParamInterface<StepCase>
{
};

TEST_P(EndStep, KeepsTheRunEndingUntilThePagesAreGone)
{
    const StepCase& c = GetParam();
    RunToTheEnd();
    for (int i = 0; i < c.released; ++i)
        m_held.Release();

    EXPECT_EQ(Rules(), c.rules);
    EXPECT_EQ(!TvFiles(m_tmp.Path()).empty(), c.pagesLeft);
    EXPECT_EQ(!RunFolders(m_tmp.Path()).empty(), c.pagesLeft);
    EXPECT_EQ(PageWritten(), c.pageWritten);
    EXPECT_THAT(EndEvents(), ElementsAreArray(c.events));
    if (!m_run->IsEnding())
        return;
    // Meanwhile a start, a stop and a late report change nothing.
    m_run->OnSearchStart(&m_doc, m_rows, 8, "東京", &m_plugin);
    m_run->OnSearchStop();
    m_run->OnDownloadDone({101, search::Outcome::Done, ""});
    EXPECT_THAT(EndEvents(), ElementsAreArray(c.events));
    EXPECT_EQ(!TvFiles(m_tmp.Path()).empty(), c.pagesLeft);
    EXPECT_THAT(m_rows.Marks(), ElementsAre("OK", "OK", "OK"));
}

INSTANTIATE_TEST_SUITE_P(
    Held, EndStep,
    ::testing::Values(StepCase{"Merging", 0, "ending", true, false, {"end merge"}},
                      StepCase{
                          "DeletingPages", 1, "ending", true, true, {"end merge", "end delete"}},
                      StepCase{"Over",
                               2,
                               "start browse ",
                               false,
                               true,
                               {"end merge", "end delete", "ready", "ask-show"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Held, a run that writes no page ends with the same message as in place (the in-place
// endings are the run's other tests), and its pages go all the same.
struct OutcomeCase
{
    const char* name;
    const char* plugin;
    bool nothingToSearch; // every keyword fails before any worker
    std::vector<std::string> events;
};

void PrintTo(const OutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class EndOutcome : public EndPhaseTest, public ::testing::WithParamInterface<OutcomeCase>
{
};

TEST_P(EndOutcome, TellsWhyAfterThePagesAreGone)
{
    const OutcomeCase& c = GetParam();
    ASSERT_TRUE(m_plugin.Load(TestPluginPath(c.plugin)));
    if (c.nothingToSearch) {
        SetRows({"a"});
        m_rows.m_unsearchable["a"] = "no";
        m_log.clear();
        Start();
    } else {
        RunToTheEnd();
    }
    ReleaseAll();
    EXPECT_THAT(EndEvents(), ElementsAreArray(c.events));
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(RunFolders(m_tmp.Path()), IsEmpty());
    EXPECT_EQ(Rules(), "start browse ") << "the document keeps the path formed at the start";
}

INSTANTIATE_TEST_SUITE_P(
    Held, EndOutcome,
    ::testing::Values(OutcomeCase{"MergeFails",
                                  "nameonly",
                                  false,
                                  {"end merge", "end delete", "ready",
                                   "failed プラグイン「nameonly」が結果ページを作れませんでした"}},
                      OutcomeCase{"NothingToMerge",
                                  "good",
                                  true,
                                  {"end delete", "ready",
                                   "failed ダウンロードできたページがありません (no)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Torn down while ending (the window closes): the step under way is waited for, never cut
// off, and every page file still goes; no question is asked.
class EndTeardown : public EndPhaseTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(EndTeardown, WaitsForTheStepAndDeletesThePages)
{
    RunToTheEnd();
    for (int i = 0; i < GetParam(); ++i)
        m_held.Release();
    m_log.clear();
    m_run.reset();
    EXPECT_THAT(m_log, ElementsAre("wait", "ready"));
    EXPECT_TRUE(PageWritten()) << "the merge ran to its end";
    EXPECT_EQ(MergedFiles().size(), 3u);
    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(RunFolders(m_tmp.Path()), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Held, EndTeardown, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "Merging" : "Deleting"; });

// The document and the rows may change while the pages are merged: the merge writes the path
// the run ended with, Yes opens that page, and no row is marked any more.
struct EditCase
{
    const char* name;
    bool renewDocument;
    bool browseAfter;
};

void PrintTo(const EditCase& c, std::ostream* os)
{
    *os << c.name;
}

class EditedWhileEnding : public EndPhaseTest, public ::testing::WithParamInterface<EditCase>
{
};

TEST_P(EditedWhileEnding, MergesAndOpensThePathTheRunEndedWith)
{
    m_recorder.m_bAnswerYes = true;
    RunToTheEnd();
    const std::string path = m_doc.GetResultPath();
    if (GetParam().renewDocument)
        m_doc.OnNewDocument();
    SetRows({"c", "x"});
    ReleaseAll();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_THAT(Events(m_log, "open"), ElementsAre("open |" + path));
    EXPECT_THAT(m_rows.Marks(), ElementsAre("", ""));
    EXPECT_EQ(m_run->OnUpdateBrowse(&m_doc), GetParam().browseAfter);
}

INSTANTIATE_TEST_SUITE_P(Table, EditedWhileEnding,
                         ::testing::Values(EditCase{"RowsReplaced", false, true},
                                           EditCase{"DocumentRenewed", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace search_test
