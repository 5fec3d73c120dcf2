#include "platform/atomic_file.h"

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

FileResult Failure(std::string text)
{
    return {FileResult::Status::Failed, std::move(text)};
}

std::string Message(int err)
{
    return std::generic_category().message(err);
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

FileResult AtomicFile::Begin(const std::string& path)
{
    Discard();
    m_writeError = 0;
    std::string target = path;
    if (m_rules.link == ReplaceRules::Link::Follow) {
        std::optional<std::string> followed = FollowLinks(path);
        if (!followed)
            return Failure("cannot follow the links at " + path + ": " + Message(ELOOP));
        target = std::move(*followed);
    }

    struct stat old = {};
    std::optional<mode_t> keepMode;
    if (lstat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Failure("cannot replace " + target + ": " + Message(EISDIR));
        if (S_ISREG(old.st_mode))
            keepMode = old.st_mode & 0777;
        else if (!S_ISLNK(old.st_mode))
            return Failure("cannot replace " + target + ": not a regular file");
    } else if (const int err = errno; err != ENOENT) {
        return Failure("cannot look at " + target + ": " + Message(err));
    }

    const std::string folder = FolderOf(target);
    if (folder.size() == target.size())
        return Failure("cannot replace " + target + ": " + Message(EISDIR));
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
        return Failure("cannot create a file in " + (folder.empty() ? "." : folder) + ": " +
                       Message(err));
    }
    if (keepMode && fchmod(m_fd, *keepMode) != 0) {
        err = errno;
        Discard();
        return Failure("cannot set the permissions of a file in " + folder + ": " + Message(err));
    }
    m_target = std::move(target);
    return {FileResult::Status::Done, {}};
}

bool AtomicFile::Write(std::string_view bytes)
{
    if (m_fd < 0 && m_writeError == 0)
        m_writeError = EBADF;
    while (m_writeError == 0 && !bytes.empty()) {
        const ssize_t n = write(m_fd, bytes.data(), bytes.size());
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (n == 0)
            m_writeError = EIO;
        else if (errno != EINTR)
            m_writeError = errno;
    }
    return m_writeError == 0;
}

FileResult AtomicFile::Commit()
{
    if (m_fd < 0)
        return Failure("no file to put in place");
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
        return Failure(what + ": " + Message(err));
    }
    m_temp.clear();
    return {FileResult::Status::Done, {}};
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

FileResult ReplaceFile(const std::string& path, std::string_view bytes, ReplaceRules rules)
{
    AtomicFile file(rules);
    FileResult begun = file.Begin(path);
    if (!begun)
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
