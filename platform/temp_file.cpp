#include "platform/temp_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace platform {

Result<std::string> TempFolder()
{
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        const char* tmpdir = std::getenv("TMPDIR");
        return Failure{"no temporary folder (" + std::string(tmpdir ? tmpdir : "/tmp") +
                           "): " + ec.message(),
                       ec.value()};
    }
    return folder.string();
}

Result<std::string> MakeTempFile(const std::string& folder, std::string_view prefix)
{
    std::string pattern =
        (std::filesystem::path(folder) / (std::string(prefix) + "XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        const int err = errno;
        return Failure{"cannot create a temporary file in " + folder + ": " +
                           std::generic_category().message(err),
                       err};
    }
    // The file only has to exist: the worker opens it by name when the page arrives.
    if (close(fd) != 0) {
        const int err = errno;
        unlink(pattern.c_str());
        return Failure{"cannot close temporary file " + pattern + ": " +
                           std::generic_category().message(err),
                       err};
    }
    return pattern;
}

} // namespace platform
