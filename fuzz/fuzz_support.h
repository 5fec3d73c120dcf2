#pragma once

#include <string>
#include <string_view>

// Helpers the fuzz targets share. A target checks its properties with FUZZ_CHECK: a broken
// property aborts, which libFuzzer reports like any crash, with the input saved.
namespace fuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// A folder of this process's own under the temporary folder, removed when the process exits.
const std::string& ScratchFolder();

// Writes bytes to ScratchFolder()/name, replacing the file; aborts when that fails, since
// the input would not reach the code under test.
std::string WriteScratchFile(std::string_view name, std::string_view bytes);

// The whole file; aborts when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
    } while (false)
