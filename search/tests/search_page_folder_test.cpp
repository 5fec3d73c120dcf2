// A run's pages live in a folder of its own, which goes with them however the run ends.
#include "run_fixture.h"

#include "platform/run_owner.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <unistd.h>

namespace search_test {
namespace {

namespace fs = std::filesystem;
using ::testing::Each;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

enum class Ending { Completion, Stop, Teardown };

class PageFolder : public CRunTest, public ::testing::WithParamInterface<Ending>
{
protected:
    // Starts a run of three jobs over two workers (firstWorker and the next) that both hold a
    // page; the run's folder.
    std::string StartWithTwoPages(std::uint32_t firstWorker = 101)
    {
        SetRows({"a", "b", "c"});
        Start();
        Report(firstWorker);
        Report(firstWorker + 1);
        const std::vector<std::string> folders = RunFolders(m_tmp.Path());
        if (folders.size() != 1)
            return {};
        return folders.front();
    }
};

TEST_P(PageFolder, HoldsTheRunsPagesAndGoesWithThem)
{
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 2));
    const std::string folder = StartWithTwoPages();
    ASSERT_FALSE(folder.empty()) << "one folder for the run";
    EXPECT_THAT(TvFiles(m_tmp.Path()), SizeIs(2));
    EXPECT_THAT(TvFiles(m_tmp.Path()), Each(StartsWith(folder + "/~TV")));
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << "this user's alone";
    const std::optional<platform::RunOwner> owner =
        platform::ParseRunFolderName(fs::path(folder).filename().string());
    ASSERT_TRUE(owner.has_value());
    EXPECT_EQ(*owner, platform::CurrentRunOwner());

    switch (GetParam()) {
    case Ending::Completion:
        Report(101); // takes the last job
        Report(102);
        Report(101);
        ASSERT_TRUE(m_run->OnUpdateSearchStart()) << "the run is over";
        break;
    case Ending::Stop:
        m_run->OnSearchStop();
        break;
    case Ending::Teardown:
        m_run.reset(); // as the window's destruction does
        break;
    }

    EXPECT_THAT(TvFiles(m_tmp.Path()), IsEmpty());
    EXPECT_THAT(RunFolders(m_tmp.Path()), IsEmpty());
    if (m_run) { // the next run has a folder of its own again
        const std::string next = StartWithTwoPages(103);
        EXPECT_FALSE(next.empty());
        EXPECT_NE(next, folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, PageFolder,
                         ::testing::Values(Ending::Completion, Ending::Stop, Ending::Teardown),
                         [](const auto& info) {
                             switch (info.param) {
                             case Ending::Completion:
                                 return "Completion";
                             case Ending::Stop:
                                 return "Stop";
                             case Ending::Teardown:
                                 return "Teardown";
                             }
                             return "";
                         });

} // namespace
} // namespace search_test
