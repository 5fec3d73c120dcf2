#pragma once

#include <QFile>
#include <QString>

#include <string>

// Paths are native bytes (UTF-8 here) everywhere below the widgets; convert only at the edge.
namespace app {

inline std::string ToNativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString FromNativePath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace app
