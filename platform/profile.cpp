#include "platform/profile.h"

#include "platform/atomic_file.h"
#include "platform/file_bytes.h"
#include "platform/profile_text.h"
#include "platform/write_lock.h"

#include <cerrno>
#include <climits>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

// Writers read, change and replace the whole file, one at a time: this keeps the threads of a
// process apart, the lock file the processes.
std::mutex& WriteMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The profile reader strips one pair of matching quotes around a value.
std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Settings the user linked elsewhere stay linked, a new file is the user's own, and a change
// survives a power cut: settings cannot be made again the way a result page can.
constexpr ReplaceRules kProfileRules{ReplaceRules::Link::Follow, ReplaceRules::NewFile::Private,
                                     true};

} // namespace

Profile::Profile(std::string path)
    : m_path(std::move(path))
{}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    const Result<std::string> file = ReadWholeFile(m_path);
    std::optional<std::string_view> value;
    if (file)
        value = ProfileText(file.value).Find(section, key);
    std::string_view text = value ? Unquote(*value) : defaultValue;
    return std::string(text.substr(0, kMaxValueBytes));
}

int Profile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const
{
    std::string text = ReadString(section, key, "");
    if (text.empty())
        return defaultValue;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break; // saturate below
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool Profile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) const
{
    if (!ProfileText::CanStore(section, key, value))
        return false;
    // The lock goes beside the file that is replaced, so that every name of it shares one.
    const std::optional<std::string> target = FollowLinks(m_path);
    if (!target)
        return false;
    std::lock_guard<std::mutex> threadLock(WriteMutex());
    const WriteLock processLock(*target);
    const Result<std::string> file = ReadWholeFile(*target);
    // An existing file that cannot be read is never overwritten: its settings would be lost.
    if (!file && file.systemError != ENOENT)
        return false;
    const std::string changed = ProfileText(file.value).WithValue(section, key, value);
    if (file && changed == file.value)
        return true;
    // A file made read-only is locked on purpose, as the Windows profile functions take it.
    if (file && ::access(target->c_str(), W_OK) != 0)
        return false;
    // Without the lock file (a read-only folder) no change can be made, as without the lock.
    if (!processLock)
        return false;
    return static_cast<bool>(ReplaceFile(*target, changed, kProfileRules));
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value) const
{
    return WriteString(section, key, std::to_string(value));
}

} // namespace platform
