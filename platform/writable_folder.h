#pragma once

#include <string>

namespace platform {

// The outcome of checking that a file can be written: fine, or the file-error text of why not.
struct WritableResult
{
    enum class Status { Writable, Failed };
    Status status = Status::Failed;
    std::string error; // UTF-8, a file-error text naming path; set when Failed

    explicit operator bool() const { return status == Status::Writable; }
};

// Checks, before any work is spent on it, that the file path could be created: its folder is
// made when missing (parents too), the name must fit the folder's file system, and a file must
// be creatable there, which is tried with a uniquely named file that is removed at once. The
// file path itself is neither created nor touched.
WritableResult CheckWritableFile(const std::string& path);

// Whether a settings file at path can be kept up to date by this user, without touching
// anything: a write reads the file and replaces it beside itself, so an existing file must be
// readable and writable (a file the user made read-only is taken as locked on purpose) and its
// folder writable. A missing file only needs the folder.
WritableResult CheckSettingsFile(const std::string& path);

} // namespace platform
