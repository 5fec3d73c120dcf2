#include "platform/profile.h"

#include "platform/profile_text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Writers read, change and replace the whole file; one at a time within the process.
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

// Writes data to a temporary file beside path and renames it over path, so readers never
// see a half-written file and a failure leaves the old file untouched.
bool ReplaceFile(const std::string& path, const std::string& data)
{
    std::error_code ec;
    std::string target = path;
    if (std::filesystem::is_symlink(path, ec)) {
        auto resolved = std::filesystem::canonical(path, ec);
        if (!ec)
            target = resolved.string();
    }
    std::string temp = target + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new file stays private to the user.
    struct stat old
    {
    };
    bool ok = stat(target.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

} // namespace

CProfile::CProfile(std::string path)
    : m_strPath(std::move(path))
{}

std::string CProfile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    std::string data;
    std::optional<std::string_view> value;
    if (ReadWholeFile(m_strPath, data) == LoadResult::Loaded)
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
    std::lock_guard<std::mutex> lock(WriteMutex());
    std::string data;
    const LoadResult loaded = ReadWholeFile(m_strPath, data);
    // An existing file that cannot be read is never overwritten: its settings would be lost.
    if (loaded == LoadResult::Failed)
        return false;
    const std::string changed = CProfileText(data).WithValue(section, key, value);
    if (loaded == LoadResult::Loaded && changed == data)
        return true;
    return ReplaceFile(m_strPath, changed);
}

bool CProfile::WriteInt(std::string_view section, std::string_view key, int value) const
{
    return WriteString(section, key, std::to_string(value));
}

} // namespace platform
