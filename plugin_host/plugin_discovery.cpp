#include "plugin_host/plugin_discovery.h"

#include <filesystem>
#include <system_error>

void ReleasePlugins(CPluginList& list)
{
    // Front to back, as the modules were found.
    for (auto& module : list)
        module.reset();
    list.clear();
}

void DiscoverPlugins(const std::string& folder, CPluginList& list)
{
    ReleasePlugins(list);
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        std::error_code entryError;
        if (path.extension() != ".so" || it->is_directory(entryError))
            continue;
        std::string full = std::filesystem::absolute(path, entryError).string();
        auto module = std::make_unique<CPluginModule>();
        if (entryError || !module->Load(full))
            continue;
        if (module->GetPluginName().empty()) {
            module->Unload();
            continue;
        }
        list.push_back(std::move(module));
    }
}
