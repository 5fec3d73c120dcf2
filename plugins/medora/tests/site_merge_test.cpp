// medora against the sample listing site: its search addresses reach the site, and the pages
// the site answers, with LF or CR LF line ends, merge into the delivered template.
#include "medora_test.h"

#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"
#include "plugins/medora/earlier_page.h"
#include "tools/listing_site/listing_server.h"

#include <httplib.h>

#include <gmock/gmock.h>

#include <set>

using namespace medora_test;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::ReadFileBytes;

namespace {

class MedoraWithSite : public CMedoraTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate(ReadFileBytes(MEDORA_TEMPLATE_PATH));
    }

    testing_support::CTempDir m_dir;
};

TEST_P(MedoraWithSite, MergesTheSitesListingsInKeywordOrder)
{
    listing_site::CSiteOptions options;
    options.crlf = GetParam();
    listing_site::CListingServer site(options);
    const int port = site.Start();
    ASSERT_GT(port, 0);
    const std::string server = "127.0.0.1:" + std::to_string(port);
    WriteSettings("[Site]\nServer=" + server + "\n");
    ASSERT_EQ(m_medora.GetServerName(), server);

    // "ドラマ" and "ニュース" in code page 932; the generated guide has both every day.
    const std::vector<std::string> keywords = {platform::Utf8ToCp932("ドラマ").value,
                                               platform::Utf8ToCp932("ニュース").value};
    httplib::Client client("127.0.0.1", port);
    std::vector<std::string> pages;
    for (const std::string& keyword : keywords) {
        const auto answer = client.Get(m_medora.GetSearchUrl(keyword, 13));
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200);
        pages.push_back(m_dir.File("~TV" + std::to_string(pages.size())));
        testing_support::WriteFileBytes(pages.back(), answer->body);
    }
    ASSERT_TRUE(m_medora.MergeDownloadFiles(m_dir.File("result.html"), pages));

    const std::string result = platform::Cp932ToUtf8(ReadFileBytes(m_dir.File("result.html")));
    const auto drama = result.find("「ドラマ」の検索結果");
    const auto news = result.find("「ニュース」の検索結果");
    ASSERT_NE(drama, std::string::npos) << result;
    ASSERT_NE(news, std::string::npos);
    EXPECT_LT(drama, news);
    EXPECT_THAT(result, HasSubstr("<table class=\"program-list\">"));
    EXPECT_THAT(result, HasSubstr("TVメドラ・コム")) << "the template's own text";
    EXPECT_THAT(result, Not(HasSubstr("<HR NOSHADE>")));
    EXPECT_THAT(result, Not(HasSubstr("カテゴリ変更")));
    EXPECT_THAT(result, Not(HasSubstr("<!-- template replace -->")));
    EXPECT_THAT(result, Not(HasSubstr("\r\r\n")));
}

// A merged page holds exactly the listings of the pages merged, each once, whatever else the
// site's pages and the template (its script among it) hold.
TEST_P(MedoraWithSite, MergedPageHoldsTheListingsOfThePagesMerged)
{
    listing_site::CSiteOptions options;
    options.crlf = GetParam();
    listing_site::CListingServer site(options);
    const int port = site.Start();
    ASSERT_GT(port, 0);
    WriteSettings("[Site]\nServer=127.0.0.1:" + std::to_string(port) + "\n");
    ASSERT_FALSE(m_medora.GetServerName().empty());

    httplib::Client client("127.0.0.1", port);
    std::vector<std::string> pages;
    std::set<std::string> listed;
    for (const char* keyword : {"ドラマ", "ニュース", "映画"}) {
        const auto answer =
            client.Get(m_medora.GetSearchUrl(platform::Utf8ToCp932(keyword).value, 13));
        ASSERT_TRUE(answer);
        const medora::ListingScan scan = medora::ScanListings(answer->body);
        ASSERT_EQ(scan.fault, medora::ScanFault::none) << keyword;
        listed.insert(scan.identities.begin(), scan.identities.end());
        pages.push_back(m_dir.File("~TV" + std::to_string(pages.size())));
        testing_support::WriteFileBytes(pages.back(), answer->body);
    }
    ASSERT_TRUE(m_medora.MergeDownloadFiles(m_dir.File("result.html"), pages));

    const medora::ListingScan merged = medora::ReadListingIdentities(m_dir.File("result.html"));
    ASSERT_EQ(merged.fault, medora::ScanFault::none);
    EXPECT_EQ(std::set<std::string>(merged.identities.begin(), merged.identities.end()), listed);
    std::size_t dateCells = 0;
    const std::string result = ReadFileBytes(m_dir.File("result.html"));
    for (auto at = result.find("<td class=\"date\">"); at != std::string::npos;
         at = result.find("<td class=\"date\">", at + 1))
        ++dateCells;
    EXPECT_GT(dateCells, 0U);
    EXPECT_EQ(merged.identities.size(), dateCells);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, MedoraWithSite, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CrLf" : "Lf"; });

} // namespace
