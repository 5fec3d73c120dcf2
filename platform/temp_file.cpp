#include "platform/temp_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace platform {

TempFileResult TempFolder()
{
    TempFileResult result;
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        const char* tmpdir = std::getenv("TMPDIR");
        result.error =
            "no temporary folder (" + std::string(tmpdir ? tmpdir : "/tmp") + "): " + ec.message();
        return result;
    }
    result.status = TempFileResult::Status::Made;
    result.path = folder.string();
    return result;
}

TempFileResult MakeTempFile(const std::string& folder, std::string_view prefix)
{
    TempFileResult result;
    std::string pattern =
        (std::filesystem::path(folder) / (std::string(prefix) + "XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        result.error = "cannot create a temporary file in " + folder + ": " +
                       std::generic_category().message(errno);
        return result;
    }
    // The file only has to exist: the worker opens it by name when the page arrives.
    if (close(fd) != 0) {
        result.error = "cannot close temporary file " + pattern + ": " +
                       std::generic_category().message(errno);
        unlink(pattern.c_str());
        return result;
    }
    result.status = TempFileResult::Status::Made;
    result.path = std::move(pattern);
    return result;
}

} // namespace platform
