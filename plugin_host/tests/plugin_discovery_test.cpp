#include "platform/program_folder.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <set>
#include <string>

namespace {

using testing_support::CTempDir;
using testing_support::WriteFileBytes;

// A program folder of its own whose Plugin folder holds copies of the given test plug-ins.
class CProgramFolder : public CTempDir
{
public:
    explicit CProgramFolder(std::initializer_list<const char*> plugins)
    {
        std::filesystem::create_directory(File("Plugin"));
        for (const char* plugin : plugins)
            std::filesystem::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + plugin + ".so",
                                       File(std::string("Plugin/") + plugin + ".so"));
    }

    std::string Plugins() const { return platform::PluginFolder(Path() + "/"); }
};

std::set<std::string> Titles(const CPluginList& list)
{
    std::set<std::string> titles;
    for (const auto& module : list)
        titles.insert(module->GetFileTitle());
    return titles;
}

TEST(PluginDiscovery, KeepsOnlyLibrariesThatNameThemselves)
{
    CProgramFolder dir{"good", "noname", "emptyname", "nameonly", "twin_a", "twin_b"};
    WriteFileBytes(dir.File("Plugin/x.so"), "not a library\n");
    std::filesystem::create_directory(dir.File("Plugin/y.so"));
    WriteFileBytes(dir.File("Plugin/readme.txt"), "ignored\n");

    CPluginList list;
    DiscoverPlugins(dir.Plugins(), list);

    EXPECT_EQ(Titles(list), (std::set<std::string>{"good", "nameonly", "twin_a", "twin_b"}));
    for (const auto& module : list) {
        EXPECT_TRUE(module->IsLoaded());
        EXPECT_EQ(module->GetPath(), dir.File("Plugin/" + module->GetFileTitle() + ".so"));
    }
    // Two libraries with one display name are both offered.
    auto twins = std::count_if(list.begin(), list.end(),
                               [](const auto& m) { return m->GetPluginName() == "Twin"; });
    EXPECT_EQ(twins, 2);

    ReleasePlugins(list);
    EXPECT_TRUE(list.empty());
}

TEST(PluginDiscovery, RediscoveryReplacesTheListAndMissingFolderGivesNone)
{
    CProgramFolder dir{"good"};
    CPluginList list;
    DiscoverPlugins(dir.Plugins(), list);
    ASSERT_EQ(list.size(), 1u);
    DiscoverPlugins(dir.Plugins(), list);
    EXPECT_EQ(list.size(), 1u) << "discovery starts from an empty list";

    DiscoverPlugins(dir.File("nowhere/"), list);
    EXPECT_TRUE(list.empty());
}

TEST(PluginDiscovery, NamelessLibrariesDoNotStayLoaded)
{
    CProgramFolder dir{"noname"};
    CPluginList list;
    DiscoverPlugins(dir.Plugins(), list);
    EXPECT_TRUE(list.empty());
    // RTLD_NOLOAD finds a library only while it is still loaded.
    std::string path = dir.File("Plugin/noname.so");
    void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(still, nullptr);
    if (still)
        dlclose(still);
}

} // namespace
