// The plug-in contract as medora answers it. Every entry point catches everything: nothing
// may unwind into the host through a C interface.
#include "listing_counts.h"
#include "merge.h"
#include "search_url.h"
#include "settings.h"

#include "platform/cp932.h"
#include "vistrel_plugin.h"

#include <cstddef>

namespace {

// "TVメドラ・コム" in code page 932.
constexpr char kPluginName[] = "TV\x83\x81\x83\x68\x83\x89\x81\x45\x83\x52\x83\x80";

std::size_t Limit(int32_t size)
{
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

// Loading reads the settings. After that only PIN_GetServerName reads them, on the host's
// main thread, so no download thread rewrites them while a run builds its addresses.
__attribute__((constructor)) void ReadSettingsOnLoad()
{
    try {
        medora::ReadSettings();
    } catch (...) {
        // The defaults stay; the next PIN_GetServerName tries again.
    }
}

} // namespace

VISTREL_PLUGIN_EXPORT void PIN_GetPluginName(char* buffer, int32_t size)
{
    platform::BoundedCopy(buffer, kPluginName, Limit(size));
}

// Asked once at the start of each search run, so a hand edit of medora.ini takes effect with
// the next run.
VISTREL_PLUGIN_EXPORT void PIN_GetServerName(char* buffer, int32_t size)
{
    try {
        medora::ReadSettings();
        platform::BoundedCopy(buffer, medora::ServerName().c_str(), Limit(size));
    } catch (...) {
    }
}

VISTREL_PLUGIN_EXPORT void PIN_GetSearchUrl(char* buffer, int32_t size, const char* keyword,
                                            int32_t region)
{
    if (buffer == nullptr)
        return;
    try {
        const std::string url = medora::BuildSearchUrl(keyword, region, medora::StartDate(),
                                                       medora::Period(), Limit(size));
        platform::BoundedCopy(buffer, url.c_str(), Limit(size));
    } catch (...) {
    }
}

VISTREL_PLUGIN_EXPORT int32_t PIN_MergeDownloadFiles(const char* outputPath,
                                                     const char* const* pageFiles)
{
    try {
        // The settings are read on the main thread before the run; calls never overlap.
        std::optional<std::vector<medora::PageCount>> counts;
        const int32_t status = medora::MergeDownloadFiles(
            outputPath, pageFiles, medora::TemplatePath(), medora::MarkNewListings(), &counts);
        if (outputPath != nullptr) {
            if (counts)
                medora::RememberCounts(outputPath, std::move(*counts));
            else
                medora::ForgetCounts(outputPath);
        }
        return status;
    } catch (...) {
        try {
            if (outputPath != nullptr)
                medora::ForgetCounts(outputPath);
        } catch (...) {
        }
        return 1;
    }
}

VISTREL_PLUGIN_EXPORT int32_t PIN_GetListingCounts(const char* outputPath, int32_t* counts,
                                                   int32_t size)
{
    try {
        return medora::CopyCounts(outputPath, counts, size);
    } catch (...) {
        return -1;
    }
}
