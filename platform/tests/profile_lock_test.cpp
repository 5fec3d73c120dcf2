// Profile writers in different processes, as the window and a batch run (or two windows)
// write one Vistrel.ini or medora.ini.
#include "platform/profile.h"
#include "platform/tests/child_process.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::Profile;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

TEST(ProfileLock, ProcessesWritingAtOnceLoseNoKey)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "runs in forked children";
#endif
    constexpr int kProcesses = 2;
    constexpr int kKeys = 150;
    CTempDir dir;
    const Profile profile(dir.File("Vistrel.ini"));
    ASSERT_TRUE(profile.WriteString("Settings\\etc", "Browser", ""));

    testing_support::StartGate gate;
    std::vector<std::unique_ptr<testing_support::ChildProcess>> writers;
    writers.reserve(kProcesses);
    for (int p = 0; p < kProcesses; ++p) {
        writers.push_back(std::make_unique<testing_support::ChildProcess>([&, p] {
            gate.Wait();
            int failed = 0;
            for (int k = 0; k < kKeys; ++k)
                failed +=
                    !profile.WriteInt("Writer" + std::to_string(p), "Key" + std::to_string(k), k);
            return failed == 0 ? 0 : 1;
        }));
    }
    gate.Open();
    for (auto& writer : writers)
        EXPECT_EQ(writer->Finish(), 0) << "a write reported failure";

    int missing = 0;
    for (int p = 0; p < kProcesses; ++p) {
        for (int k = 0; k < kKeys; ++k)
            missing +=
                profile.ReadInt("Writer" + std::to_string(p), "Key" + std::to_string(k), -1) != k;
    }
    EXPECT_EQ(missing, 0) << "of " << kProcesses * kKeys << " keys";
}

TEST(ProfileLock, TheLockFileLiesBesideTheFileThatIsReplaced)
{
    CTempDir dir;
    fs::create_directory(dir.File("elsewhere"));
    fs::create_symlink("elsewhere/real.ini", dir.File("Vistrel.ini"));
    const Profile linked(dir.File("Vistrel.ini"));
    ASSERT_TRUE(linked.WriteInt("S", "k", 1));
    EXPECT_TRUE(fs::is_symlink(dir.File("Vistrel.ini")));
    EXPECT_EQ(ReadFileBytes(dir.File("elsewhere/real.ini")), "[S]\nk=1\n");
    EXPECT_TRUE(fs::exists(dir.File("elsewhere/.real.ini.lock")));
    EXPECT_FALSE(fs::exists(dir.File(".Vistrel.ini.lock")));

    // It stays, empty, for the next writer.
    ASSERT_TRUE(linked.WriteInt("S", "k", 2));
    EXPECT_EQ(fs::file_size(dir.File("elsewhere/.real.ini.lock")), 0u);
}

// A program folder on read-only media: reads need no lock, and writes fail as they would
// without one, except those that change nothing.
TEST(ProfileLock, AReadOnlyFolderIsReadWithoutALock)
{
    CTempDir dir;
    const Profile profile(dir.File("Vistrel.ini"));
    WriteFileBytes(profile.GetPath(), "[S]\nk=1\n");
    chmod(profile.GetPath().c_str(), 0644);
    chmod(dir.Path().c_str(), 0555);
    const auto outcome = testing_support::RunUnprivileged([&] {
        return std::to_string(profile.ReadInt("S", "k", 0)) +
               std::to_string(profile.WriteInt("S", "k", 1)) +
               std::to_string(profile.WriteInt("S", "k", 2));
    });
    chmod(dir.Path().c_str(), 0700);
    ASSERT_TRUE(outcome.has_value()) << "cannot drop root privileges here";
    EXPECT_EQ(*outcome, "110");
    EXPECT_EQ(ReadFileBytes(profile.GetPath()), "[S]\nk=1\n");
    EXPECT_FALSE(fs::exists(dir.File(".Vistrel.ini.lock")));
}

} // namespace
