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

// Each row: a settings file and the "sdate" and "ldate" parameters it gives.
class SettingsFile : public CMedoraTest, public ::testing::WithParamInterface<CTextCase>
{
};

TEST_P(SettingsFile, GiveTheSearchPeriod)
{
    WriteSettings(GetParam().given);
    m_medora.GetServerName();
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Medora, SettingsFile,
    ::testing::Values(
        CTextCase{"Values", "[URLParam]\nsdate=20051224\nldate=7\n",
                  "&sort=d&sdate=20051224&ldate=7&shour="},
        CTextCase{"OverLongValuesAreCut", "[URLParam]\r\nsdate=2005122499\r\nldate=100\r\n",
                  "&sdate=20051224&ldate=10&"},
        CTextCase{"CutKeepsWholeCharacters", "[URLParam]\nsdate=1234567\x83\x65\nldate=1\x83\x65\n",
                  "&sdate=1234567&ldate=1&"},
        CTextCase{"NamesIgnoreCase", "[urlparam]\nSDATE=20260101\nLDate=14\n",
                  "&sdate=20260101&ldate=14&"},
        CTextCase{"EmptyValuesStayEmpty", "[URLParam]\nsdate=\nldate=\n", "&sdate=&ldate=&"},
        CTextCase{"OtherSectionsGiveDefaults", "[Site]\nsdate=1\nldate=2\n", "&sdate=&ldate=28&"},
        CTextCase{"EmptyFileGivesDefaults", "", "&sdate=&ldate=28&"}),
    RowName<CTextCase>);

class ServerNames : public CMedoraTest, public ::testing::WithParamInterface<CTextCase>
{
};

TEST_P(ServerNames, ComeFromTheSiteSection)
{
    WriteSettings(GetParam().given);
    EXPECT_EQ(m_medora.GetServerName(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Medora, ServerNames,
    ::testing::Values(
        CTextCase{"BuiltIn", "", medora::kDefaultServerName},
        CTextCase{"HostAndPort", "[Site]\nServer=127.0.0.1:8080\n", "127.0.0.1:8080"},
        CTextCase{"NamesIgnoreCase", "[site]\nserver=mirror.example\n", "mirror.example"},
        CTextCase{"EmptyMeansBuiltIn", "[Site]\nServer=\n", medora::kDefaultServerName},
        CTextCase{"CutToTheBuffer", "[Site]\nServer=" + std::string(300, 'h') + "\n",
                  std::string(VISTREL_PLUGIN_NAME_SIZE, 'h')}),
    RowName<CTextCase>);

struct CMarkCase
{
    const char* name;
    std::string given;
    bool marks;
};

void PrintTo(const CMarkCase& row, std::ostream* os)
{
    *os << row.name;
}

// Each row: a settings file and whether it leaves new listings marked.
class MarkSetting : public CMedoraTest, public ::testing::WithParamInterface<CMarkCase>
{
};

TEST_P(MarkSetting, TurnsMarkingOffOnlyWhenZero)
{
    WriteSettings(GetParam().given);
    medora::ReadSettings();
    EXPECT_EQ(medora::MarkNewListings(), GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(
    Medora, MarkSetting,
    ::testing::Values(CMarkCase{"NoFile", "", true},
                      CMarkCase{"Off", "[Result]\nMarkNew=0\n", false},
                      CMarkCase{"On", "[Result]\nMarkNew=1\n", true},
                      CMarkCase{"NamesIgnoreCase", "[result]\r\nmarknew=0\r\n", false},
                      CMarkCase{"EmptyMeansOn", "[Result]\nMarkNew=\n", true},
                      CMarkCase{"WordMeansOn", "[Result]\nMarkNew=off\n", true},
                      CMarkCase{"OtherSection", "[Site]\nMarkNew=0\n", true}),
    RowName<CMarkCase>);

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
    WriteSettings("[Site]\nServer=127.0.0.1:9\n[URLParam]\nsdate=1234567\x83\x65\nldate=7\n");
    medora::ReadSettings();
    EXPECT_EQ(medora::StartDate(), "1234567"); // what a dialog would show and save back
    medora::SetStartDate("");
    medora::SetPeriod("100");
    ASSERT_TRUE(medora::SaveSettings());

    const platform::Profile saved(SettingsPath());
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

// A host without a widget application (such as batch mode) gets a failure, not a crash.
TEST_F(MedoraSettings, DialogNeedsTheHostsWidgetApplication)
{
    EXPECT_TRUE(m_medora.HasSetupOption());
    EXPECT_FALSE(m_medora.SetupOption(0));
}

} // namespace
