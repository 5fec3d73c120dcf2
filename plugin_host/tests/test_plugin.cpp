// One source, several small plug-ins: the PLUGIN_<KIND> definition picks which entry points
// a variant exports and what they answer.
#include "vistrel_plugin.h"

#include <cstdio>
#include <cstring>

namespace {

[[maybe_unused]] void Store(char* buffer, int32_t size, const char* text)
{
    if (buffer == nullptr || size <= 0)
        return;
    std::size_t n = std::strlen(text);
    if (n > static_cast<std::size_t>(size))
        n = static_cast<std::size_t>(size);
    // Deliberately no terminator: the caller's buffer is zero-filled with a byte to spare.
    std::memcpy(buffer, text, n); // NOLINT(bugprone-not-null-terminated-result)
}

} // namespace

#if defined(PLUGIN_GOOD) || defined(PLUGIN_TWIN_A) || defined(PLUGIN_TWIN_B)
VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
#if defined(PLUGIN_GOOD)
    Store(buffer, size, "\x83\x65\x83\x58\x83\x67"); // "テスト"
#else
    Store(buffer, size, "Twin");
#endif
}
#endif

#if defined(PLUGIN_GOOD)
VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size)
{
    Store(buffer, size, "127.0.0.1:8080");
}

VISTREL_PLUGIN_EXPORT void PIN_GetReferer(char* buffer, int32_t size)
{
    Store(buffer, size, "http://127.0.0.1/");
}

// Echoes its arguments and the size it was given, so the host's buffer rule can be checked.
VISTREL_PLUGIN_EXPORT void PIN_GetSearchUrl(char* buffer, int32_t size, const char* keyword,
                                            int32_t region)
{
    char text[600];
    std::snprintf(text, sizeof text, "/s?size=%d&region=%d&key=%s", static_cast<int>(size),
                  static_cast<int>(region), keyword ? keyword : "(null)");
    Store(buffer, size, text);
}

// Writes the page paths, one per line, so the test can see the list arrived in order.
VISTREL_PLUGIN_EXPORT int32_t PIN_MergeDownloadFiles(const char* outputPath,
                                                     const char* const* pageFiles)
{
    std::FILE* out = outputPath ? std::fopen(outputPath, "wb") : nullptr;
    if (out == nullptr)
        return 1;
    for (const char* const* p = pageFiles; *p != nullptr; ++p)
        std::fprintf(out, "%s\n", *p);
    return std::fclose(out) == 0 ? 0 : 1;
}

VISTREL_PLUGIN_EXPORT int32_t PIN_SetupOption(uintptr_t ownerWindow)
{
    return ownerWindow == 42 ? 0 : 7;
}
#endif

#if defined(PLUGIN_NONAME)
VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size)
{
    Store(buffer, size, "server");
}
#endif

#if defined(PLUGIN_EMPTYNAME)
VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char*, int32_t) {}
#endif

#if defined(PLUGIN_NAMEONLY)
// A name of exactly the buffer's size: all 255 bytes, no terminator of its own.
VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
    if (buffer != nullptr && size > 0)
        std::memset(buffer, 'N', static_cast<std::size_t>(size));
}
#endif

#if defined(PLUGIN_TURNS)
// Tells whether a call came while its merge was inside the plug-in. The merge stays inside
// until its first page file, a pipe, has been read to its end.
#include <atomic>

namespace {
std::atomic<int> g_inside{0};
} // namespace

VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
    Store(buffer, size, "Turns");
}

VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size)
{
    Store(buffer, size, g_inside > 0 ? "overlap" : "alone");
}

VISTREL_PLUGIN_EXPORT int32_t PIN_MergeDownloadFiles(const char*, const char* const* pageFiles)
{
    ++g_inside;
    std::FILE* page = pageFiles[0] ? std::fopen(pageFiles[0], "rb") : nullptr;
    while (page != nullptr && std::fgetc(page) != EOF) {
    }
    if (page != nullptr)
        std::fclose(page);
    --g_inside;
    return 0;
}
#endif

#if defined(PLUGIN_COUNTING) || defined(PLUGIN_PLAIN)
// Searches the sample site, for whole runs: its server is VISTREL_TEST_SERVER, and its merges
// write the page paths, or fail while VISTREL_TEST_MERGE_FAILS is set. Only "counting" tells
// listing counts: the numbers in VISTREL_TEST_COUNTS ("42,3,7,-1": a pair per page of the
// merge, in order); it answers VISTREL_TEST_COUNTS_RETURN when that is set, else the page
// count of its latest merge.
#include <cstdlib>
#include <string>
#include <vector>

namespace {
std::string g_mergedPath; // of the latest merge that succeeded
int g_mergedPages = 0;
} // namespace

VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
#if defined(PLUGIN_COUNTING)
    Store(buffer, size, "Counting");
#else
    Store(buffer, size, "Plain");
#endif
}

VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size)
{
    const char* server = std::getenv("VISTREL_TEST_SERVER");
    Store(buffer, size, server ? server : "");
}

// The sample site's search, every keyword byte escaped.
VISTREL_PLUGIN_EXPORT void PIN_GetSearchUrl(char* buffer, int32_t size, const char* keyword,
                                            int32_t region)
{
    std::string url = "/tv.php?area=" + std::to_string(1000 + region).substr(1) + "&key=";
    for (const char* p = keyword ? keyword : ""; *p != '\0'; ++p) {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(*p));
        url += escaped;
    }
    Store(buffer, size, url.c_str());
}

VISTREL_PLUGIN_EXPORT int32_t PIN_MergeDownloadFiles(const char* outputPath,
                                                     const char* const* pageFiles)
{
    if (std::getenv("VISTREL_TEST_MERGE_FAILS") != nullptr)
        return 1;
    std::FILE* out = outputPath ? std::fopen(outputPath, "wb") : nullptr;
    if (out == nullptr)
        return 1;
    int pages = 0;
    for (const char* const* p = pageFiles; *p != nullptr; ++p, ++pages)
        std::fprintf(out, "%s\n", *p);
    if (std::fclose(out) != 0)
        return 1;
    g_mergedPath = outputPath;
    g_mergedPages = pages;
    return 0;
}

#endif

#if defined(PLUGIN_COUNTING)
namespace {
std::vector<int32_t> ConfiguredCounts()
{
    std::vector<int32_t> numbers;
    const char* text = std::getenv("VISTREL_TEST_COUNTS");
    for (char* end = nullptr; text != nullptr && *text != '\0'; text = *end ? end + 1 : end) {
        numbers.push_back(static_cast<int32_t>(std::strtol(text, &end, 10)));
        if (end == text)
            break;
    }
    return numbers;
}
} // namespace

VISTREL_PLUGIN_EXPORT int32_t PIN_GetListingCounts(const char* outputPath, int32_t* counts,
                                                   int32_t size)
{
    if (outputPath == nullptr || (counts == nullptr && size > 0) || g_mergedPath != outputPath)
        return -1;
    const std::vector<int32_t> numbers = ConfiguredCounts();
    for (std::size_t i = 0; i + 1 < numbers.size() && static_cast<int32_t>(i) + 1 < size; i += 2) {
        counts[i] = numbers[i];
        counts[i + 1] = numbers[i + 1];
    }
    const char* answer = std::getenv("VISTREL_TEST_COUNTS_RETURN");
    return answer ? static_cast<int32_t>(std::atoi(answer)) : g_mergedPages;
}
#endif
