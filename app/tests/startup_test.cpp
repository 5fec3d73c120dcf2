#include "app/command_ids.h"
#include "app/command_updater.h"
#include "app/main_frame.h"
#include "app/options/options_sheet.h"
#include "app/query_bar.h"
#include "app/tests/app_folder.h"
#include "keywords/keyword_model.h"
#include "plugin_host/plugin_module.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

namespace app_test {
namespace {

using config::Key;

TEST(Startup, FreshFolderGivesTheDefaults)
{
    CAppFolder folder{"alpha", "medora", "zulu"};
    ASSERT_FALSE(std::filesystem::exists(folder.File("Vistrel.ini")));
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    CMainFrame& frame = started.Frame();

    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Cache")));
    EXPECT_EQ(frame.pos(), QPoint(0, 0));
    EXPECT_EQ(frame.size(), QSize(800, 600));
    EXPECT_EQ(frame.GetAreaName(), "東京");
    ASSERT_NE(frame.GetSelectedPlugin(), nullptr);
    EXPECT_EQ(frame.GetSelectedPlugin()->GetFileTitle(), "medora");
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled - Vistrel"));
    EXPECT_TRUE(started.Doc().GetPathName().empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File("Vistrel.ini"))) << "nothing written yet";

    ASSERT_TRUE(started.Close());
    const config::Config ini = folder.Config();
    EXPECT_EQ(ini.ReadInt(Key::Area), 8);
    EXPECT_EQ(ini.ReadString(Key::DLLName), "medora");
    EXPECT_EQ(ini.ReadInt(Key::WindowRight), 800);
    EXPECT_EQ(ini.ReadInt(Key::WindowBottom), 600);
    EXPECT_FALSE(ini.ReadString(Key::BarState).empty());
    EXPECT_TRUE(started.prompts.messages.empty());
}

// The options command shows, in the empty cache field, the folder the program falls back to.
TEST(Startup, OptionsShowTheDefaultCacheFolder)
{
    CAppFolder folder;
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* sheet = dynamic_cast<options::COptionSheet*>(QApplication::activeModalWidget());
        if (sheet == nullptr)
            return;
        sheet->Tabs()->setCurrentIndex(1);
        if (auto* dir = sheet->findChild<QLineEdit*>(QStringLiteral("cacheDir")))
            shown = dir->placeholderText();
        sheet->reject();
    });
    started.Frame().GetCommandUpdater().Update();
    started.Frame().GetCommand(app::ID_OPTION)->trigger();
    EXPECT_EQ(shown, QString::fromStdString(folder.File("Cache")));
}

TEST(Startup, ExistingCacheFolderAndConfiguredCacheAreLeftAlone)
{
    CAppFolder folder;
    std::filesystem::create_directory(folder.File("Cache"));
    testing_support::WriteFileBytes(folder.File("Cache/old.html"), "x");
    folder.Config().WriteString(Key::CacheDirectory, folder.File("elsewhere/"));
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    EXPECT_TRUE(std::filesystem::exists(folder.File("Cache/old.html")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("elsewhere")));
}

// Which file the program starts with.
struct OpenAutoCase
{
    const char* name;
    int openAuto;
    enum { NoFile1, File1Exists, File1Deleted } file1;
    bool commandLineFile;
    enum { NewDocument, OpensFile1, OpensCommandLine } expected;
};

class OpenAuto : public testing::TestWithParam<OpenAutoCase>
{
};

TEST_P(OpenAuto, PicksTheFileToOpen)
{
    const OpenAutoCase& c = GetParam();
    CAppFolder folder;
    const std::string last = folder.WriteKeywordFile("last.txt", "a\r\nb\r\n");
    const std::string named = folder.WriteKeywordFile("named.txt", "c\r\n");
    const config::Config ini = folder.Config();
    ini.WriteInt(Key::OpenAuto, c.openAuto);
    if (c.file1 != OpenAutoCase::NoFile1)
        ini.WriteString(Key::RecentFile1, last);
    if (c.file1 == OpenAutoCase::File1Deleted)
        std::filesystem::remove(last);
    std::vector<std::string> args;
    if (c.commandLineFile)
        args.push_back(named);

    CStartedApp started(folder, args);
    ASSERT_TRUE(started.Started());
    switch (c.expected) {
    case OpenAutoCase::NewDocument:
        EXPECT_EQ(started.Doc().GetPathName(), "");
        EXPECT_EQ(started.Doc().GetKeywordCount(), 0);
        break;
    case OpenAutoCase::OpensFile1:
        EXPECT_EQ(started.Doc().GetPathName(), last);
        EXPECT_EQ(started.Doc().GetKeywordCount(), 2);
        EXPECT_EQ(started.Frame().windowTitle(), QStringLiteral("last.txt - Vistrel"));
        break;
    case OpenAutoCase::OpensCommandLine:
        EXPECT_EQ(started.Doc().GetPathName(), named);
        EXPECT_EQ(started.Doc().GetKeywordCount(), 1);
        break;
    }
    EXPECT_TRUE(started.prompts.messages.empty()) << "a vanished last file is not an error";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenAuto,
    testing::Values(
        OpenAutoCase{"Off", 0, OpenAutoCase::File1Exists, false, OpenAutoCase::NewDocument},
        OpenAutoCase{"On", 1, OpenAutoCase::File1Exists, false, OpenAutoCase::OpensFile1},
        OpenAutoCase{"AnyNonZero", 7, OpenAutoCase::File1Exists, false, OpenAutoCase::OpensFile1},
        OpenAutoCase{"NoFile1", 1, OpenAutoCase::NoFile1, false, OpenAutoCase::NewDocument},
        OpenAutoCase{"File1Deleted", 1, OpenAutoCase::File1Deleted, false,
                     OpenAutoCase::NewDocument},
        OpenAutoCase{"CommandLineWins", 1, OpenAutoCase::File1Exists, true,
                     OpenAutoCase::OpensCommandLine},
        OpenAutoCase{"CommandLineOnly", 0, OpenAutoCase::NoFile1, true,
                     OpenAutoCase::OpensCommandLine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Startup, RelativeCommandLineFileIsOpenedByItsFullPath)
{
    CAppFolder folder;
    const std::string file = folder.WriteKeywordFile("rel.txt", "k\r\n");
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    CStartedApp started(folder, {"-style=fusion", "rel.txt"});
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(started.Started());
    EXPECT_EQ(started.Doc().GetPathName(), file);
    EXPECT_EQ(started.App().GetRecentFiles().GetAt(0), file);
}

TEST(Startup, CommandLineFileThatCannotBeOpenedEndsTheProgram)
{
    CAppFolder folder;
    const std::string missing = folder.File("missing.txt");
    CStartedApp started(folder, {missing});
    EXPECT_FALSE(started.Started());
    ASSERT_EQ(started.prompts.messages.size(), 1u);
    EXPECT_EQ(started.prompts.messages[0].text,
              QString::fromStdString(missing + " was not found."));
    EXPECT_EQ(started.prompts.messages[0].icon, app::MsgIcon::Exclamation);
}

void Drop(CMainFrame& frame, const std::vector<std::string>& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
    mime.setUrls(urls);
    // As the desktop delivers it: the window takes the drag first, then gets the drop.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame, &drop);
}

TEST(Startup, DroppedFilesAreOpenedInTurnAndTheLastStays)
{
    CAppFolder folder;
    const std::string first = folder.WriteKeywordFile("first.txt", "1\r\n");
    const std::string second = folder.WriteKeywordFile("second.txt", "2\r\n2b\r\n");
    CStartedApp started(folder);
    ASSERT_TRUE(started.Started());
    started.Doc().AddKeyword("typed");
    started.Doc().SetModifiedFlag();
    started.prompts.answers = {app::MsgAnswer::No}; // discard the typed keyword once

    Drop(started.Frame(), {first, second});

    ASSERT_EQ(started.prompts.messages.size(), 1u);
    EXPECT_EQ(started.prompts.messages[0].text, QStringLiteral("Save changes to Untitled?"));
    EXPECT_EQ(started.Doc().GetPathName(), second);
    EXPECT_EQ(started.Doc().GetKeywords(), (std::vector<std::string>{"2", "2b"}));
    EXPECT_EQ(started.Frame().GetKeywordModel()->GetRowCount(), 2) << "the rows follow the file";
    EXPECT_EQ(started.App().GetRecentFiles().GetAt(0), second);
    EXPECT_EQ(started.App().GetRecentFiles().GetAt(1), first);
    EXPECT_EQ(started.Frame().windowTitle(), QStringLiteral("second.txt - Vistrel"));
}

} // namespace
} // namespace app_test
