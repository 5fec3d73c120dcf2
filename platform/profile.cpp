#include "platform/profile.h"

#include "platform/atomic_file.h"
#include "platform/profile_text.h"
#include "platform/write_lock.h"

#include <cerrno>
#include <climits>
#include <cstdio>
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

enum class LoadResult { Loaded, Missing, Failed };

LoadResult ReadWholeFile(const std::string& path, std::string& data)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
    char chunk[16384];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.append(chunk, n);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? LoadResult::Failed : LoadResult::Loaded;
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

CProfile::CProfile(std::string path)
    : m_path(std::move(path))
{}

std::string CProfile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    std::string data;
    std::optional<std::string_view> value;
    if (ReadWholeFile(m_path, data) == LoadResult::Loaded)
        value = CProfileText(data).Find(section, key);
    std::string_view text = value ? Unquote(*value) : defaultValue;
    return std::string(text.substr(0, kMaxValueBytes));
}

int CProfile::ReadInt(std::string_view section, std::string_view key, int defaultValue) const
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

bool CProfile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) const
{
    if (!CProfileText::CanStore(section, key, value))
        return false;
    // The lock goes beside the file that is replaced, so that every name of it shares one.
    const std::optional<std::string> target = FollowLinks(m_path);
    if (!target)
        return false;
    std::lock_guard<std::mutex> threadLock(WriteMutex());
    const WriteLock processLock(*target);
    std::string data;
    const LoadResult loaded = ReadWholeFile(*target, data);
    // An existing file that cannot be read is never overwritten: its settings would be lost.
    if (loaded == LoadResult::Failed)
        return false;
    const std::string changed = CProfileText(data).WithValue(section, key, value);
    if (loaded == LoadResult::Loaded && changed == data)
        return true;
    // A file made read-only is locked on purpose, as the Windows profile functions take it.
    if (loaded == LoadResult::Loaded && ::access(target->c_str(), W_OK) != 0)
        return false;
    // Without the lock file (a read-only folder) no change can be made, as without the lock.
    if (!processLock)
        return false;
    return static_cast<bool>(ReplaceFile(*target, changed, kProfileRules));
}

bool CProfile::WriteInt(std::string_view section, std::string_view key, int value) const
{
    return WriteString(section, key, std::to_string(value));
}

} // namespace platform
