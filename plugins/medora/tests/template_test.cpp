#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_discovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The page template as the build delivers it into the program folder.
TEST(MedoraTemplate, IsAShiftJisPageWithOneInsertionPointAndNoScripts)
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
    EXPECT_THAT(page, Not(HasSubstr("script-src")));
    EXPECT_THAT(page, Not(HasSubstr("<script")));
}

// Listings may name any address; the page's policy lets none of them be fetched.
TEST(MedoraTemplate, PolicyAllowsNoSourceOutsideThePage)
{
    const std::string page = testing_support::ReadFileBytes(MEDORA_TEMPLATE_PATH);
    const std::string start = "http-equiv=\"Content-Security-Policy\" content=\"";
    const std::size_t at = page.find(start);
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = page.find('"', at + start.size());
    std::istringstream policy(page.substr(at + start.size(), end - at - start.size()));
    const std::set<std::string> allowed = {"'none'", "'self'", "'unsafe-inline'", "data:"};
    int directives = 0;
    for (std::string directive; std::getline(policy, directive, ';'); ++directives) {
        std::istringstream words(directive);
        std::string name;
        words >> name;
        for (std::string source; words >> source;)
            EXPECT_TRUE(allowed.contains(source)) << name << " allows " << source;
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
