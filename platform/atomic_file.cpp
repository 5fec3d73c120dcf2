#include "platform/atomic_file.h"

#include "platform/file_bytes.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/random.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

// Linux gives up after 40 links in one lookup; a longer chain is taken for a loop.
constexpr int kMaxLinks = 40;
// The longest name a folder entry may have on Linux file systems, in bytes.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::string_view kNameChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomChars = 6;
constexpr int kNameTries = 100;

std::string Message(int err)
{
    return std::generic_category().message(err);
}

Failure Failed(const std::string& what, int err)
{
    return {what + ": " + Message(err), err};
}

// The folder part of a path with its final "/", or "" for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::uint64_t RandomBits()
{
    std::uint64_t bits = 0;
    if (getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits))
        return bits;
    // Without the kernel's randomness names still differ between calls and processes; a name
    // taken anyway is simply tried again.
    static std::atomic<std::uint64_t> counter{0};
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(getpid()) << 40) ^ static_cast<std::uint64_t>(now.tv_nsec) ^
           (static_cast<std::uint64_t>(now.tv_sec) << 20) ^ counter++;
}

// "." + six random characters.
std::string RandomSuffix()
{
    std::string suffix = ".";
    std::uint64_t bits = RandomBits();
    for (std::size_t i = 0; i < kRandomChars; ++i) {
        suffix += kNameChars[bits % kNameChars.size()];
        bits /= kNameChars.size();
    }
    return suffix;
}

} // namespace

AtomicFile::AtomicFile(ReplaceRules rules)
    : m_rules(rules)
{}

AtomicFile::~AtomicFile()
{
    Discard();
}

Result<> AtomicFile::Begin(const std::string& path)
{
    Discard();
    m_writeError = 0;
    std::string target = path;
    if (m_rules.link == ReplaceRules::Link::Follow) {
        std::optional<std::string> followed = FollowLinks(path);
        if (!followed)
            return Failed("cannot follow the links at " + path, ELOOP);
        target = std::move(*followed);
    }

    struct stat old = {};
    std::optional<mode_t> keepMode;
    if (lstat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Failed("cannot replace " + target, EISDIR);
        if (S_ISREG(old.st_mode))
            keepMode = old.st_mode & 0777;
        else if (!S_ISLNK(old.st_mode))
            return Failure{"cannot replace " + target + ": not a regular file"};
    } else if (const int err = errno; err != ENOENT) {
        return Failed("cannot look at " + target, err);
    }

    const std::string folder = FolderOf(target);
    if (folder.size() == target.size())
        return Failed("cannot replace " + target, EISDIR);
    const mode_t mode = m_rules.newFile == ReplaceRules::NewFile::Private ? 0600 : 0666;
    int err = 0;
    // A name another writer took meanwhile is simply tried again with new random characters.
    for (int i = 0; i < kNameTries && m_fd < 0; ++i) {
        m_temp = HiddenSibling(target, RandomSuffix());
        m_fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        err = m_fd < 0 ? errno : 0;
        if (err != 0 && err != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        return Failed("cannot create a file in " + (folder.empty() ? "." : folder), err);
    }
    if (keepMode && fchmod(m_fd, *keepMode) != 0) {
        err = errno;
        Discard();
        return Failed("cannot set the permissions of a file in " + folder, err);
    }
    m_target = std::move(target);
    return {};
}

bool AtomicFile::Write(std::string_view bytes)
{
    if (m_fd < 0 && m_writeError == 0)
        m_writeError = EBADF;
    if (m_writeError == 0)
        m_writeError = WriteAll(m_fd, bytes);
    return m_writeError == 0;
}

Result<> AtomicFile::Commit()
{
    if (m_fd < 0)
        return Failed("no file to put in place", EBADF);
    int err = m_writeError;
    std::string what = "cannot write " + m_temp;
    if (err == 0 && m_rules.sync && fsync(m_fd) != 0)
        err = errno;
    if (close(m_fd) != 0 && err == 0)
        err = errno;
    m_fd = -1;
    if (err == 0 && std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        err = errno;
        what = "cannot rename " + m_temp + " to " + m_target;
    }
    if (err != 0) {
        Discard();
        return Failed(what, err);
    }
    m_temp.clear();
    return {};
}

void AtomicFile::Discard()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

Result<> ReplaceFile(const std::string& path, std::string_view bytes, ReplaceRules rules)
{
    AtomicFile file(rules);
    if (Result<> begun = file.Begin(path); !begun)
        return begun;
    file.Write(bytes);
    return file.Commit();
}

std::string HiddenSibling(const std::string& path, std::string_view suffix)
{
    const std::string folder = FolderOf(path);
    std::string_view name = std::string_view(path).substr(folder.size());
    const std::size_t room = kMaxNameBytes - 1 - std::min(suffix.size(), kMaxNameBytes - 1);
    if (name.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name = name.substr(0, cut);
    }
    return folder + "." + std::string(name) + std::string(suffix);
}

std::optional<std::string> FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat info = {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
        if (ec)
            return current;
        current = next.is_absolute() ? next.string() : FolderOf(current) + next.string();
    }
    return std::nullopt;
}

} // namespace platform
