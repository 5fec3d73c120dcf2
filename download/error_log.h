#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace download {

// The log's file name, resolved against the working folder at the moment of each entry.
inline constexpr const char* kErrorLogName = "error.log";

// Where entries go from now on: kErrorLogName (the default, for portable use) or a full path in
// the user's state folder. Set before the first worker starts.
void SetErrorLogPath(std::string path);

// Messages are cut to this many bytes before they are logged.
inline constexpr std::size_t kMaxLogMessageBytes = 1023;

// One entry as it goes into the file: the local time as "%Y/%m/%d %H:%M:%S", one space and the
// message (cut to kMaxLogMessageBytes), with no line break added and no bytes changed. An
// unformattable time leaves the time part empty.
std::string FormatErrorLogEntry(std::time_t when, std::string_view message);

// Appends one entry to the log ("error.log" in the current folder unless SetErrorLogPath said
// otherwise), creating the file if needed. Entries
// from all threads of the process are serialised and each goes out in a single append, so
// entries made at the same moment are all kept and never interleaved. Every failure is
// swallowed: the entry is lost and the caller goes on.
void WriteErrorLog(std::string_view message);

} // namespace download
