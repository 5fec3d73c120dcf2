#include "app/usage_document.h"

#include <filesystem>
#include <system_error>

#ifndef VISTREL_DOC_FROM_PROGRAM
#define VISTREL_DOC_FROM_PROGRAM "../../share/doc/vistrel"
#endif

namespace app {

std::string UsageDocument(const std::string& programFolder)
{
    const std::filesystem::path folder(programFolder);
    const std::filesystem::path candidates[] = {
        folder / "README.md",
        folder / VISTREL_DOC_FROM_PROGRAM / "README.md",
    };
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate.lexically_normal().string();
    }
    return {};
}

} // namespace app
