// The menus as a user reads them: their items in order, with their keys.
#include "app/main_frame.h"
#include "app/tests/app_folder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace app_test {
namespace {

QStringList VisibleItems(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

TEST(Commands, FileMenuShowsTheRecentFilesInPlaceOfThePlaceholder)
{
    CAppFolder folder;
    CStartedApp started(folder);
    QMenu* file = started.Frame().menuBar()->actions().at(0)->menu();
    EXPECT_EQ(started.Frame().menuBar()->actions().at(0)->text(), QStringLiteral("ファイル(&F)"));
    const QStringList empty{QStringLiteral("新規作成\tCtrl+N(&N)"),
                            QStringLiteral("開く...\tCtrl+O(&O)"),
                            QStringLiteral("上書き保存\tCtrl+S(&S)"),
                            QStringLiteral("名前を付けて保存(&A)..."),
                            QStringLiteral("-"),
                            QStringLiteral("最近使ったファイル"),
                            QStringLiteral("-"),
                            QStringLiteral("アプリケーションの終了(&X)")};
    EXPECT_EQ(VisibleItems(file), empty);

    const std::string a = folder.WriteKeywordFile("a&b.txt", "");
    const std::string b = folder.WriteKeywordFile("b.txt", "");
    started.App().GetDocCommands().OpenDocumentFile(a);
    started.App().GetDocCommands().OpenDocumentFile(b);
    QStringList withTwo = empty;
    withTwo.replace(5, QStringLiteral("&1 ") + QString::fromStdString(b));
    withTwo.insert(6, QStringLiteral("&2 ") + QString::fromStdString(folder.File("a&&b.txt")));
    EXPECT_EQ(VisibleItems(file), withTwo);

    // The second entry opens its file.
    file->actions().at(6 + 1)->trigger();
    EXPECT_EQ(started.Doc().GetPathName(), a);
}

TEST(Commands, EditMenuListsItsCommandsWithTheirKeys)
{
    CAppFolder folder;
    CStartedApp started(folder);
    QAction* edit = started.Frame().menuBar()->actions().at(1);
    EXPECT_EQ(edit->text(), QStringLiteral("編集(&E)"));
    const QStringList items{
        QStringLiteral("ｷｰﾜｰﾄﾞ追加\tCtrl+A(&A)"), QStringLiteral("ｷｰﾜｰﾄﾞ削除\tDel(&R)"),
        QStringLiteral("ｷｰﾜｰﾄﾞ変更\tF2(&E)"), QStringLiteral("上へ移動\tShift+↑(&U)"),
        QStringLiteral("下へ移動\tShift+↓(&D)")};
    EXPECT_EQ(VisibleItems(edit->menu()), items);
}

} // namespace
} // namespace app_test
