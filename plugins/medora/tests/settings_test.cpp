#include "medora_test.h"

#include "plugins/medora/settings.h"

#include "platform/profile.h"
#include "vistrel_plugin.h"

#include <dlfcn.h>
#include <gmock/gmock.h>

#include <filesystem>

using namespace medora_test;
using ::testing::HasSubstr;

namespace {

struct SettingsCase
{
    const char* name;
    std::string ini;
    std::string period; // the "sdate" and "ldate" parameters as the target carries them
};

void PrintTo(const SettingsCase& c, std::ostream* os)
{
    *os << c.name;
}

class SettingsFile : public CMedoraTest, public ::testing::WithParamInterface<SettingsCase>
{
};

TEST_P(SettingsFile, GiveTheSearchPeriod)
{
    WriteSettings(GetParam().ini);
    m_medora.GetServerName();
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr(GetParam().period));
}

INSTANTIATE_TEST_SUITE_P(
    Medora, SettingsFile,
    ::testing::Values(
        SettingsCase{"Values", "[URLParam]\nsdate=20051224\nldate=7\n",
                     "&sort=d&sdate=20051224&ldate=7&shour="},
        SettingsCase{"OverLongValuesAreCut", "[URLParam]\r\nsdate=2005122499\r\nldate=100\r\n",
                     "&sdate=20051224&ldate=10&"},
        SettingsCase{"CutKeepsWholeCharacters",
                     "[URLParam]\nsdate=1234567\x83\x65\nldate=1\x83\x65\n",
                     "&sdate=1234567&ldate=1&"},
        SettingsCase{"NamesIgnoreCase", "[urlparam]\nSDATE=20260101\nLDate=14\n",
                     "&sdate=20260101&ldate=14&"},
        SettingsCase{"EmptyValuesStayEmpty", "[URLParam]\nsdate=\nldate=\n", "&sdate=&ldate=&"},
        SettingsCase{"OtherSectionsGiveDefaults", "[Site]\nsdate=1\nldate=2\n",
                     "&sdate=&ldate=28&"},
        SettingsCase{"EmptyFileGivesDefaults", "", "&sdate=&ldate=28&"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ServerCase
{
    const char* name;
    std::string ini;
    std::string server;
};

void PrintTo(const ServerCase& c, std::ostream* os)
{
    *os << c.name;
}

class ServerNames : public CMedoraTest, public ::testing::WithParamInterface<ServerCase>
{
};

TEST_P(ServerNames, ComeFromTheSiteSection)
{
    WriteSettings(GetParam().ini);
    EXPECT_EQ(m_medora.GetServerName(), GetParam().server);
}

INSTANTIATE_TEST_SUITE_P(
    Medora, ServerNames,
    ::testing::Values(
        ServerCase{"BuiltIn", "", medora::kDefaultServerName},
        ServerCase{"HostAndPort", "[Site]\nServer=127.0.0.1:8080\n", "127.0.0.1:8080"},
        ServerCase{"NamesIgnoreCase", "[site]\nserver=mirror.example\n", "mirror.example"},
        ServerCase{"EmptyMeansBuiltIn", "[Site]\nServer=\n", medora::kDefaultServerName},
        ServerCase{"CutToTheBuffer", "[Site]\nServer=" + std::string(300, 'h') + "\n",
                   std::string(VISTREL_PLUGIN_NAME_SIZE, 'h')}),
    [](const auto& info) { return std::string(info.param.name); });

using MedoraSettings = CMedoraTest;

// Only the load and the server-name call (the start of a run) read the file.
TEST_F(MedoraSettings, AreReadOnLoadAndAtEachServerNameCall)
{
    WriteSettings("[URLParam]\nldate=7\n");
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&ldate=28&"));
    EXPECT_EQ(m_medora.GetServerName(), medora::kDefaultServerName);
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&ldate=7&"));

    WriteSettings("[URLParam]\nldate=3\n");
    ASSERT_TRUE(m_medora.Unload());
    ASSERT_EQ(dlopen(MEDORA_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr)
        << "medora.so stays in memory after its release, so it cannot be loaded afresh";
    ASSERT_TRUE(m_medora.Load(MEDORA_MODULE_PATH));
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&ldate=3&"));
}

TEST_F(MedoraSettings, SaveWritesBothKeysAndKeepsTheRest)
{
    WriteSettings("[Site]\nServer=127.0.0.1:9\n[URLParam]\nsdate=20051224\nldate=7\n");
    medora::ReadSettings();
    medora::SetStartDate("");
    medora::SetPeriod("100");
    ASSERT_TRUE(medora::SaveSettings());

    const platform::CProfile saved(SettingsPath());
    EXPECT_EQ(saved.ReadString("URLParam", "sdate", "missing"), "");
    EXPECT_EQ(saved.ReadString("URLParam", "ldate", "missing"), "10");
    EXPECT_EQ(saved.ReadString("Site", "Server", "missing"), "127.0.0.1:9");
    EXPECT_EQ(m_medora.GetServerName(), "127.0.0.1:9");
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=&ldate=10&"));
}

TEST_F(MedoraSettings, SaveCreatesAMissingDataFolder)
{
    std::filesystem::remove_all(DataFolder());
    medora::SetStartDate("20051224");
    medora::SetPeriod("5");
    ASSERT_TRUE(medora::SaveSettings());
    m_medora.GetServerName();
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20051224&ldate=5&"));
}

} // namespace
