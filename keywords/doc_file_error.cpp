#include "keywords/doc_file_error.h"

#include "platform/file_error.h"

#include <cerrno>

namespace keywords {

namespace {

using platform::FileErrorCause;

// The document error box has texts for these causes only; any other reads as unknown.
std::string BoxText(int err, const std::string& path)
{
    // A folder named as the keyword file is no keyword file at all: nothing about it is
    // denied, the path itself is the mistake.
    FileErrorCause cause =
        err == EISDIR ? FileErrorCause::BadPath : platform::FileErrorCauseFromErrno(err, path);
    switch (cause) {
    case FileErrorCause::FileNotFound:
    case FileErrorCause::BadPath:
    case FileErrorCause::AccessDenied:
    case FileErrorCause::SharingViolation:
    case FileErrorCause::DiskFull:
        break;
    default:
        cause = FileErrorCause::Generic;
        break;
    }
    return platform::FileErrorText(cause, path);
}

} // namespace

std::string OpenErrorText(int err, const std::string& path)
{
    return err == 0 ? "Failed to open document." : BoxText(err, path);
}

std::string SaveErrorText(int err, const std::string& path)
{
    return err == 0 ? "Failed to save document." : BoxText(err, path);
}

} // namespace keywords
