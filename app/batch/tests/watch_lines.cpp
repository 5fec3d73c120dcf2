#include "watch_lines.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>

namespace batch_test {
namespace {

constexpr std::size_t kNamedKeywords = 5; // the notification's body names no more

int Number(const std::string& field)
{
    const bool digits = !field.empty() && std::all_of(field.begin(), field.end(), ::isdigit);
    EXPECT_TRUE(digits) << field;
    return digits ? std::stoi(field) : -1;
}

} // namespace

int ExitCode(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields{""};
    for (const char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

std::vector<Counted> CountedLines(const std::vector<std::string>& lines)
{
    std::vector<Counted> counted;
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = SplitFields(line);
        EXPECT_EQ(fields.size(), 4u) << line;
        EXPECT_EQ(fields[0], "OK") << line;
        if (fields.size() == 4)
            counted.push_back(
                {fields[1], Number(fields[2]), fields[3] == "-" ? -1 : Number(fields[3])});
    }
    return counted;
}

int TotalNew(const std::vector<Counted>& counted)
{
    int total = 0;
    for (const Counted& c : counted)
        total += std::max(c.fresh, 0);
    return total;
}

NotifyBusTest::Fields NotifyCall(const std::vector<Counted>& counted, bool actions)
{
    std::vector<std::string> named;
    for (const Counted& c : counted) {
        if (c.fresh > 0)
            named.push_back(c.keyword + " " + std::to_string(c.fresh) + " 件");
    }
    std::string body;
    for (std::size_t i = 0; i < std::min(named.size(), kNamedKeywords); ++i)
        body += (i ? "\n" : "") + named[i];
    if (named.size() > kNamedKeywords)
        body += "\nほか " + std::to_string(named.size() - kNamedKeywords) + " キーワード";
    return {"Notify",
            "Vistrel",
            "0",
            "vistrel",
            "Vistrel: 新着 " + std::to_string(TotalNew(counted)) + " 件",
            body,
            actions ? "default|結果ページを開く" : "",
            "desktop-entry=vistrel",
            "-1"};
}

void ExpectPageAgrees(const std::string& path, const std::vector<Counted>& counted)
{
    const std::string page = platform::Cp932ToUtf8(testing_support::ReadFileBytes(path));
    std::size_t marked = 0;
    for (std::size_t at = 0;
         (at = page.find("<tr class=\"new-listing\">", at)) != std::string::npos; ++at)
        ++marked;
    EXPECT_EQ(marked, static_cast<std::size_t>(TotalNew(counted))) << path;
    std::vector<std::string> said, expected;
    const std::string opening = "<p class=\"new-count\">";
    for (std::size_t at = 0; (at = page.find(opening, at)) != std::string::npos; ++at)
        said.push_back(
            page.substr(at + opening.size(), page.find('<', at + 1) - at - opening.size()));
    for (const Counted& c : counted) {
        if (c.fresh > 0)
            expected.push_back("新着 " + std::to_string(c.fresh) + " 件");
    }
    EXPECT_EQ(said, expected) << path;
}

} // namespace batch_test
