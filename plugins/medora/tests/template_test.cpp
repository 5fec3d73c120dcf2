#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_discovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::size_t CountOf(std::string_view text, std::string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size()))
        ++count;
    return count;
}

// The page's policy, as the page states it.
std::string PolicyOf(const std::string& page)
{
    const std::string start = "http-equiv=\"Content-Security-Policy\" content=\"";
    const std::size_t at = page.find(start);
    if (at == std::string::npos)
        return {};
    const std::size_t end = page.find('"', at + start.size());
    return page.substr(at + start.size(), end - at - start.size());
}

// A policy's hash source for a script: the browser hashes the script's text as it decoded it
// from the page's code page, in UTF-8, with the line ends the parser made of CR LF.
std::string PolicyHashOf(std::string_view cp932Script)
{
    std::string text = platform::Cp932ToUtf8(cp932Script);
    std::erase(text, '\r');
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
    std::string base64(4 * ((length + 2) / 3) + 1, '\0');
    base64.resize(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()), digest,
                                  static_cast<int>(length)));
    return "'sha256-" + base64 + "'";
}

// The page template as the build delivers it into the program folder.
TEST(MedoraTemplate, IsAShiftJisPageWithOneInsertionPointAndOneScript)
{
    const std::string page = testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH);
    const std::string text = platform::Cp932ToUtf8(page);
    EXPECT_THAT(text, Not(HasSubstr("\xEF\xBF\xBD"))) << "bytes that are not code page 932";
    EXPECT_THAT(text, HasSubstr("TVメドラ・コム"));

    std::istringstream lines(page);
    int markers = 0;
    for (std::string line; std::getline(lines, line);)
        markers += line == "<!-- template replace -->" || line == "<!-- template replace -->\r";
    EXPECT_EQ(markers, 1);

    EXPECT_THAT(page, HasSubstr("<meta charset=\"Shift_JIS\">"));
    EXPECT_THAT(page, HasSubstr("http-equiv=\"Content-Security-Policy\" content=\"default-src "
                                "'none';"));
    EXPECT_EQ(CountOf(page, "<script"), 1U);
    EXPECT_EQ(CountOf(page, "</script>"), 1U);
}

// The page's one script runs only because the policy names its hash; any change to the script
// must come with the new hash, or the page silently loses its summary.
TEST(MedoraTemplate, PolicyAllowsItsScriptByTheScriptsHashOnly)
{
    const std::string page = testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH);
    const std::size_t open = page.find("<script>");
    const std::size_t close = page.find("</script>");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    const std::string script = page.substr(open + 8, close - open - 8);
    const std::string hash = PolicyHashOf(script);

    const std::string policy = PolicyOf(page);
    std::smatch scriptSources;
    ASSERT_TRUE(std::regex_search(policy, scriptSources, std::regex("script-src ([^;]*)")))
        << policy;
    EXPECT_EQ(scriptSources[1].str(), hash) << "set the template's script-src to " << hash;
}

// Listings may name any address; the page's policy lets none of them be fetched.
TEST(MedoraTemplate, PolicyAllowsNoSourceOutsideThePage)
{
    std::istringstream policy(PolicyOf(testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH)));
    const std::set<std::string> allowed = {"'none'", "'self'", "'unsafe-inline'", "data:"};
    int directives = 0;
    for (std::string directive; std::getline(policy, directive, ';'); ++directives) {
        std::istringstream words(directive);
        std::string name;
        words >> name;
        for (std::string source; words >> source;) {
            // Scripts only by hash: inline handlers and scripts a listing brings stay refused.
            const bool allow =
                name == "script-src" ? source.starts_with("'sha256-") : allowed.contains(source);
            EXPECT_TRUE(allow) << name << " allows " << source;
        }
    }
    EXPECT_GE(directives, 5);
}

// The program's own discovery finds the built plug-in in the program folder's Plugin folder.
TEST(MedoraBuild, IsDiscoveredInTheProgramsPluginFolder)
{
    const std::string folder =
        std::filesystem::path(MEDORA_MODULE_PATH).parent_path().string() + "/";
    CPluginList plugins;
    DiscoverPlugins(folder, plugins);
    const auto found = std::find_if(plugins.begin(), plugins.end(),
                                    [](const auto& m) { return m->GetFileTitle() == "medora"; });
    ASSERT_NE(found, plugins.end());
    EXPECT_EQ(platform::Cp932ToUtf8((*found)->GetPluginName()), "TVメドラ・コム");
}

} // namespace
