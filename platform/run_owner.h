#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Whose a run folder is. The folder's name carries it, so that a later start can tell a folder
// whose process has ended from one still in use: also after the pid has gone to another
// process (its start time differs), and never for a folder from another machine or container
// that shares the temporary folder (boot or pid namespace differ, so it is not judged).
struct RunOwner
{
    std::uint32_t uid = 0;
    std::string bootId = "0";       // the kernel's boot id, hex digits only; "0": unknown
    std::uint64_t pidNamespace = 0; // inode of the pid namespace; 0: unknown
    std::int64_t pid = 0;
    std::uint64_t startTime = 0; // clock ticks after boot; 0: unknown

    bool operator==(const RunOwner&) const = default;
};

// This process, as the system tells it (effective uid).
RunOwner CurrentRunOwner();

// "vistrel-<uid>-<boot id>-<pid namespace>-<pid>-<start time>-<suffix>"; suffix is six
// letters or digits (mkdtemp's "XXXXXX" to be filled in).
std::string RunFolderName(const RunOwner& owner, std::string_view suffix);
// The owner a folder name gives; none for a name RunFolderName does not make.
std::optional<RunOwner> ParseRunFolderName(std::string_view name);

// Whether owner's process has certainly ended, judged from self's machine and pid namespace.
// False while it runs and whenever that cannot be told: another user, boot or namespace, an
// unknown field, no /proc.
bool HasEnded(const RunOwner& owner, const RunOwner& self);

} // namespace platform
