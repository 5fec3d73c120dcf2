#include "keywords/file_bytes.h"

#include "keywords/path_parts.h"

#include <QFile>
#include <QSaveFile>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keywords {

namespace {

// QSaveFile does not promise to keep errno when it fails, so when it has none, look at the
// target and its folder for the reason.
int ProbeWriteFailure(const std::string& path)
{
    struct stat target = {};
    if (stat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return EISDIR;
        if (access(path.c_str(), W_OK) != 0)
            return errno;
    }
    if (access(FolderOf(path).c_str(), W_OK | X_OK) != 0)
        return errno;
    return 0;
}

} // namespace

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    // O_NONBLOCK keeps opening a named pipe from waiting for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {ReadOutcome::Stage::OpenFailed, errno};
    struct stat info = {};
    int openErr = 0;
    if (fstat(fd, &info) != 0)
        openErr = errno;
    else if (S_ISDIR(info.st_mode))
        openErr = EISDIR;
    else if (!S_ISREG(info.st_mode))
        openErr = ENODEV;
    if (openErr != 0) {
        close(fd);
        return {ReadOutcome::Stage::OpenFailed, openErr};
    }

    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int readErr = errno;
            close(fd);
            bytes.clear();
            return {ReadOutcome::Stage::ReadFailed, readErr};
        }
    }
    close(fd);
    return {};
}

WriteOutcome ReplaceFile(const std::string& path, std::string_view bytes)
{
    const QByteArray native(path.data(), static_cast<qsizetype>(path.size()));
    const QString name = QFile::decodeName(native);
    // Qt names files in UTF-8: bytes that are not would come back altered, and the save would
    // land in a look-alike file while the one asked for keeps its old content.
    if (QFile::encodeName(name) != native)
        return {false, EINVAL};
    QSaveFile file(name);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int openErr = errno;
        return {false, openErr != 0 ? openErr : ProbeWriteFailure(path)};
    }
    // An uncommitted QSaveFile removes its temporary file when it goes away.
    errno = 0;
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.commit())
        return {false, errno};
    return {};
}

} // namespace keywords
