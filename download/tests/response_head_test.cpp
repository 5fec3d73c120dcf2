#include "download/response_head.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using download::AnswerFault;

struct HeadCase
{
    const char* name;
    std::vector<std::string> lines; // each gets CR LF
    bool complete;
    AnswerFault fault;
    std::optional<std::uint64_t> length;
    std::string encoding;
};

void PrintTo(const HeadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResponseHeadTest : public ::testing::TestWithParam<HeadCase>
{
};

TEST_P(ResponseHeadTest, SaysWhatTheFinalHeadSays)
{
    download::ResponseHead head;
    for (const std::string& line : GetParam().lines)
        head.AddLine(line + "\r\n");
    EXPECT_EQ(head.IsComplete(), GetParam().complete);
    EXPECT_EQ(head.GetFault(), GetParam().fault);
    EXPECT_EQ(head.GetContentLength(), GetParam().length);
    EXPECT_EQ(head.GetEncoding(), GetParam().encoding);
}

const std::string kLongCoding(100, 'z');

INSTANTIATE_TEST_SUITE_P(
    Heads, ResponseHeadTest,
    ::testing::Values(
        HeadCase{"AnInterimAnswerIsForgotten",
                 {"HTTP/1.1 100 Continue", "Content-Length: 5", "Content-Encoding: gzip", "",
                  "HTTP/1.1 200 OK", "content-length:7", ""},
                 true,
                 AnswerFault::None,
                 7,
                 ""},
        HeadCase{"TheFirstFaultStands",
                 {"HTTP/1.0 200 OK", "Content-Length: 1", "Content-Length: 2",
                  "Content-Encoding: gzip", ""},
                 true,
                 AnswerFault::LengthConflict,
                 1,
                 ""},
        HeadCase{"ALengthPastEveryNumber",
                 {"HTTP/1.0 200 OK", "Content-Length: 18446744073709551616", ""},
                 true,
                 AnswerFault::LengthInvalid,
                 std::nullopt,
                 ""},
        HeadCase{"ALengthListOfNothing",
                 {"HTTP/1.0 200 OK", "Content-Length: , ,", ""},
                 true,
                 AnswerFault::LengthInvalid,
                 std::nullopt,
                 ""},
        HeadCase{"ASignedLength",
                 {"HTTP/1.0 200 OK", "Content-Length: +5", ""},
                 true,
                 AnswerFault::LengthInvalid,
                 std::nullopt,
                 ""},
        // The coding goes into a message for the user: no control or foreign bytes, not long.
        HeadCase{"AHostileCoding",
                 {"HTTP/1.0 200 OK", "Content-Encoding: x-\x1b[2J\xff br", ""},
                 true,
                 AnswerFault::Encoded,
                 std::nullopt,
                 "x-?[2J??br"},
        HeadCase{"ALongCoding",
                 {"HTTP/1.0 200 OK", "Content-Encoding: " + kLongCoding, ""},
                 true,
                 AnswerFault::Encoded,
                 std::nullopt,
                 kLongCoding.substr(0, 32)},
        HeadCase{"EmptyCodingsAndIdentity",
                 {"HTTP/1.0 200 OK", "Content-Encoding:", "Content-Encoding: identity, ,", ""},
                 true,
                 AnswerFault::None,
                 std::nullopt,
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
