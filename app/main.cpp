#include "app/batch/batch_run.h"

#include <QApplication>
#include <QMainWindow>

#include <iostream>

int main(int argc, char* argv[])
{
    // Batch mode, --help and --version need no window and no display.
    if (const std::optional<int> exitCode = batch::RunCommandLine(argc, argv, std::cout, std::cerr))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vistrel"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
