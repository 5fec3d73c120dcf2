#pragma once

#include "plugin_host/listing_count.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One loaded plug-in library. It keeps no function addresses: every entry point is looked up
// by name at each call, and a missing one gives the documented empty result. Calls into the
// library take turns: the merge may run on a thread of the program's own while the main
// thread is still in another call (an options dialog open as a run ends).
class CPluginModule
{
public:
    CPluginModule() = default;
    virtual ~CPluginModule();
    CPluginModule(const CPluginModule&) = delete;
    CPluginModule& operator=(const CPluginModule&) = delete;

    // Loads the library from an absolute path (never through a search path). On failure
    // nothing changes and the result is false.
    bool Load(const std::string& path);
    // Releases the library; false when nothing was loaded or the release failed.
    bool Unload();
    bool IsLoaded() const { return m_hModule != nullptr; }
    const std::string& GetPath() const { return m_strPath; }

    // The library's file name without folder and suffix: "medora" for ".../Plugin/medora.so".
    std::string GetFileTitle() const;

    // Texts in code page 932; empty when the library is not loaded or lacks the export.
    std::string GetPluginName() const;
    std::string GetServerName() const;
    std::string GetReferer() const;
    std::string GetSearchUrl(const std::string& keyword, int region) const;

    // True only when the export exists and returned 0.
    bool MergeDownloadFiles(const std::string& outputPath,
                            const std::vector<std::string>& pageFiles) const;
    bool HasSetupOption() const;
    bool SetupOption(std::uintptr_t ownerWindow) const;

    // Whether the plug-in can tell how many listings a merge took from each page.
    bool HasListingCounts() const;
    // The counts of each page file of the latest successful merge for outputPath, in the order
    // the files were given; none when the plug-in cannot tell them or its answer does not fit
    // pageCount pages (another count, a pair left unwritten, an impossible number).
    std::optional<std::vector<plugin_host::ListingCount>>
    GetListingCounts(const std::string& outputPath, std::size_t pageCount) const;

private:
    void* Lookup(const char* name) const;
    std::string CallTextFunction(const char* name) const;

    void* m_hModule = nullptr;
    std::string m_strPath;
    // Held for each call; recursive, since a dialog's event loop may run on in a call.
    mutable std::recursive_mutex m_callLock;
};
