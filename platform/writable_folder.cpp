#include "platform/writable_folder.h"

#include "platform/file_error.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

WritableResult Failed(int err, const std::string& path)
{
    return {WritableResult::Status::Failed, FileErrorTextFromErrno(err, path)};
}

// The folder exists as a folder afterwards, or the errno of why it cannot.
int MakeFolder(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    struct stat info = {};
    if (::stat(folder.c_str(), &info) != 0)
        return ec ? ec.value() : errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// Whether the name is longer than the folder's file system allows; a limit that cannot be
// asked for is left to the creation to find.
bool NameTooLong(const std::string& folder, const std::string& name)
{
    errno = 0;
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 && name.size() > static_cast<std::size_t>(limit);
}

} // namespace

WritableResult CheckWritableFile(const std::string& path)
{
    const std::filesystem::path file(path);
    const std::string name = file.filename().string();
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    if (name.empty() || path.size() >= PATH_MAX)
        return Failed(ENAMETOOLONG, path);
    if (const int err = MakeFolder(folder); err != 0)
        return Failed(err, path);
    if (NameTooLong(folder, name))
        return Failed(ENAMETOOLONG, path);

    // Only creating a file tells for certain: permissions, read-only mounts, ACLs, quotas.
    std::string probe = (std::filesystem::path(folder) / ".~vistrel-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return Failed(errno, path);
    ::close(fd);
    ::unlink(probe.c_str());
    return {WritableResult::Status::Writable, {}};
}

WritableResult CheckSettingsFile(const std::string& path)
{
    const std::filesystem::path file(path);
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    struct stat info = {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return Failed(EISDIR, path);
        if (::access(path.c_str(), R_OK | W_OK) != 0)
            return Failed(errno, path);
    } else if (errno != ENOENT) {
        return Failed(errno, path);
    }
    // access() also answers for read-only mounts.
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return Failed(errno, path);
    return {WritableResult::Status::Writable, {}};
}

} // namespace platform
