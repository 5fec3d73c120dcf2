#pragma once

#include <string>
#include <string_view>

namespace platform {

// The outcome of making a temporary file or finding the temporary folder: its path, or why
// not.
struct TempFileResult
{
    enum class Status { Made, Failed };
    Status status = Status::Failed;
    std::string path;  // native bytes; set when Made
    std::string error; // UTF-8, says what failed; set when Failed

    explicit operator bool() const { return status == Status::Made; }
};

// The prefix of every page file a search run downloads into.
inline constexpr std::string_view kTempFilePrefix = "~TV";

// The system's temporary folder: TMPDIR when it is set, else /tmp; Failed when it is no folder.
TempFileResult TempFolder();

// Creates a new, empty file with a unique name that starts with prefix in folder and closes it
// again. The caller owns the file and deletes it.
TempFileResult MakeTempFile(const std::string& folder, std::string_view prefix = kTempFilePrefix);

} // namespace platform
