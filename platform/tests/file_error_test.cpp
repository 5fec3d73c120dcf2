#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

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

TEST(FileError, PathIsInsertedVerbatimOnce)
{
    // A path holding the placeholder itself must not be expanded again.
    EXPECT_EQ(FileErrorTextFromErrno(ENOENT, "/tmp/%1/x"), "/tmp/%1/x was not found.");
    EXPECT_EQ(platform::FileErrorText(platform::FileErrorCause::BadSeek, "f"), "Seek failed on f");
}

} // namespace
