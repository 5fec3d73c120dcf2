#include "plugin_host/plugin_module.h"
#include "vistrel_plugin.h"

#include <dlfcn.h>

#include <limits>

namespace {

// Stands for a pair the plug-in left unwritten: no count it may give is this low.
constexpr std::int32_t kUnwritten = std::numeric_limits<std::int32_t>::min();

// A pair as the contract allows it: listings, then new ones (-1: not compared) of no more.
std::optional<plugin_host::ListingCount> ToListingCount(std::int32_t listings, std::int32_t fresh)
{
    if (listings < 0 || fresh < -1 || fresh > listings)
        return std::nullopt;
    return plugin_host::ListingCount{listings,
                                     fresh < 0 ? std::nullopt : std::optional<int>(fresh)};
}

} // namespace

CPluginModule::~CPluginModule()
{
    Unload();
}

bool CPluginModule::Load(const std::string& path)
{
    // Only absolute paths: a bare name would make dlopen search the library path.
    if (path.empty() || path.front() != '/')
        return false;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return false;
    Unload();
    m_hModule = handle;
    m_strPath = path;
    return true;
}

bool CPluginModule::Unload()
{
    bool released = false;
    if (m_hModule != nullptr) {
        released = dlclose(m_hModule) == 0;
        m_hModule = nullptr;
    }
    m_strPath.clear();
    return released;
}

std::string CPluginModule::GetFileTitle() const
{
    if (m_strPath.empty())
        return {};
    std::string::size_type slash = m_strPath.rfind('/');
    std::string name = m_strPath.substr(slash == std::string::npos ? 0 : slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

void* CPluginModule::Lookup(const char* name) const
{
    return m_hModule != nullptr ? dlsym(m_hModule, name) : nullptr;
}

std::string CPluginModule::CallTextFunction(const char* name) const
{
    auto fn = reinterpret_cast<PFN_PIN_GetPluginName>(Lookup(name));
    if (fn == nullptr)
        return {};
    char buffer[VISTREL_PLUGIN_NAME_SIZE + 1] = {};
    const std::scoped_lock turn(m_callLock);
    fn(buffer, VISTREL_PLUGIN_NAME_SIZE);
    return std::string(buffer);
}

std::string CPluginModule::GetPluginName() const
{
    return CallTextFunction(VISTREL_PIN_GETPLUGINNAME);
}

std::string CPluginModule::GetServerName() const
{
    return CallTextFunction(VISTREL_PIN_GETSERVERNAME);
}

std::string CPluginModule::GetReferer() const
{
    return CallTextFunction(VISTREL_PIN_GETREFERER);
}

std::string CPluginModule::GetSearchUrl(const std::string& keyword, int region) const
{
    auto fn = reinterpret_cast<PFN_PIN_GetSearchUrl>(Lookup(VISTREL_PIN_GETSEARCHURL));
    if (fn == nullptr)
        return {};
    char buffer[VISTREL_PLUGIN_URL_SIZE + 1] = {};
    const std::scoped_lock turn(m_callLock);
    fn(buffer, VISTREL_PLUGIN_URL_SIZE, keyword.c_str(), region);
    return std::string(buffer);
}

bool CPluginModule::MergeDownloadFiles(const std::string& outputPath,
                                       const std::vector<std::string>& pageFiles) const
{
    auto fn = reinterpret_cast<PFN_PIN_MergeDownloadFiles>(Lookup(VISTREL_PIN_MERGEDOWNLOADFILES));
    if (fn == nullptr || outputPath.empty())
        return false;
    std::vector<const char*> list;
    list.reserve(pageFiles.size() + 1);
    for (const std::string& file : pageFiles)
        list.push_back(file.c_str());
    list.push_back(nullptr);
    const std::scoped_lock turn(m_callLock);
    return fn(outputPath.c_str(), list.data()) == 0;
}

bool CPluginModule::HasSetupOption() const
{
    return Lookup(VISTREL_PIN_SETUPOPTION) != nullptr;
}

bool CPluginModule::SetupOption(std::uintptr_t ownerWindow) const
{
    auto fn = reinterpret_cast<PFN_PIN_SetupOption>(Lookup(VISTREL_PIN_SETUPOPTION));
    if (fn == nullptr)
        return false;
    const std::scoped_lock turn(m_callLock);
    return fn(ownerWindow) == 0;
}

bool CPluginModule::HasListingCounts() const
{
    return Lookup(VISTREL_PIN_GETLISTINGCOUNTS) != nullptr;
}

std::optional<std::vector<plugin_host::ListingCount>>
CPluginModule::GetListingCounts(const std::string& outputPath, std::size_t pageCount) const
{
    auto fn = reinterpret_cast<PFN_PIN_GetListingCounts>(Lookup(VISTREL_PIN_GETLISTINGCOUNTS));
    if (fn == nullptr || outputPath.empty() ||
        pageCount > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2))
        return std::nullopt;
    std::vector<std::int32_t> counts(2 * pageCount, kUnwritten);
    std::int32_t pages = 0;
    {
        const std::scoped_lock turn(m_callLock);
        pages = fn(outputPath.c_str(), counts.data(), static_cast<std::int32_t>(counts.size()));
    }
    // Counts of some other merge would be put beside the wrong keywords.
    if (pages < 0 || static_cast<std::size_t>(pages) != pageCount)
        return std::nullopt;
    std::vector<plugin_host::ListingCount> result;
    result.reserve(pageCount);
    for (std::size_t i = 0; i < pageCount; ++i) {
        const std::optional<plugin_host::ListingCount> count =
            ToListingCount(counts[2 * i], counts[2 * i + 1]);
        if (!count)
            return std::nullopt;
        result.push_back(*count);
    }
    return result;
}
