#pragma once

#include <string>

namespace testing_support {

// A shell script at path: it records what it was given and how it was started in record
// ("count|first argument|standard input|standard output|session"), then runs tail. Its tools
// are named by their paths, so that it runs whatever PATH a test gives it.
void WriteRecordingProgram(const std::string& path, const std::string& record,
                           const std::string& tail = "exit 0");

} // namespace testing_support
