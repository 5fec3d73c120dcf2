// Whole files in and out: only regular files are read, and a write goes on until every byte
// is out or the system refuses one.
#include "platform/file_bytes.h"
#include "platform/tests/child_process.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using testing_support::CTempDir;

struct ReadCase
{
    const char* name;
    // Makes the file to read in the folder and gives its path.
    std::function<std::string(const CTempDir&)> make;
    int systemError; // 0: read whole
    std::string bytes;
};

class WholeFileRead : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(WholeFileRead, ReadsRegularFilesOnly)
{
    const ReadCase& c = GetParam();
    CTempDir dir;
    const std::string path = c.make(dir);
    const platform::Result<std::string> read = platform::ReadWholeFile(path);
    EXPECT_EQ(static_cast<bool>(read), c.systemError == 0) << read.error;
    EXPECT_EQ(read.systemError, c.systemError) << read.error;
    EXPECT_EQ(read.value, c.bytes);
    if (!read) {
        EXPECT_NE(read.error.find(path), std::string::npos) << read.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeFileRead,
    ::testing::Values(
        ReadCase{"Bytes",
                 [](const CTempDir& d) {
                     testing_support::WriteFileBytes(d.File("a"), std::string("a\0\r\n\x83", 5));
                     return d.File("a");
                 },
                 0, std::string("a\0\r\n\x83", 5)},
        ReadCase{"Empty",
                 [](const CTempDir& d) {
                     testing_support::WriteFileBytes(d.File("a"), "");
                     return d.File("a");
                 },
                 0, ""},
        ReadCase{"Missing", [](const CTempDir& d) { return d.File("none"); }, ENOENT, ""},
        ReadCase{"Folder", [](const CTempDir& d) { return d.Path(); }, EISDIR, ""},
        // A pipe with no writer would block a plain open for ever.
        ReadCase{"Pipe",
                 [](const CTempDir& d) {
                     mkfifo(d.File("pipe").c_str(), 0600);
                     return d.File("pipe");
                 },
                 ENODEV, ""},
        ReadCase{"Device", [](const CTempDir&) { return std::string("/dev/zero"); }, ENODEV, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WholeFileRead, AFailureAfterOpeningIsAReadFailure)
{
    // Opens as a regular file, but reading its first byte fails with an I/O error.
    platform::FileReader reader;
    const platform::Result<> opened = reader.Open("/proc/self/mem");
    if (!opened)
        GTEST_SKIP() << opened.error;
    const platform::Result<std::string> read = reader.ReadAll();
    EXPECT_FALSE(read);
    EXPECT_EQ(read.systemError, EIO) << read.error;
}

TEST(WriteAll, StopsAtTheFirstRefusedWriteWithItsError)
{
    CTempDir dir;
    const std::string path = dir.File("big");
    // The first write is cut short at the size limit; the next is refused.
    const std::optional<std::string> written = testing_support::RunWithFileSizeLimit(
        [&] {
            const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            const int err = platform::WriteAll(fd, std::string(10000, 'x'));
            close(fd);
            return std::to_string(err);
        },
        4096);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, std::to_string(EFBIG));
    EXPECT_EQ(std::filesystem::file_size(path), 4096u);

    const int readOnly = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(platform::WriteAll(readOnly, "x"), EBADF);
    close(readOnly);
}

TEST(WriteAll, GoesOnAfterSignalsCutWritesShort)
{
    // A handler without SA_RESTART makes a blocked write return early: with what it wrote so
    // far, or with EINTR when that was nothing.
    struct sigaction action = {};
    struct sigaction previous = {};
    action.sa_handler = [](int) {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    fcntl(fds[1], F_SETPIPE_SZ, 4096);
    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 / 5);

    const pthread_t writer = pthread_self();
    std::string received;
    std::thread reader([&] {
        char chunk[1024];
        ssize_t n;
        // Each chunk read frees the writer, and each signal breaks into it again.
        while ((n = read(fds[0], chunk, sizeof chunk)) > 0) {
            received.append(chunk, static_cast<std::size_t>(n));
            pthread_kill(writer, SIGUSR1);
        }
    });
    const int err = platform::WriteAll(fds[1], bytes);
    close(fds[1]);
    reader.join();
    close(fds[0]);
    sigaction(SIGUSR1, &previous, nullptr);

    EXPECT_EQ(err, 0);
    EXPECT_TRUE(received == bytes) << received.size() << " of " << bytes.size() << " bytes";
}

} // namespace
