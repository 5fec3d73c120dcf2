#include "app/gui_main.h"

#include "app/about_box.h"
#include "app/native_path.h"
#include "app/vistrel_app.h"
#include "platform/program_folder.h"

#include <QApplication>

namespace app {

int RunGui(int argc, char* argv[])
{
    QApplication qtApp(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QApplication::setWindowIcon(AppIcon());

    std::string programFolder = platform::ProgramFolder();
    if (programFolder.empty())
        programFolder = ToNativePath(QCoreApplication::applicationDirPath()) + "/";

    CVistrelApp theApp(programFolder);
    int exitCode = 1;
    if (theApp.InitInstance(std::vector<std::string>(argv + 1, argv + argc)))
        exitCode = QApplication::exec();
    theApp.ExitInstance();
    return exitCode;
}

} // namespace app
