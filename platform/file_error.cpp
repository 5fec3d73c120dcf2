#include "platform/file_error.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace platform {

namespace {

bool HasFolderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty())
        folder = ".";
    struct stat info = {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FileErrorCause FileErrorCauseFromErrno(int err, const std::string& path)
{
    switch (err) {
    case ENOENT:
        // Creating a file fails this way only when its folder is missing.
        return HasFolderOf(path) ? FileErrorCause::FileNotFound : FileErrorCause::BadPath;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EISDIR: // a folder can be neither read nor replaced as a file
        return FileErrorCause::AccessDenied;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::InvalidFile;
    case EMLINK:
        return FileErrorCause::DirectoryFull;
    case ESPIPE:
        return FileErrorCause::BadSeek;
    case EIO:
        return FileErrorCause::HardIO;
    case EBUSY:
    case ETXTBSY:
        return FileErrorCause::SharingViolation;
    case EDEADLK:
    case ENOLCK:
        return FileErrorCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    default:
        return FileErrorCause::Generic;
    }
}

namespace {

const char* Template(FileErrorCause cause)
{
    switch (cause) {
    case FileErrorCause::Generic:
        break;
    case FileErrorCause::FileNotFound:
        return "%1 was not found.";
    case FileErrorCause::BadPath:
        return "%1 contains an invalid path.";
    case FileErrorCause::TooManyOpenFiles:
        return "%1 could not be opened because there are too many open files.";
    case FileErrorCause::AccessDenied:
        return "Access to %1 was denied.";
    case FileErrorCause::InvalidFile:
        return "An invalid file handle was associated with %1.";
    case FileErrorCause::RemoveCurrentDir:
        return "%1 could not be removed because it is the current directory.";
    case FileErrorCause::DirectoryFull:
        return "%1 could not be created because the directory is full.";
    case FileErrorCause::BadSeek:
        return "Seek failed on %1";
    case FileErrorCause::HardIO:
        return "A hardware I/O error was reported while accessing %1.";
    case FileErrorCause::SharingViolation:
        return "A sharing violation occurred while accessing %1.";
    case FileErrorCause::LockViolation:
        return "A locking violation occurred while accessing %1.";
    case FileErrorCause::DiskFull:
        return "Disk full while accessing %1.";
    case FileErrorCause::EndOfFile:
        return "An attempt was made to access %1 past its end.";
    }
    return "An unknown error occurred while accessing %1.";
}

} // namespace

std::string FileErrorText(FileErrorCause cause, const std::string& path)
{
    std::string text = Template(cause);
    std::string::size_type at = text.find("%1");
    // Replace once: a path that itself contains "%1" must come out unchanged.
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

} // namespace platform
