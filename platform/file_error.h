#pragma once

#include <string>

namespace platform {

// The causes of a file failure, each with its own message text.
enum class FileErrorCause {
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
};

// The cause of a failed open, create or write of path, from its errno. Every file error text
// of the program comes from here, so a cause reads the same wherever it happens: a missing
// file in an existing folder is not found, a missing folder is an invalid path, and a folder
// standing where the file should be is denied. Values with no closer cause are Generic.
FileErrorCause FileErrorCauseFromErrno(int err, const std::string& path);

// The message for a cause with "%1" replaced by the file's path, e.g. "%1 was not found.".
std::string FileErrorText(FileErrorCause cause, const std::string& path);

inline std::string FileErrorTextFromErrno(int err, const std::string& path)
{
    return FileErrorText(FileErrorCauseFromErrno(err, path), path);
}

} // namespace platform
