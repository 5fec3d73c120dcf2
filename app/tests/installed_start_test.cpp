// SPDX-License-Identifier: MIT
#include "app/about_box.h"
#include "app/main_frame.h"
#include "app/tests/app_folder.h"

#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

#include <filesystem>

namespace app_test {
namespace {

namespace fs = std::filesystem;

// The program started with its files in folders other than its own, as an installed one is.
struct InstalledApp
{
    explicit InstalledApp(const CAppFolder& program, const platform::UserFolders& folders)
        : app(program.Folder(), folders, &prompts)
    {
        started = app.InitInstance({});
    }
    ~InstalledApp() { app.ExitInstance(); }

    CFakePrompts prompts;
    CVistrelApp app;
    bool started = false;
};

platform::UserFolders UserFoldersIn(const CAppFolder& home)
{
    return {platform::UserFolders::Mode::Installed, home.File("config/vistrel/"),
            home.File("data/vistrel/"), home.File("state/vistrel/")};
}

TEST(InstalledStart, KeepsSettingsAndCacheInTheUsersFoldersAndNothingBesideTheProgram)
{
    CAppFolder program{"medora"};
    CAppFolder home;
    const platform::UserFolders folders = UserFoldersIn(home);
    ASSERT_TRUE(platform::MakeUserFolders(folders));
    const std::set<std::string> before = testing_support::FolderEntries(program.Path());
    {
        InstalledApp installed(program, folders);
        ASSERT_TRUE(installed.started);
        EXPECT_TRUE(fs::is_directory(home.File("data/vistrel/Cache")));
        ASSERT_NE(installed.app.GetMainFrame()->GetSelectedPlugin(), nullptr)
            << "the plug-ins still come from the program folder";
        EXPECT_TRUE(installed.app.GetMainFrame()->close());
        EXPECT_TRUE(installed.prompts.messages.empty());
    }
    EXPECT_TRUE(fs::is_regular_file(home.File("config/vistrel/Vistrel.ini")));
    EXPECT_EQ(testing_support::FolderEntries(program.Path()), before);
}

// A settings file whose changes would be lost is named once, at start, in either mode.
struct LockedCase
{
    const char* name;
    bool installed;
    bool locked;
};

class SettingsLocked : public testing::TestWithParam<LockedCase>
{
};

TEST_P(SettingsLocked, IsSaidOnceAtStart)
{
    CAppFolder program;
    CAppFolder home;
    const platform::UserFolders folders =
        GetParam().installed ? UserFoldersIn(home) : platform::PortableFolders(program.Folder());
    ASSERT_TRUE(platform::MakeUserFolders(folders));
    const std::string settings = platform::SettingsFilePath(folders);
    // A folder in the file's place cannot be replaced, even by root.
    if (GetParam().locked)
        fs::create_directory(settings);
    InstalledApp app(program, folders);
    ASSERT_TRUE(app.started);
    if (!GetParam().locked) {
        EXPECT_TRUE(app.prompts.messages.empty());
        return;
    }
    ASSERT_EQ(app.prompts.messages.size(), 1u);
    EXPECT_EQ(app.prompts.messages[0].text,
              QStringLiteral("設定ファイルに書き込めません: ") + QString::fromStdString(settings));
    EXPECT_EQ(app.prompts.messages[0].icon, app::MsgIcon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsLocked,
                         testing::Values(LockedCase{"Portable", false, false},
                                         LockedCase{"PortableLocked", false, true},
                                         LockedCase{"Installed", true, false},
                                         LockedCase{"InstalledLocked", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The window, the task bar and the About box show one picture, drawn at every size the
// desktop's icon theme gets.
TEST(AppIcon, HasEveryInstalledSizeAndTheAboutBoxShowsIt)
{
    const QIcon icon = app::AppIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        EXPECT_FALSE(icon.pixmap(size, size).isNull()) << size;
    }
    app::CAboutDlg about;
    const auto* label = about.findChild<QLabel*>(QStringLiteral("icon"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pixmap().toImage(), icon.pixmap(32, 32).toImage());
}

} // namespace
} // namespace app_test
