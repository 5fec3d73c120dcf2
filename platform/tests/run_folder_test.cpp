// The sweep of run folders at start: what runs that died left goes; what live runs, other
// users, machines or namespaces keep, and anything that is not plainly a run's, stays.
#include "platform/run_folder.h"
#include "platform/run_owner.h"
#include "platform/tests/child_run_folder.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::ChildRunFolder;

// A temporary folder laid out for one case, and what the sweep must do to it.
struct SweepSetup
{
    testing_support::CTempDir& tmp;     // TMPDIR
    testing_support::CTempDir& outside; // a folder links may point into
    std::list<ChildRunFolder>& children;
    platform::RunFolder& own;
    std::vector<std::string> gone, kept;
    int folders = 0;

    // A run folder named for owner, holding the given files.
    std::string Folder(const platform::RunOwner& owner, const std::vector<std::string>& files)
    {
        const std::string suffix = "case" + std::to_string(10 + folders++);
        std::string path = tmp.File(platform::RunFolderName(owner, suffix));
        fs::create_directory(path);
        fs::permissions(path, fs::perms::owner_all);
        for (const std::string& file : files)
            testing_support::WriteFileBytes(path + "/" + file, "page");
        return path;
    }
    std::string ChildFolder(ChildRunFolder::Child child)
    {
        return children.emplace_back(child).Path();
    }
};

// This process, but started at another time: the pid has since gone to it.
platform::RunOwner Recycled()
{
    platform::RunOwner owner = platform::CurrentRunOwner();
    ++owner.startTime;
    return owner;
}

struct SweepCase
{
    const char* name;
    std::function<void(SweepSetup&)> setup;
    bool needsRoot = false; // to give a folder to another user
};

class Sweep : public ::testing::TestWithParam<SweepCase>
{
protected:
    testing_support::CTempDir m_tmp, m_outside;
    testing_support::CScopedEnv m_tmpdir{{"TMPDIR", m_tmp.Path().c_str()}};
    std::list<ChildRunFolder> m_children; // live ones end with the test
    platform::RunFolder m_own;
};

TEST_P(Sweep, RemovesOnlyWhatEndedRunsLeft)
{
    if (GetParam().needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a folder away";
    SweepSetup setup{m_tmp, m_outside, m_children, m_own, {}, {}};
    GetParam().setup(setup);
    // Beside every case, a run that died: the sweep must have run.
    setup.gone.push_back(setup.ChildFolder(ChildRunFolder::Child::Ended));
    for (const std::string& path : setup.gone)
        ASSERT_TRUE(fs::exists(fs::symlink_status(path))) << "not laid out: " << path;

    platform::SweepDeadRunFolders();

    for (const std::string& path : setup.gone)
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << "left: " << path;
    for (const std::string& path : setup.kept)
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << "removed: " << path;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Sweep,
    ::testing::Values(
        SweepCase{"EndedProcess",
                  [](SweepSetup& s) {
                      s.gone.push_back(s.ChildFolder(ChildRunFolder::Child::Ended));
                      s.gone.push_back(s.ChildFolder(ChildRunFolder::Child::Ended));
                  }},
        SweepCase{"PidNowAnotherProcess",
                  [](SweepSetup& s) { s.gone.push_back(s.Folder(Recycled(), {"~TVa1b2c3"})); }},
        SweepCase{"LiveProcess",
                  [](SweepSetup& s) {
                      const std::string folder = s.ChildFolder(ChildRunFolder::Child::Alive);
                      s.kept.push_back(folder);
                      for (const auto& entry : fs::directory_iterator(folder))
                          s.kept.push_back(entry.path().string());
                  }},
        SweepCase{"ThisProcess",
                  [](SweepSetup& s) {
                      s.kept.push_back(s.own.MakeFile().value);
                      s.kept.push_back(s.own.Path());
                  }},
        SweepCase{"UnexpectedEntryKeepsTheFolder",
                  [](SweepSetup& s) {
                      const std::string folder = s.Folder(Recycled(), {"~TVa1b2c3", "notes.txt"});
                      s.gone.push_back(folder + "/~TVa1b2c3");
                      s.kept = {folder, folder + "/notes.txt"};
                  }},
        SweepCase{"LinksAreNotFollowed",
                  [](SweepSetup& s) {
                      const std::string target = s.outside.File("~TVtarget");
                      testing_support::WriteFileBytes(target, "someone's");
                      fs::create_directory(s.outside.File("dir"));
                      testing_support::WriteFileBytes(s.outside.File("dir/~TVinside"), "x");
                      const std::string folder = s.Folder(Recycled(), {});
                      fs::create_symlink(target, folder + "/~TVlink");
                      platform::RunOwner other = Recycled();
                      ++other.startTime;
                      const std::string link = s.tmp.File(platform::RunFolderName(other, "L1nk00"));
                      fs::create_directory_symlink(s.outside.File("dir"), link);
                      s.kept = {target, folder, folder + "/~TVlink", link,
                                s.outside.File("dir/~TVinside")};
                  }},
        SweepCase{"FileNamedAsARunFolder",
                  [](SweepSetup& s) {
                      const std::string file =
                          s.tmp.File(platform::RunFolderName(Recycled(), "F1le00"));
                      testing_support::WriteFileBytes(file, "not a folder");
                      s.kept.push_back(file);
                  }},
        SweepCase{"AnotherUsersName",
                  [](SweepSetup& s) {
                      platform::RunOwner other = Recycled();
                      ++other.uid;
                      s.kept.push_back(s.Folder(other, {"~TVa1b2c3"}));
                  }},
        SweepCase{"AnotherUsersFolder",
                  [](SweepSetup& s) {
                      const std::string folder = s.Folder(Recycled(), {"~TVa1b2c3"});
                      const uid_t nobody = 65534;
                      ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
                      s.kept = {folder, folder + "/~TVa1b2c3"};
                  },
                  true},
        SweepCase{"AnotherBootOrPidNamespace",
                  [](SweepSetup& s) {
                      platform::RunOwner boot = Recycled(), space = Recycled(),
                                         unknown = Recycled();
                      boot.bootId = boot.bootId == "abc" ? "abd" : "abc";
                      ++space.pidNamespace;
                      unknown.bootId = "0";
                      s.kept = {s.Folder(boot, {"~TVa1b2c3"}), s.Folder(space, {"~TVa1b2c3"}),
                                s.Folder(unknown, {"~TVa1b2c3"})};
                  }},
        SweepCase{"NotNamedAsARunFolder",
                  [](SweepSetup& s) {
                      const std::string name = platform::RunFolderName(Recycled(), "q7Rz0a");
                      for (const std::string& odd : {std::string("vistrel-test-q7Rz0a"), name + "x",
                                                     "x" + name, name.substr(0, name.size() - 1)}) {
                          fs::create_directory(s.tmp.File(odd));
                          testing_support::WriteFileBytes(s.tmp.File(odd + "/~TVa1b2c3"), "x");
                          s.kept.push_back(s.tmp.File(odd + "/~TVa1b2c3"));
                      }
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunOwner, NameCarriesTheOwnerThereAndBack)
{
    const platform::RunOwner self = platform::CurrentRunOwner();
    EXPECT_EQ(self.pid, ::getpid());
    EXPECT_NE(self.startTime, 0u) << "read from /proc";
    EXPECT_NE(self.bootId, "0");
    EXPECT_NE(self.pidNamespace, 0u);
    EXPECT_EQ(platform::ParseRunFolderName(platform::RunFolderName(self, "q7Rz0a")), self);
    EXPECT_FALSE(platform::HasEnded(self, self));
    EXPECT_TRUE(platform::HasEnded(Recycled(), self));
}

} // namespace
