#include "app/batch/result_opener.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace batch {

void OpenResultPage(const std::string& browserProgram, const std::string& path)
{
    // Paths are native bytes; the program is started with them as one argument, no quoting.
    const QString file = QFile::decodeName(path.c_str());
    if (!browserProgram.empty()) {
        QProcess::startDetached(QFile::decodeName(browserProgram.c_str()), {file});
        return;
    }
    // The desktop services need a GUI application; without one, ask the desktop directly.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    else
        QProcess::startDetached(QStringLiteral("xdg-open"), {file});
}

} // namespace batch
