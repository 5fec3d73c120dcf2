// "使い方": which README the program finds, and that the command opens it.
#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/tests/app_folder.h"
#include "app/usage_document.h"
#include "platform/tests/temp_dir.h"

#include <QAction>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace app_test {
namespace {

struct FindCase
{
    const char* name;
    bool beside;    // README.md beside the program
    bool installed; // README.md in the installed documentation folder
    const char* found;
};

class UsageDocumentFind : public testing::TestWithParam<FindCase>
{
};

// An installed tree: the program folder is lib/vistrel/, the documents share/doc/vistrel/.
TEST_P(UsageDocumentFind, PrefersTheCopyBesideTheProgram)
{
    const FindCase& c = GetParam();
    testing_support::CTempDir root;
    const std::string program = root.File("lib/vistrel/");
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(root.File("share/doc/vistrel"));
    const std::string beside = program + "README.md";
    const std::string installed = root.File("share/doc/vistrel/README.md");
    if (c.beside)
        testing_support::WriteFileBytes(beside, "# beside");
    if (c.installed)
        testing_support::WriteFileBytes(installed, "# installed");
    const std::string expected = std::string(c.found) == "beside"      ? beside
                                 : std::string(c.found) == "installed" ? installed
                                                                       : std::string();
    EXPECT_EQ(app::UsageDocument(program), expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, UsageDocumentFind,
                         testing::Values(FindCase{"Both", true, true, "beside"},
                                         FindCase{"BesideOnly", true, false, "beside"},
                                         FindCase{"InstalledOnly", false, true, "installed"},
                                         FindCase{"Neither", false, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// The help menu's first item opens the README it finds; without one it says so.
TEST(UsageDocument, HelpCommandOpensTheReadme)
{
    for (const bool present : {true, false}) {
        CAppFolder folder;
        if (present)
            testing_support::WriteFileBytes(folder.File("README.md"), "# Vistrel");
        CStartedApp started(folder);
        ASSERT_TRUE(started.Started());
        std::vector<std::string> opened;
        started.App().SetDocumentOpener(
            [&opened](const std::string& path) { opened.push_back(path); });
        QMenuBar* bar = started.Frame().menuBar();
        QAction* help = bar->actions().at(bar->actions().size() - 1);
        ASSERT_EQ(help->text(), QStringLiteral("ヘルプ(&H)"));
        QAction* usage = help->menu()->actions().at(0);
        EXPECT_EQ(usage->text(), QStringLiteral("使い方(&H)"));
        EXPECT_EQ(usage, started.Frame().GetCommand(app::ID_HELP_USAGE));
        started.Frame().GetCommandUpdater().Update();
        usage->trigger();
        if (present) {
            EXPECT_EQ(opened, std::vector<std::string>{folder.File("README.md")});
            EXPECT_TRUE(started.prompts.messages.empty());
        } else {
            EXPECT_TRUE(opened.empty());
            ASSERT_EQ(started.prompts.messages.size(), 1U);
            EXPECT_EQ(started.prompts.messages[0].text,
                      QStringLiteral("使い方のファイルが見つかりません。"));
        }
    }
}

} // namespace
} // namespace app_test
