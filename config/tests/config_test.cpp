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

using config::Config;
using config::Key;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// A value of the key's type that no default equals.
std::string SampleText(const config::KeyInfo& info)
{
    return std::string(info.name) + " \x93\x8C\x8B\x9E =x"; // code page 932 bytes and a '='
}

int SampleInt(const config::KeyInfo& info)
{
    return -1000 - static_cast<int>(info.key);
}

TEST(ConfigStore, AnEmptyFileReadsEveryDefaultAndStaysEmpty)
{
    CTempDir dir;
    const Config cfg(config::VistrelIniPath(dir.Path() + "/"));
    EXPECT_EQ(cfg.GetPath(), dir.File("Vistrel.ini"));
    WriteFileBytes(cfg.GetPath(), "");
    for (const config::KeyInfo& info : config::AllKeys()) {
        SCOPED_TRACE(std::string(info.section) + " " + std::string(info.name));
        if (info.type == config::ValueType::Int)
            EXPECT_EQ(cfg.ReadInt(info.key), info.intDefault);
        else
            EXPECT_EQ(cfg.ReadString(info.key), info.textDefault);
    }
    EXPECT_EQ(ReadFileBytes(cfg.GetPath()), "") << "reading writes nothing";
}

// Each key has a place of its own: a value written to one comes back from it alone, also
// where names differ only in case (the file ignores case).
TEST(ConfigStore, EveryKeyKeepsItsOwnValue)
{
    CTempDir dir;
    const Config cfg(dir.File("Vistrel.ini"));
    for (const config::KeyInfo& info : config::AllKeys()) {
        if (info.type == config::ValueType::Int)
            ASSERT_TRUE(cfg.WriteInt(info.key, SampleInt(info)));
        else
            ASSERT_TRUE(cfg.WriteString(info.key, SampleText(info)));
    }
    for (const config::KeyInfo& info : config::AllKeys()) {
        SCOPED_TRACE(std::string(info.section) + " " + std::string(info.name));
        if (info.type == config::ValueType::Int)
            EXPECT_EQ(cfg.ReadInt(info.key), SampleInt(info));
        else
            EXPECT_EQ(cfg.ReadString(info.key), SampleText(info));
    }
    EXPECT_EQ(config::Info(config::RecentFileKey(3)).name, "File4");
}

// The file as people edit it: names in any case, numbers with trailing text, a number where
// text is kept. An Int key reads its leading number; a String key keeps what stands there.
struct HandEditCase
{
    const char* name;
    const char* file;
    Key key;
    const char* expected; // an Int key's value as decimal text
};

class HandEdited : public ::testing::TestWithParam<HandEditCase>
{
};

TEST_P(HandEdited, ReadsAsTheKeysTypeSays)
{
    const HandEditCase& c = GetParam();
    CTempDir dir;
    const Config cfg(dir.File("Vistrel.ini"));
    WriteFileBytes(cfg.GetPath(), c.file);
    if (config::Info(c.key).type == config::ValueType::Int)
        EXPECT_EQ(std::to_string(cfg.ReadInt(c.key)), c.expected);
    else
        EXPECT_EQ(cfg.ReadString(c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandEdited,
    ::testing::Values(
        HandEditCase{"OutOfRangeCount", "[settings\\download]\r\nconnectnum=0\r\n", Key::ConnectNum,
                     "0"},
        HandEditCase{"NumberWithText", "[Settings\\DownLoad]\nMaxPageSize=32MiB\n",
                     Key::MaxPageSize, "32"},
        HandEditCase{"NoNumber", "[Settings\\Query]\nArea=Tokyo\n", Key::Area, "0"},
        HandEditCase{"EmptyNumber", "[Settings\\Proxy]\nPort=\n", Key::ProxyPort, "8080"},
        HandEditCase{"DigitsKeptAsText", "[Settings\\Proxy]\nHost=0012\n", Key::ProxyHost, "0012"},
        HandEditCase{"CommandLine", "[Settings\\etc]\nBrowser=/usr/bin/firefox --new-tab\n",
                     Key::Browser, "/usr/bin/firefox --new-tab"},
        HandEditCase{"EmptyIsNotMissing", "[Settings\\PlugIn]\nDLLName=\n", Key::DLLName, ""},
        HandEditCase{"BarLayout", "[ControlBar\\State]\nLayout=AAAA/w==\n", Key::BarState,
                     "AAAA/w=="}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigStore, CacheFolderAlwaysEndsInOneSlash)
{
    CTempDir dir;
    const Config cfg(dir.File("Vistrel.ini"));
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
    const Config cfg(dir.File("Vistrel.ini"));
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
