#include "platform/file_bytes.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

Failure Failed(const std::string& what, int err)
{
    return {what + ": " + std::generic_category().message(err), err};
}

// Why an open file is not one to read whole, or 0 for a regular file.
int NotRegularError(int fd)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    return S_ISREG(info.st_mode) ? 0 : ENODEV;
}

} // namespace

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (n == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

FileReader::~FileReader()
{
    Close();
}

void FileReader::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

Result<> FileReader::Open(const std::string& path)
{
    Close();
    m_path = path;
    // O_NONBLOCK keeps opening a named pipe from waiting for a writer.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    // The cause is taken before building the message can change errno.
    const int err = m_fd < 0 ? errno : NotRegularError(m_fd);
    if (err != 0) {
        Close();
        return Failed("cannot open " + path, err);
    }
    return {};
}

Result<std::string> FileReader::ReadAll()
{
    if (m_fd < 0)
        return Failed("cannot read " + m_path, EBADF);
    std::string bytes;
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
        if (n > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int err = errno;
            Close();
            return Failed("cannot read " + m_path, err);
        }
    }
    Close();
    return bytes;
}

Result<std::string> ReadWholeFile(const std::string& path)
{
    FileReader reader;
    if (const Result<> opened = reader.Open(path); !opened)
        return opened.AsFailure();
    return reader.ReadAll();
}

} // namespace platform
