#include "config/config_store.h"
#include "config/regions.h"
#include "platform/tests/temp_dir.h"
#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using config::CConfig;
using config::Key;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// The keys as the user's Vistrel.ini has always held them: section, key, default.
struct ExpectedKey
{
    const char* section;
    const char* name;
    bool isInt;
    int intDefault;
    const char* textDefault;
};

const std::vector<ExpectedKey> kExpected{
    {"Settings\\Cache", "Directory", false, 0, ""},
    {"Settings\\DownLoad", "ConnectNum", true, 5, nullptr},
    {"Settings\\DownLoad", "MaxPageSize", true, 16, nullptr},
    {"Settings\\Proxy", "IESetting", true, 1, nullptr},
    {"Settings\\Proxy", "Enable", true, 0, nullptr},
    {"Settings\\Proxy", "Host", false, 0, ""},
    {"Settings\\Proxy", "Port", true, 8080, nullptr},
    {"Settings\\etc", "OpenAuto", true, 0, nullptr},
    {"Settings\\etc", "Browser", false, 0, ""},
    {"Settings\\PlugIn", "DLLName", false, 0, "medora"},
    {"Settings\\Query", "Area", true, 8, nullptr},
    {"MainFrame\\WindowPos", "Left", true, 0, nullptr},
    {"MainFrame\\WindowPos", "Top", true, 0, nullptr},
    {"MainFrame\\WindowPos", "Right", true, 800, nullptr},
    {"MainFrame\\WindowPos", "Bottom", true, 600, nullptr},
    {"Recent File List", "File1", false, 0, ""},
    {"Recent File List", "File2", false, 0, ""},
    {"Recent File List", "File3", false, 0, ""},
    {"Recent File List", "File4", false, 0, ""},
};

const config::KeyInfo* Find(std::string_view section, std::string_view name)
{
    for (const config::KeyInfo& info : config::AllKeys()) {
        if (info.section == section && info.name == name)
            return &info;
    }
    return nullptr;
}

TEST(ConfigKeys, TableHoldsEveryKeyWithItsDefaultAndNothingTwice)
{
    for (const ExpectedKey& e : kExpected) {
        SCOPED_TRACE(std::string(e.section) + " " + e.name);
        const config::KeyInfo* info = Find(e.section, e.name);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(&config::Info(info->key), info);
        if (e.isInt) {
            ASSERT_EQ(info->type, config::ValueType::Int);
            EXPECT_EQ(info->intDefault, e.intDefault);
        } else {
            ASSERT_EQ(info->type, config::ValueType::String);
            EXPECT_EQ(info->textDefault, e.textDefault);
        }
    }
    std::set<std::pair<std::string_view, std::string_view>> seen;
    for (const config::KeyInfo& info : config::AllKeys())
        EXPECT_TRUE(seen.insert({info.section, info.name}).second) << info.name;
    // The bar layout lives in a section of its own that starts with "ControlBar\State".
    EXPECT_TRUE(config::Info(Key::BarState).section.starts_with("ControlBar\\State"));
    EXPECT_EQ(config::RecentFileKey(3), Key::RecentFile4);
}

TEST(ConfigStore, DefaultsFromAMissingFileThenValuesAsTheFileHoldsThem)
{
    CTempDir dir;
    const CConfig cfg(config::VistrelIniPath(dir.Path() + "/"));
    EXPECT_EQ(cfg.GetPath(), dir.File("Vistrel.ini"));
    for (const ExpectedKey& e : kExpected) {
        const config::KeyInfo* info = Find(e.section, e.name);
        ASSERT_NE(info, nullptr);
        if (e.isInt)
            EXPECT_EQ(cfg.ReadInt(info->key), e.intDefault) << e.name;
        else
            EXPECT_EQ(cfg.ReadString(info->key), e.textDefault) << e.name;
    }

    // Hand-edited values are taken as they stand, out-of-range numbers included.
    WriteFileBytes(cfg.GetPath(), "[settings\\download]\r\nconnectnum=0\r\n"
                                  "[Settings\\etc]\r\nBrowser=/usr/bin/firefox --new-tab\r\n");
    EXPECT_EQ(cfg.ReadInt(Key::ConnectNum), 0);
    EXPECT_EQ(cfg.ReadString(Key::Browser), "/usr/bin/firefox --new-tab");

    ASSERT_TRUE(cfg.WriteInt(Key::Area, -1));
    ASSERT_TRUE(cfg.WriteString(Key::DLLName, ""));
    EXPECT_EQ(cfg.ReadInt(Key::Area), -1);
    EXPECT_EQ(cfg.ReadString(Key::DLLName), "") << "an empty value is not a missing one";
    EXPECT_NE(ReadFileBytes(cfg.GetPath()).find("[Settings\\Query]"), std::string::npos);
}

TEST(ConfigStore, CacheFolderAlwaysEndsInOneSlash)
{
    CTempDir dir;
    const CConfig cfg(dir.File("Vistrel.ini"));
    const std::vector<std::tuple<std::string, std::string>> cases{
        {"", "/opt/vistrel/Cache/"},
        {"/data/tv", "/data/tv/"},
        {"/data/tv/", "/data/tv/"},
        {"/", "/"},
    };
    for (const auto& [stored, expected] : cases) {
        ASSERT_TRUE(cfg.WriteString(Key::CacheDirectory, stored));
        EXPECT_EQ(config::CacheFolder(cfg, "/opt/vistrel/"), expected) << stored;
    }
}

// The default cache folder follows the mode; a stored "Directory" wins in either.
TEST(ConfigStore, StoredDirectoryWinsOverEitherModesDefault)
{
    CTempDir dir;
    const CConfig cfg(dir.File("Vistrel.ini"));
    const platform::FolderEnvironment env{"/home/u", std::nullopt, std::nullopt, std::nullopt};
    const std::vector<std::tuple<bool, std::string, std::string>> cases{
        {true, "", "/opt/vistrel/Cache/"},
        {false, "", "/home/u/.local/share/vistrel/Cache/"},
        {true, "/data/tv", "/data/tv/"},
        {false, "/data/tv", "/data/tv/"},
    };
    for (const auto& [writable, stored, expected] : cases) {
        const auto folders = platform::ResolveUserFolders("/opt/vistrel/", writable, env);
        ASSERT_TRUE(folders);
        ASSERT_TRUE(cfg.WriteString(Key::CacheDirectory, stored));
        EXPECT_EQ(config::CacheFolder(cfg, folders.value.data), expected) << stored;
    }
}

} // namespace

namespace {

TEST(Regions, FixedOrderAndLookupByName)
{
    // Spot checks across the list: the index is what the listing site receives.
    const std::vector<std::tuple<int, std::string_view>> cases{
        {0, ""},        {1, "北海道"}, {8, "東京"},    {13, "栃木"}, {14, "茨城"}, {25, "大阪"},
        {29, "和歌山"}, {33, "鳥取"},  {46, "鹿児島"}, {47, "沖縄"}, {48, ""},     {-1, ""},
    };
    for (const auto& [index, name] : cases) {
        EXPECT_EQ(config::RegionName(index), name) << index;
        if (!name.empty()) {
            EXPECT_EQ(config::FindRegion(name), index) << index;
        }
    }
    EXPECT_EQ(config::FindRegion(""), std::nullopt);
    EXPECT_EQ(config::FindRegion("東京都"), std::nullopt);
    std::set<std::string_view> names;
    for (int i = 1; i < config::kRegionCount; ++i)
        EXPECT_TRUE(names.insert(config::RegionName(i)).second) << i;
}

} // namespace
