#include "platform/run_owner.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kFolderPrefix = "vistrel";
constexpr std::size_t kSuffixLength = 6;
constexpr std::size_t kMaxBootIdDigits = 32;

enum class StatRead { Read, NoProcess, Failed };

// The whole of a small /proc file; none when it cannot be read. noProcess tells whether the
// process it describes is gone.
std::optional<std::string> ReadProcFile(const std::string& path, bool* noProcess = nullptr)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (noProcess)
            *noProcess = errno == ENOENT || errno == ESRCH;
        return std::nullopt;
    }
    std::string text;
    char buffer[1024];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    const int readError = n < 0 ? errno : 0;
    ::close(fd);
    if (readError != 0) {
        if (noProcess)
            *noProcess = readError == ESRCH;
        return std::nullopt;
    }
    return text;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Field 22 of /proc/<pid>/stat: when the process started, in clock ticks after boot.
StatRead ReadStartTime(std::int64_t pid, std::uint64_t& startTime)
{
    bool noProcess = false;
    const std::optional<std::string> stat =
        ReadProcFile("/proc/" + std::to_string(pid) + "/stat", &noProcess);
    if (!stat)
        return noProcess ? StatRead::NoProcess : StatRead::Failed;
    // The command name in parentheses may hold spaces and parentheses of its own.
    const std::size_t nameEnd = stat->rfind(')');
    if (nameEnd == std::string::npos)
        return StatRead::Failed;
    std::string_view rest = std::string_view(*stat).substr(nameEnd + 1);
    constexpr int kFieldsAfterName = 20; // fields 3 to 22
    std::string_view field;
    for (int i = 0; i < kFieldsAfterName; ++i) {
        rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
        const std::size_t end = std::min(rest.find(' '), rest.size());
        field = rest.substr(0, end);
        rest.remove_prefix(end);
    }
    return ParseNumber(field, startTime) ? StatRead::Read : StatRead::Failed;
}

std::string ReadBootId()
{
    std::string id;
    if (const auto text = ReadProcFile("/proc/sys/kernel/random/boot_id")) {
        for (const char c : *text) {
            if (std::isxdigit(static_cast<unsigned char>(c)))
                id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return id.empty() || id.size() > kMaxBootIdDigits ? "0" : id;
}

// The inode in "pid:[4026531836]".
std::uint64_t ReadPidNamespace()
{
    char link[64] = {};
    const ssize_t n = ::readlink("/proc/self/ns/pid", link, sizeof link - 1);
    const std::string_view text(link, n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::size_t open = text.find('['), close = text.rfind(']');
    std::uint64_t inode = 0;
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        !ParseNumber(text.substr(open + 1, close - open - 1), inode))
        return 0;
    return inode;
}

bool IsBootId(std::string_view text)
{
    return !text.empty() && text.size() <= kMaxBootIdDigits &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f');
           });
}

std::vector<std::string_view> SplitDashes(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t dash = text.find('-', start);
        parts.push_back(text.substr(start, dash - start));
        if (dash == std::string_view::npos)
            return parts;
        start = dash + 1;
    }
}

} // namespace

RunOwner CurrentRunOwner()
{
    RunOwner self;
    self.uid = ::geteuid();
    self.bootId = ReadBootId();
    self.pidNamespace = ReadPidNamespace();
    self.pid = ::getpid();
    if (ReadStartTime(self.pid, self.startTime) != StatRead::Read)
        self.startTime = 0;
    return self;
}

std::string RunFolderName(const RunOwner& owner, std::string_view suffix)
{
    return std::string(kFolderPrefix) + "-" + std::to_string(owner.uid) + "-" + owner.bootId + "-" +
           std::to_string(owner.pidNamespace) + "-" + std::to_string(owner.pid) + "-" +
           std::to_string(owner.startTime) + "-" + std::string(suffix);
}

std::optional<RunOwner> ParseRunFolderName(std::string_view name)
{
    const std::vector<std::string_view> parts = SplitDashes(name);
    RunOwner owner;
    if (parts.size() != 7 || parts[0] != kFolderPrefix || !ParseNumber(parts[1], owner.uid) ||
        !IsBootId(parts[2]) || !ParseNumber(parts[3], owner.pidNamespace) ||
        !ParseNumber(parts[4], owner.pid) || owner.pid <= 0 ||
        !ParseNumber(parts[5], owner.startTime) || parts[6].size() != kSuffixLength ||
        !std::all_of(parts[6].begin(), parts[6].end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    owner.bootId = parts[2];
    return owner;
}

bool HasEnded(const RunOwner& owner, const RunOwner& self)
{
    if (owner.uid != self.uid || owner.bootId == "0" || owner.bootId != self.bootId ||
        owner.pidNamespace == 0 || owner.pidNamespace != self.pidNamespace)
        return false;
    std::uint64_t startTime = 0;
    switch (ReadStartTime(owner.pid, startTime)) {
    case StatRead::NoProcess:
        return true;
    case StatRead::Failed:
        return false;
    case StatRead::Read:
        break;
    }
    // The pid now names a process started later: the owner has gone.
    return owner.startTime != 0 && startTime != owner.startTime;
}

} // namespace platform
