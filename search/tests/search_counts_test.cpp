// The listing counts a plug-in tells after the merge: on the jobs downloaded, in row order,
// beside the marks of their rows and in one report before the run is over.
#include "run_fixture.h"

#include "download/download_messages.h"
#include "held_end_phase.h"

#include <gmock/gmock.h>

namespace search_test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct CCountsCase
{
    const char* name;
    const char* plugin;
    std::vector<std::string> rows;
    std::vector<std::int32_t> outcomes; // per job in row order, run by one worker: a DLERR_ code
    const char* counts;                 // what the plug-in tells, pair by pair
    std::vector<std::string> marks;     // mark and note per row afterwards
    std::vector<std::string> reported;  // the counts event, if any
    std::vector<std::optional<plugin_host::ListingCount>> onJobs;
};

void PrintTo(const CCountsCase& c, std::ostream* os)
{
    *os << c.name;
}

class Counts : public CRunTest, public ::testing::WithParamInterface<CCountsCase>
{
protected:
    // The end is held step by step, so that the jobs can be seen between the merge and the
    // deletion of the pages.
    Counts()
    {
        m_run = std::make_unique<CSearchRun>(m_config, m_program.Path() + "/", m_pool, m_ui, &m_ui,
                                             &m_held);
    }
    ~Counts() override { m_run.reset(); } // before the runner it uses

    HeldEndPhase m_held;
};

TEST_P(Counts, ReachTheJobsTheRowsAndTheProgress)
{
    const CCountsCase& c = GetParam();
    testing_support::CScopedEnv env{{"VISTREL_TEST_COUNTS", c.counts}};
    ASSERT_TRUE(m_plugin.Load(TestPluginPath(c.plugin)));
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 1));
    SetRows(c.rows);
    Start();
    Report(101);
    for (const std::int32_t outcome : c.outcomes)
        Report(101, outcome, outcome == DLERR_NONE ? "" : "HTTP 404");
    ASSERT_TRUE(m_held.Holding()) << "the merge";
    m_held.Release();
    ASSERT_TRUE(m_held.Holding()) << "the deletion of the pages";
    std::vector<std::optional<plugin_host::ListingCount>> onJobs;
    for (const auto& job : *m_run->GetJobArray())
        onJobs.push_back(job->m_listingCount);
    m_held.Release();
    ASSERT_FALSE(m_held.Holding());

    EXPECT_THAT(m_rows.MarksWithReasons(), ElementsAreArray(c.marks));
    EXPECT_THAT(Events(m_log, "counts"), ElementsAreArray(c.reported));
    EXPECT_THAT(onJobs, ElementsAreArray(c.onJobs));
    // Told once the page is written, before the run is over and the question comes.
    const auto ready = std::ranges::find(m_log, "ready");
    ASSERT_NE(ready, m_log.end());
    EXPECT_THAT(std::vector<std::string>(ready, m_log.end()),
                ElementsAreArray({"ready", "ask-show"}));
    if (!c.reported.empty()) {
        EXPECT_LT(std::ranges::find(m_log, c.reported.front()), ready);
    }
}

using plugin_host::ListingCount;
constexpr std::int32_t kNg = DLERR_STATUS;
const std::optional<ListingCount> kNone;

INSTANTIATE_TEST_SUITE_P(
    Table, Counts,
    ::testing::Values(
        CCountsCase{"EveryPageCompared",
                    "counting",
                    {"a", "b", "c"},
                    {0, 0, 0},
                    "4,1,0,0,9,2",
                    {"OK 4 件 (新着 1 件)", "OK 0 件 (新着 0 件)", "OK 9 件 (新着 2 件)"},
                    {"counts a 4/1 b 0/0 c 9/2"},
                    {ListingCount{4, 1}, ListingCount{0, 0}, ListingCount{9, 2}}},
        CCountsCase{"FailedJobsHaveNone",
                    "counting",
                    {"a", "b", "c"},
                    {kNg, 0, 0},
                    "4,-1,9,3",
                    {"NG HTTP 404", "OK 4 件", "OK 9 件 (新着 3 件)"},
                    {"counts b 4/- c 9/3"},
                    {kNone, ListingCount{4, std::nullopt}, ListingCount{9, 3}}},
        // A row shows the latest job of its text: an earlier one's counts stay off its mark.
        CCountsCase{"TwinRowFailedLater",
                    "counting",
                    {"a", "a"},
                    {0, kNg},
                    "4,1",
                    {"NG HTTP 404", ""},
                    {"counts a 4/1"},
                    {ListingCount{4, 1}, kNone}},
        CCountsCase{"TwinRowsBothDownloaded",
                    "counting",
                    {"a", "a"},
                    {0, 0},
                    "4,1,5,2",
                    {"OK 5 件 (新着 2 件)", ""},
                    {"counts a 4/1 a 5/2"},
                    {ListingCount{4, 1}, ListingCount{5, 2}}},
        CCountsCase{"UntrustedAnswer",
                    "counting",
                    {"a", "b"},
                    {0, 0},
                    "4,1",
                    {"OK", "OK"},
                    {},
                    {kNone, kNone}},
        CCountsCase{"PluginWithoutCounts",
                    "good",
                    {"a", "b"},
                    {0, 0},
                    "4,1,5,2",
                    {"OK", "OK"},
                    {},
                    {kNone, kNone}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace search_test
