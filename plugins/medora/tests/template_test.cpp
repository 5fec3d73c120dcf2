#include "platform/cp932.h"
#include "platform/tests/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

} // namespace
