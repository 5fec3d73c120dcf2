#pragma once

#include <string>
#include <string_view>

// Whole-file reading and safe replacement for the keyword document. Paths are native bytes.
namespace keywords {

struct ReadOutcome
{
    enum class Stage {
        Done,       // the whole file was read
        OpenFailed, // nothing was read
        ReadFailed, // the file opened but reading stopped part-way
    };
    Stage stage = Stage::Done;
    int err = 0; // errno of the failing call
};

// Reads the whole file into bytes. Only regular files are read: a folder fails to open with
// EISDIR, and other non-regular files (pipes, devices) with ENODEV, so a stray path can never
// block or read without end.
ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes);

struct WriteOutcome
{
    bool ok = true;
    int err = 0; // errno of the failure; 0 when none is known
};

// Replaces the file's content with bytes through a temporary file beside it, so a failed
// write leaves the old file as it was. A path that is not UTF-8 cannot be handed to the
// saving machinery unchanged and is refused with EINVAL.
WriteOutcome ReplaceFile(const std::string& path, std::string_view bytes);

} // namespace keywords
