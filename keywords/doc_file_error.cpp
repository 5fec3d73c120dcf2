#include "keywords/doc_file_error.h"

#include "keywords/path_parts.h"

#include "platform/file_error.h"

#include <cerrno>
#include <sys/stat.h>

namespace keywords {

namespace {

using platform::FileErrorCause;

bool HasFolderOf(const std::string& path)
{
    struct stat info = {};
    return stat(FolderOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileErrorCause CauseOf(int err)
{
    // A folder cannot be opened or replaced as a document: the user is denied access to it.
    if (err == EISDIR)
        return FileErrorCause::AccessDenied;
    const FileErrorCause cause = platform::FileErrorCauseFromErrno(err);
    switch (cause) {
    case FileErrorCause::FileNotFound:
    case FileErrorCause::BadPath:
    case FileErrorCause::AccessDenied:
    case FileErrorCause::SharingViolation:
    case FileErrorCause::DiskFull:
        return cause;
    default:
        return FileErrorCause::Generic;
    }
}

} // namespace

std::string OpenErrorText(int err, const std::string& path)
{
    if (err == 0)
        return "Failed to open document.";
    // A missing folder is a wrong path rather than a missing file.
    if (err == ENOENT && !HasFolderOf(path))
        return platform::FileErrorText(FileErrorCause::BadPath, path);
    return platform::FileErrorText(CauseOf(err), path);
}

std::string SaveErrorText(int err, const std::string& path)
{
    if (err == 0)
        return "Failed to save document.";
    // Saving creates the file when it is missing, so ENOENT always means a missing folder.
    if (err == ENOENT)
        return platform::FileErrorText(FileErrorCause::BadPath, path);
    return platform::FileErrorText(CauseOf(err), path);
}

} // namespace keywords
