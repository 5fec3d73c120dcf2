// One source, three small plug-ins told apart by PLUGIN_<KIND>: each names itself, and only
// "medora" has options, which record the owner window they were given.
#include "vistrel_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(PLUGIN_MEDORA)
#define DISPLAY_NAME "\x83\x81\x83\x68\x83\x89" // "メドラ" in code page 932
#elif defined(PLUGIN_ALPHA)
#define DISPLAY_NAME "Zeta" // file name first, display name last
#else
#define DISPLAY_NAME "Alpha"
#endif

VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
    std::size_t n = std::strlen(DISPLAY_NAME);
    if (buffer == nullptr || size <= 0)
        return;
    if (n > static_cast<std::size_t>(size))
        n = static_cast<std::size_t>(size);
    // The host's buffer is zero-filled with a byte to spare, so no terminator is written.
    std::memcpy(buffer, DISPLAY_NAME, n); // NOLINT(bugprone-not-null-terminated-result)
}

#if defined(PLUGIN_MEDORA)
// Appends the owner window to the file VISTREL_TEST_OPTION_LOG names.
VISTREL_PLUGIN_EXPORT int32_t PIN_SetupOption(uintptr_t ownerWindow)
{
    const char* log = std::getenv("VISTREL_TEST_OPTION_LOG");
    std::FILE* out = log ? std::fopen(log, "a") : nullptr;
    if (out == nullptr)
        return 1;
    std::fprintf(out, "%llu\n", static_cast<unsigned long long>(ownerWindow));
    return std::fclose(out) == 0 ? 0 : 1;
}
#endif
