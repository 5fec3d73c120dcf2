#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

namespace {

using platform::FileErrorTextFromErrno;

TEST(FileError, MapsTheCommonSystemErrorsToTheirTexts)
{
    const std::string path = "/data/drama.txt";
    EXPECT_EQ(FileErrorTextFromErrno(ENOENT, path), "/data/drama.txt was not found.");
    EXPECT_EQ(FileErrorTextFromErrno(ENOTDIR, path), "/data/drama.txt contains an invalid path.");
    EXPECT_EQ(FileErrorTextFromErrno(EACCES, path), "Access to /data/drama.txt was denied.");
    EXPECT_EQ(FileErrorTextFromErrno(EROFS, path), "Access to /data/drama.txt was denied.");
    EXPECT_EQ(FileErrorTextFromErrno(ENOSPC, path), "Disk full while accessing /data/drama.txt.");
    EXPECT_EQ(FileErrorTextFromErrno(EMFILE, path),
              "/data/drama.txt could not be opened because there are too many open files.");
    EXPECT_EQ(FileErrorTextFromErrno(EIO, path),
              "A hardware I/O error was reported while accessing /data/drama.txt.");
    EXPECT_EQ(FileErrorTextFromErrno(0, path),
              "An unknown error occurred while accessing /data/drama.txt.");
    EXPECT_EQ(FileErrorTextFromErrno(EPROTO, path),
              "An unknown error occurred while accessing /data/drama.txt.");
}

TEST(FileError, EveryCauseHasItsText)
{
    using platform::FileErrorCause;
    const std::pair<FileErrorCause, const char*> table[] = {
        {FileErrorCause::Generic, "An unknown error occurred while accessing f."},
        {FileErrorCause::FileNotFound, "f was not found."},
        {FileErrorCause::BadPath, "f contains an invalid path."},
        {FileErrorCause::TooManyOpenFiles,
         "f could not be opened because there are too many open files."},
        {FileErrorCause::AccessDenied, "Access to f was denied."},
        {FileErrorCause::InvalidFile, "An invalid file handle was associated with f."},
        {FileErrorCause::RemoveCurrentDir,
         "f could not be removed because it is the current directory."},
        {FileErrorCause::DirectoryFull, "f could not be created because the directory is full."},
        {FileErrorCause::BadSeek, "Seek failed on f"},
        {FileErrorCause::HardIO, "A hardware I/O error was reported while accessing f."},
        {FileErrorCause::SharingViolation, "A sharing violation occurred while accessing f."},
        {FileErrorCause::LockViolation, "A locking violation occurred while accessing f."},
        {FileErrorCause::DiskFull, "Disk full while accessing f."},
        {FileErrorCause::EndOfFile, "An attempt was made to access f past its end."},
    };
    for (const auto& [cause, text] : table)
        EXPECT_EQ(platform::FileErrorText(cause, "f"), text) << static_cast<int>(cause);
}

TEST(FileError, PathIsInsertedVerbatimOnce)
{
    // A path holding the placeholder itself must not be expanded again.
    EXPECT_EQ(FileErrorTextFromErrno(ENOENT, "/tmp/%1/x"), "/tmp/%1/x was not found.");
    EXPECT_EQ(platform::FileErrorText(platform::FileErrorCause::BadSeek, "f"), "Seek failed on f");
}

} // namespace
