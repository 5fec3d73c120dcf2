// SPDX-License-Identifier: MIT
#include "platform/user_folders.h"

#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

using platform::FolderEnvironment;
using platform::UserFolders;

constexpr char kProgram[] = "/opt/vistrel/lib/vistrel/";

struct FoldersCase
{
    const char* name;
    bool writable;
    FolderEnvironment env;
    // Expected folders; a null config means the rule must fail.
    const char* config;
    const char* data;
    const char* state;
};

const std::optional<std::string> kUnset;

class UserFoldersRule : public testing::TestWithParam<FoldersCase>
{
};

TEST_P(UserFoldersRule, PicksTheFolders)
{
    const FoldersCase& c = GetParam();
    const platform::Result<UserFolders> folders =
        platform::ResolveUserFolders(kProgram, c.writable, c.env);
    if (c.config == nullptr) {
        ASSERT_FALSE(folders);
        EXPECT_NE(folders.error.find("HOME"), std::string::npos) << folders.error;
        return;
    }
    ASSERT_TRUE(folders) << folders.error;
    EXPECT_EQ(folders.value.mode,
              c.writable ? UserFolders::Mode::Portable : UserFolders::Mode::Installed);
    EXPECT_EQ(folders.value.config, c.config);
    EXPECT_EQ(folders.value.data, c.data);
    EXPECT_EQ(folders.value.state, c.state);
}

const FolderEnvironment kHomeOnly{"/home/u", kUnset, kUnset, kUnset};
const FolderEnvironment kAllSet{"/home/u", "/x/conf", "/x/data/", "/x/state"};

INSTANTIATE_TEST_SUITE_P(
    Table, UserFoldersRule,
    testing::Values(
        // A writable program folder keeps everything beside the program; the log stays in
        // the current folder; the environment plays no part, not even a missing HOME.
        FoldersCase{"PortableIgnoresXdg", true, kAllSet, kProgram, kProgram, ""},
        FoldersCase{"PortableWithoutHome", true, {}, kProgram, kProgram, ""},
        FoldersCase{"InstalledDefaults", false, kHomeOnly, "/home/u/.config/vistrel/",
                    "/home/u/.local/share/vistrel/", "/home/u/.local/state/vistrel/"},
        FoldersCase{"HomeWithSlash",
                    false,
                    {"/home/u/", kUnset, kUnset, kUnset},
                    "/home/u/.config/vistrel/",
                    "/home/u/.local/share/vistrel/",
                    "/home/u/.local/state/vistrel/"},
        FoldersCase{"XdgSet", false, kAllSet, "/x/conf/vistrel/", "/x/data/vistrel/",
                    "/x/state/vistrel/"},
        // Relative and empty values are not paths the base directory rules accept.
        FoldersCase{"XdgRelativeIgnored",
                    false,
                    {"/home/u", "conf", "./data", "~/state"},
                    "/home/u/.config/vistrel/",
                    "/home/u/.local/share/vistrel/",
                    "/home/u/.local/state/vistrel/"},
        FoldersCase{"XdgEmptyIgnored",
                    false,
                    {"/home/u", "", "", ""},
                    "/home/u/.config/vistrel/",
                    "/home/u/.local/share/vistrel/",
                    "/home/u/.local/state/vistrel/"},
        FoldersCase{"OneXdgSet",
                    false,
                    {"/home/u", kUnset, "/d", kUnset},
                    "/home/u/.config/vistrel/",
                    "/d/vistrel/",
                    "/home/u/.local/state/vistrel/"},
        // Without HOME only a full set of XDG folders will do; never a folder under "/".
        FoldersCase{"XdgWithoutHome",
                    false,
                    {kUnset, "/c", "/d", "/s"},
                    "/c/vistrel/",
                    "/d/vistrel/",
                    "/s/vistrel/"},
        FoldersCase{"NoHome", false, {}, nullptr, nullptr, nullptr},
        FoldersCase{"EmptyHome", false, {"", kUnset, kUnset, kUnset}, nullptr, nullptr, nullptr},
        FoldersCase{
            "RelativeHome", false, {"home/u", kUnset, kUnset, kUnset}, nullptr, nullptr, nullptr},
        FoldersCase{
            "NoHomeOneXdgMissing", false, {kUnset, "/c", "/d", kUnset}, nullptr, nullptr, nullptr}),
    [](const testing::TestParamInfo<FoldersCase>& info) { return info.param.name; });

struct PathsCase
{
    UserFolders folders;
    const char* settings;
    const char* cache;
    const char* errorLog;
    const char* medora;
};

class UserFolderPaths : public testing::TestWithParam<PathsCase>
{
};

TEST_P(UserFolderPaths, NameTheFiles)
{
    const PathsCase& c = GetParam();
    EXPECT_EQ(platform::SettingsFilePath(c.folders), c.settings);
    EXPECT_EQ(platform::DefaultCacheFolder(c.folders), c.cache);
    EXPECT_EQ(platform::ErrorLogPath(c.folders), c.errorLog);
    EXPECT_EQ(platform::PluginSettingsFolder(c.folders, "medora"), c.medora);
}

INSTANTIATE_TEST_SUITE_P(Table, UserFolderPaths,
                         testing::Values(
                             // Portable: the places a copy of the program has always used.
                             PathsCase{platform::PortableFolders("/p/"), "/p/Vistrel.ini",
                                       "/p/Cache", "error.log", "/p/Plugin/medora/"},
                             PathsCase{{UserFolders::Mode::Installed, "/c/vistrel/", "/d/vistrel/",
                                        "/s/vistrel/"},
                                       "/c/vistrel/Vistrel.ini",
                                       "/d/vistrel/Cache",
                                       "/s/vistrel/error.log",
                                       "/c/vistrel/Plugin/medora/"}));

mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat info = {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(MakeUserFolders, MakesMissingFoldersPrivateAndKeepsExistingOnes)
{
    testing_support::CTempDir home;
    const std::filesystem::path root(home.Path());
    std::filesystem::create_directories(root / "share");
    std::filesystem::permissions(root / "share", std::filesystem::perms(0750));
    const UserFolders folders{UserFolders::Mode::Installed, (root / "conf/a/vistrel/").string(),
                              (root / "share/vistrel/").string(),
                              (root / "state/vistrel/").string()};
    ASSERT_TRUE(platform::MakeUserFolders(folders));
    for (const char* made : {"conf", "conf/a", "conf/a/vistrel", "share/vistrel", "state/vistrel"})
        EXPECT_EQ(ModeOf(root / made), 0700u) << made;
    EXPECT_EQ(ModeOf(root / "share"), 0750u);
    // A second start finds them all and changes nothing.
    EXPECT_TRUE(platform::MakeUserFolders(folders));
}

TEST(MakeUserFolders, FailsWithThePathWhenAFileIsInTheWay)
{
    testing_support::CTempDir home;
    const std::filesystem::path root(home.Path());
    std::ofstream(root / "state") << "x";
    const UserFolders folders{UserFolders::Mode::Installed, (root / "c/").string(),
                              (root / "d/").string(), (root / "state/vistrel/").string()};
    const platform::Result<> made = platform::MakeUserFolders(folders);
    ASSERT_FALSE(made);
    EXPECT_NE(made.error.find((root / "state").string()), std::string::npos) << made.error;
}

TEST(MakeUserFolders, PortableMakesNothing)
{
    EXPECT_TRUE(platform::MakeUserFolders(platform::PortableFolders("/nonexistent/vistrel/")));
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/vistrel"));
}

// The real process: a folder the user cannot write is an installed program, one he can is
// portable.
TEST(CurrentUserFolders, TheModeFollowsTheProgramFoldersPermissions)
{
    const testing_support::CScopedEnv env{{"HOME", "/home/u"}};
    testing_support::CTempDir dir;
    const std::filesystem::path root(dir.Path());
    std::filesystem::create_directories(root / "ro");
    std::filesystem::create_directories(root / "rw");
    std::filesystem::permissions(root, std::filesystem::perms(0755));
    std::filesystem::permissions(root / "ro", std::filesystem::perms(0555));
    std::filesystem::permissions(root / "rw", std::filesystem::perms(0777));
    const std::optional<std::string> modes = testing_support::RunUnprivileged([&] {
        std::string seen;
        for (const char* name : {"ro/", "rw/"}) {
            const auto folders = platform::CurrentUserFolders((root / name).string());
            seen += folders ? platform::ModeName(folders.value.mode) : folders.error;
            seen += ' ';
        }
        return seen;
    });
    ASSERT_TRUE(modes) << "cannot run as an unprivileged user";
    EXPECT_EQ(*modes, "installed portable ");
}

} // namespace
