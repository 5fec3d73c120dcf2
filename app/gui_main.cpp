#include "app/gui_main.h"

#include "app/about_box.h"
#include "app/native_path.h"
#include "app/vistrel_app.h"
#include "platform/program_folder.h"

#include <QApplication>

namespace app {

int RunGui(int argc, char* argv[], const std::string& file)
{
    QApplication qtApp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setWindowIcon(AppIcon());

    std::string programFolder = platform::ProgramFolder();
    if (programFolder.empty())
        programFolder = ToNativePath(QCoreApplication::applicationDirPath()) + "/";

    CVistrelApp theApp(programFolder);
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
