#include "medora_test.h"

#include "platform/cp932.h"
#include "vistrel_plugin.h"

#include <gmock/gmock.h>

#include <climits>

using namespace medora_test;
using ::testing::HasSubstr;

namespace {

struct KeywordCase
{
    const char* name;
    std::string keyword;
    std::string key;
};

std::string Repeat(std::string_view unit, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text.append(unit);
    return text;
}

void PrintTo(const KeywordCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeywordEncoding : public CMedoraTest, public ::testing::WithParamInterface<KeywordCase>
{
};

TEST_P(KeywordEncoding, EndsTheTargetAsTheKeyValue)
{
    EXPECT_EQ(m_medora.GetSearchUrl(GetParam().keyword, kTokyo), kTargetBeforeKey + GetParam().key);
}

const std::string kTe = "\x83\x65"; // テ
const std::string kA254(254, 'A');

INSTANTIATE_TEST_SUITE_P(
    Medora, KeywordEncoding,
    ::testing::Values(KeywordCase{"SpaceIsPlus", "AB C", "AB+C"},
                      KeywordCase{"SignEscapesTheLetterAfterIt", "A&B", "A%26%42"},
                      KeywordCase{"DoubleByteBothEscaped", kTe + "e", "%83%65e"},
                      KeywordCase{"HalfWidthKatakanaRaw", "\xA6\xB1\xDF", "\xA6\xB1\xDF"},
                      KeywordCase{"KatakanaSignEscapesNext",
                                  "\xA5"
                                  "1",
                                  "%A5%31"},
                      KeywordCase{"SecondEscapeStartsNoPair", "&&A-b", "%26%26A%2D%62"},
                      KeywordCase{"LettersAndDigitsRaw", "Tv09az", "Tv09az"},
                      KeywordCase{"Empty", "", ""},
                      KeywordCase{"CutAt255Bytes", std::string(300, 'A'), std::string(255, 'A')},
                      KeywordCase{"EscapeThatWouldNotFitIsLeftOut", kA254 + "&", kA254},
                      KeywordCase{"PlusFitsTheLastByte", kA254 + " ", kA254 + "+"},
                      KeywordCase{"CutMayFallBetweenTheEscapesOfOneCharacter",
                                  "AAAA" + Repeat(kTe, 100),
                                  "AAAA" + Repeat("%83%65", 41) + "%83"}),
    [](const auto& info) { return std::string(info.param.name); });

class RegionCodes : public CMedoraTest,
                    public ::testing::WithParamInterface<std::pair<int, const char*>>
{
};

TEST_P(RegionCodes, SelectArea)
{
    EXPECT_THAT(m_medora.GetSearchUrl("A", GetParam().first),
                HasSubstr(std::string("&area=") + GetParam().second + "&key=A"));
}

INSTANTIATE_TEST_SUITE_P(Medora, RegionCodes,
                         ::testing::Values(std::pair{1, "001"}, std::pair{8, "008"},
                                           std::pair{13, "013"}, std::pair{47, "047"},
                                           std::pair{0, "008"}, std::pair{48, "008"},
                                           std::pair{-1, "008"}, std::pair{INT_MIN, "008"},
                                           std::pair{INT_MAX, "008"}),
                         [](const auto& info) {
                             const int region = info.param.first;
                             return (region < 0 ? "Minus" : "") +
                                    std::to_string(region < 0 ? -(region + 1) + 1u : region);
                         });

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
