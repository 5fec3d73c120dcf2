#include "platform/file_error.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

using platform::FileErrorTextFromErrno;

TEST(FileError, MapsTheCommonSystemErrorsToTheirTexts)
{
    const std::string path = "/data/drama.txt";
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

// The causes that depend on what is on disk, each produced by a real open() of the path.
TEST(FileError, NamesWhatIsWrongWithThePathItself)
{
    testing_support::CTempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    testing_support::WriteFileBytes(dir.File("file"), "x");
    const std::pair<std::string, std::string> table[] = {
        {dir.File("none.txt"), "%s was not found."},
        {dir.File("none/a.txt"), "%s contains an invalid path."},
        {dir.File("file/a.txt"), "%s contains an invalid path."},
        {dir.File("folder"), "Access to %s was denied."},
    };
    for (const auto& [path, text] : table) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        ASSERT_LT(fd, 0) << path;
        const int err = errno;
        std::string expected = text;
        expected.replace(expected.find("%s"), 2, path);
        EXPECT_EQ(FileErrorTextFromErrno(err, path), expected)
            << std::generic_category().message(err);
    }
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
    EXPECT_EQ(FileErrorTextFromErrno(EACCES, "/tmp/%1/x"), "Access to /tmp/%1/x was denied.");
    EXPECT_EQ(platform::FileErrorText(platform::FileErrorCause::BadSeek, "f"), "Seek failed on f");
}

} // namespace
