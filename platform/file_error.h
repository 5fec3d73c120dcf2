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

// Maps an errno value to its cause; values with no closer cause are Generic.
FileErrorCause FileErrorCauseFromErrno(int err);

// The message for a cause with "%1" replaced by the file's path, e.g. "%1 was not found.".
std::string FileErrorText(FileErrorCause cause, const std::string& path);

inline std::string FileErrorTextFromErrno(int err, const std::string& path)
{
    return FileErrorText(FileErrorCauseFromErrno(err), path);
}

} // namespace platform
