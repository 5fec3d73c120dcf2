#include "app/gui_main.h"

#include "app/about_box.h"
#include "app/native_path.h"
#include "app/qt_translation.h"
#include "app/vistrel_app.h"
#include "download/error_log.h"
#include "platform/program_folder.h"
#include "platform/user_folders.h"

#include <QApplication>
#include <QMessageBox>

#include <optional>

namespace app {
namespace {

// The folders the program keeps its files in, made where missing, with the error log pointed
// there; none after an error box when the user's folders cannot be found or made.
std::optional<platform::UserFolders> UsableFolders(const std::string& programFolder)
{
    platform::Result<platform::UserFolders> folders = platform::CurrentUserFolders(programFolder);
    platform::Result<> made =
        folders ? platform::MakeUserFolders(folders.value) : folders.AsFailure();
    if (!made) {
        QMessageBox::critical(nullptr, QStringLiteral("Vistrel"),
                              QStringLiteral("設定を保存するフォルダを用意できません。\n%1")
                                  .arg(QString::fromUtf8(made.error)));
        return std::nullopt;
    }
    download::SetErrorLogPath(platform::ErrorLogPath(folders.value));
    return folders.value;
}

} // namespace

int RunGui(int argc, char* argv[], const std::string& file)
{
    QApplication qtApp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setWindowIcon(AppIcon());
    InstallQtTranslation(qtApp, QLocale::system());

    std::string programFolder = platform::ProgramFolder();
    if (programFolder.empty())
        programFolder = ToNativePath(QCoreApplication::applicationDirPath()) + "/";
    const std::optional<platform::UserFolders> folders = UsableFolders(programFolder);
    if (!folders)
        return 1;

    CVistrelApp theApp(programFolder, *folders);
    int exitCode = 1;
    // The file as the command line was read before Qt took its options out: a value Qt leaves
    // behind (-display without X11) is not taken for a file.
    std::vector<std::string> args;
    if (!file.empty())
        args.push_back(file);
    if (theApp.InitInstance(args))
        exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}

} // namespace app
