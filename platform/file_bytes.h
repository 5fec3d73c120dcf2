#pragma once

#include "platform/result.h"

#include <string>
#include <string_view>

// Files read whole and bytes written whole. Paths are native bytes.
namespace platform {

// Writes all of bytes to fd, going on after interrupted and short writes. Returns 0 when
// everything was written, else the errno of the write that failed (EIO for one that took
// nothing).
int WriteAll(int fd, std::string_view bytes);

// Reads regular files whole. Opening and reading are two steps for callers whose own state
// changes once reading begins; ReadWholeFile does both.
class FileReader
{
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens path when it is a regular file. A folder fails with EISDIR and any other kind of
    // file (a pipe, a device) with ENODEV, so that a stray path can neither block nor read
    // without end.
    Result<> Open(const std::string& path);
    // Everything in the file opened; closes it.
    Result<std::string> ReadAll();

private:
    void Close();

    int m_fd = -1;
    std::string m_path;
};

// The bytes of the regular file at path. A missing file fails with ENOENT.
Result<std::string> ReadWholeFile(const std::string& path);

} // namespace platform
