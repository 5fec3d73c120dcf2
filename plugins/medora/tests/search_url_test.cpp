#include "medora_test.h"

#include "platform/cp932.h"
#include "vistrel_plugin.h"

#include <gmock/gmock.h>

#include <climits>

using namespace medora_test;
using ::testing::HasSubstr;

namespace {

std::string Repeat(std::string_view unit, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text.append(unit);
    return text;
}

class KeywordEncoding : public CMedoraTest, public ::testing::WithParamInterface<CTextCase>
{
};

TEST_P(KeywordEncoding, EndsTheTargetAsTheKeyValue)
{
    EXPECT_EQ(m_medora.GetSearchUrl(GetParam().given, kTokyo),
              kTargetBeforeKey + GetParam().expected);
}

const std::string kTe = "\x83\x65"; // テ
const std::string kA254(254, 'A');

INSTANTIATE_TEST_SUITE_P(
    Medora, KeywordEncoding,
    ::testing::Values(CTextCase{"SpaceIsPlus", "AB C", "AB+C"},
                      CTextCase{"SignEscapesTheLetterAfterIt", "A&B", "A%26%42"},
                      CTextCase{"DoubleByteBothEscaped", kTe + "e", "%83%65e"},
                      CTextCase{"HalfWidthKatakanaRaw", "\xA6\xB1\xDF", "\xA6\xB1\xDF"},
                      CTextCase{"KatakanaSignEscapesNext", "\xA5\x31", "%A5%31"},
                      CTextCase{"SecondEscapeStartsNoPair", "&&A-b", "%26%26A%2D%62"},
                      CTextCase{"LettersAndDigitsRaw", "Tv09az", "Tv09az"},
                      CTextCase{"Empty", "", ""},
                      CTextCase{"CutAt255Bytes", std::string(300, 'A'), std::string(255, 'A')},
                      CTextCase{"EscapeThatWouldNotFitIsLeftOut", kA254 + "&", kA254},
                      CTextCase{"PlusFitsTheLastByte", kA254 + " ", kA254 + "+"},
                      CTextCase{"CutMayFallBetweenTheEscapesOfOneCharacter",
                                "AAAA" + Repeat(kTe, 100), "AAAA" + Repeat("%83%65", 41) + "%83"}),
    RowName<CTextCase>);

class RegionCodes : public CMedoraTest,
                    public ::testing::WithParamInterface<std::pair<int, std::string>>
{
};

TEST_P(RegionCodes, SelectArea)
{
    EXPECT_THAT(m_medora.GetSearchUrl("A", GetParam().first),
                HasSubstr("&area=" + GetParam().second + "&key=A"));
}

using Region = std::pair<int, std::string>;
INSTANTIATE_TEST_SUITE_P(Medora, RegionCodes,
                         ::testing::Values(Region{1, "001"}, Region{8, "008"}, Region{13, "013"},
                                           Region{47, "047"}, Region{0, "008"}, Region{48, "008"},
                                           Region{-1, "008"}, Region{INT_MIN, "008"},
                                           Region{INT_MAX, "008"}));

using MedoraBuffers = CMedoraTest;

TEST_F(MedoraBuffers, ShortBuffersGetTheLeadingBytes)
{
    CRawMedora raw;
    const auto getSearchUrl = raw.Get<PFN_PIN_GetSearchUrl>(VISTREL_PIN_GETSEARCHURL);
    const std::string target = kTargetBeforeKey + "A%26%42";
    for (int size = 0; size <= static_cast<int>(target.size()) + 2; ++size) {
        const std::string text = CallBounded(
            [&](char* buffer, int32_t n) { getSearchUrl(buffer, n, "A&B", kTokyo); }, size);
        EXPECT_EQ(text, target.substr(0, size));
    }
}

TEST_F(MedoraBuffers, PluginNameIsNeverCutInsideACharacter)
{
    CRawMedora raw;
    const auto getPluginName = raw.Get<PFN_PIN_GetPluginName>(VISTREL_PIN_GETPLUGINNAME);
    const std::string name = "TV\x83\x81\x83\x68\x83\x89\x81\x45\x83\x52\x83\x80"; // TVメドラ・コム
    EXPECT_EQ(m_medora.GetPluginName(), name);
    for (int size = 0; size <= 16; ++size) {
        // "TV" and then six double-byte characters: whole characters only.
        const int kept = std::min(size <= 2 ? size : 2 + (size - 2) / 2 * 2, 14);
        EXPECT_EQ(CallBounded(getPluginName, size), name.substr(0, kept)) << "size " << size;
    }
}

// Double-byte bytes can only reach the target through the settings file.
TEST_F(MedoraBuffers, SearchUrlIsNeverCutInsideACharacter)
{
    WriteSettings("[URLParam]\nsdate=" + Repeat(kTe, 4) + "\nldate=" + kTe + "\n");
    m_medora.GetServerName();
    CRawMedora raw;
    const auto getSearchUrl = raw.Get<PFN_PIN_GetSearchUrl>(VISTREL_PIN_GETSEARCHURL);
    const int length = static_cast<int>(m_medora.GetSearchUrl("x", kTokyo).size());
    for (int size = 0; size <= length; ++size) {
        const std::string text = CallBounded(
            [&](char* buffer, int32_t n) { getSearchUrl(buffer, n, "x", kTokyo); }, size);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (platform::IsLeadByte(static_cast<unsigned char>(text[i]))) {
                ASSERT_LT(++i, text.size()) << "split character at size " << size;
            }
        }
    }
}

TEST_F(MedoraBuffers, NullArgumentsAndNegativeSizesAreHarmless)
{
    CRawMedora raw;
    const auto getSearchUrl = raw.Get<PFN_PIN_GetSearchUrl>(VISTREL_PIN_GETSEARCHURL);
    const auto getServerName = raw.Get<PFN_PIN_GetServerName>(VISTREL_PIN_GETSERVERNAME);
    const auto getPluginName = raw.Get<PFN_PIN_GetPluginName>(VISTREL_PIN_GETPLUGINNAME);
    getSearchUrl(nullptr, VISTREL_PLUGIN_URL_SIZE, "A", kTokyo);
    getServerName(nullptr, VISTREL_PLUGIN_NAME_SIZE);
    getPluginName(nullptr, VISTREL_PLUGIN_NAME_SIZE);

    char url[VISTREL_PLUGIN_URL_SIZE + 1] = {};
    getSearchUrl(url, VISTREL_PLUGIN_URL_SIZE, nullptr, kTokyo);
    EXPECT_EQ(std::string(url), kTargetBeforeKey);

    std::string untouched(8, 'G');
    getSearchUrl(untouched.data(), -1, "A", kTokyo);
    getServerName(untouched.data(), INT_MIN);
    getPluginName(untouched.data(), -5);
    EXPECT_EQ(untouched, std::string(8, 'G'));
}

} // namespace
