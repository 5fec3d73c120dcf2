#include "platform/file_error.h"

#include <cerrno>

namespace platform {

FileErrorCause FileErrorCauseFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return FileErrorCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EISDIR:
        return FileErrorCause::BadPath;
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
