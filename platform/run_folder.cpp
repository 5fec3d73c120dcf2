#include "platform/run_folder.h"

#include "platform/run_owner.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// The names in the open folder fd that start with prefix.
std::vector<std::string> NamesIn(int fd, std::string_view prefix)
{
    std::vector<std::string> names;
    const int listFd = ::dup(fd); // closedir closes the one it is given
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return names;
    }
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the stream is this function's own
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && name.starts_with(prefix))
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// RemoveRunFolder for the entry name of the open folder parentFd.
bool RemoveRunFolderAt(int parentFd, const std::string& name)
{
    const int fd =
        ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    bool kept = ::fstat(fd, &info) != 0 || info.st_uid != ::geteuid();
    if (!kept) {
        const std::vector<std::string> entries = NamesIn(fd, "");
        for (const std::string& entry : entries) {
            struct stat entryInfo = {};
            const bool isPage =
                entry.starts_with(kTempFilePrefix) &&
                ::fstatat(fd, entry.c_str(), &entryInfo, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(entryInfo.st_mode);
            if (!isPage || ::unlinkat(fd, entry.c_str(), 0) != 0)
                kept = true;
        }
    }
    ::close(fd);
    return !kept && ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0;
}

} // namespace

RunFolder::~RunFolder()
{
    Remove();
}

Result<std::string> RunFolder::MakeFile(std::string_view prefix)
{
    if (Result<std::string> folder = MakeFolder(); !folder)
        return folder;
    return MakeTempFile(m_path, prefix);
}

Result<std::string> RunFolder::NewFileName(std::string_view prefix)
{
    if (Result<std::string> folder = MakeFolder(); !folder)
        return folder;
    // mkstemp's names never hold '-', so these cannot meet one of MakeFile's.
    return m_path + "/" + std::string(prefix) + "-" + std::to_string(++m_names);
}

Result<std::string> RunFolder::MakeFolder()
{
    if (m_path.empty()) {
        const Result<std::string> folder = TempFolder();
        if (!folder)
            return folder.AsFailure();
        std::string pattern =
            (std::filesystem::path(folder.value) / RunFolderName(CurrentRunOwner(), "XXXXXX"))
                .string();
        // mkdtemp makes it for this user alone (0700).
        if (::mkdtemp(pattern.data()) == nullptr) {
            const int err = errno;
            return Failure{"cannot create a folder for the pages in " + folder.value + ": " +
                               std::generic_category().message(err),
                           err};
        }
        m_path = std::move(pattern);
        m_names = 0;
    }
    return m_path;
}

void RunFolder::Remove()
{
    if (m_path.empty())
        return;
    RemoveRunFolder(m_path);
    m_path.clear();
}

bool RemoveRunFolder(const std::string& path)
{
    const std::filesystem::path folder(path);
    const int parentFd = ::open(folder.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return false;
    const bool removed = RemoveRunFolderAt(parentFd, folder.filename().string());
    ::close(parentFd);
    return removed;
}

void SweepDeadRunFolders()
{
    const Result<std::string> temp = TempFolder();
    if (!temp)
        return;
    const int parentFd = ::open(temp.value.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return;
    const RunOwner self = CurrentRunOwner();
    for (const std::string& name : NamesIn(parentFd, "vistrel-")) {
        const std::optional<RunOwner> owner = ParseRunFolderName(name);
        if (owner && HasEnded(*owner, self))
            RemoveRunFolderAt(parentFd, name);
    }
    ::close(parentFd);
}

} // namespace platform
