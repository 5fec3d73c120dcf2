// What a notification of news says, without a bus.
#include "app/batch/notice_text.h"

#include <gtest/gtest.h>

namespace batch_test {
namespace {

struct NoticeCase
{
    std::vector<batch::KeywordNews> news;
    bool markup;
    std::string summary, body;
};

class NoticeTextTest : public ::testing::TestWithParam<NoticeCase>
{
};

TEST_P(NoticeTextTest, SaysTheTotalAndEachKeywordOnALineOfItsOwn)
{
    const batch::NoticeText text = batch::ComposeNotice(GetParam().news, GetParam().markup);
    EXPECT_EQ(text.summary, GetParam().summary);
    EXPECT_EQ(text.body, GetParam().body);
}

const std::vector<batch::KeywordNews> kSix{{"a", 1}, {"b", 2}, {"c", 3},
                                           {"d", 4}, {"e", 5}, {"f", 6}};

INSTANTIATE_TEST_SUITE_P(
    Cases, NoticeTextTest,
    ::testing::Values(
        NoticeCase{{{"大河ドラマ", 3}, {"ニュース", 2}},
                   false,
                   "Vistrel: 新着 5 件",
                   "大河ドラマ 3 件\nニュース 2 件"},
        // Five fit; the sixth and on are only counted, in the total as well.
        NoticeCase{{kSix.begin(), kSix.end() - 1},
                   false,
                   "Vistrel: 新着 15 件",
                   "a 1 件\nb 2 件\nc 3 件\nd 4 件\ne 5 件"},
        NoticeCase{kSix, false, "Vistrel: 新着 21 件",
                   "a 1 件\nb 2 件\nc 3 件\nd 4 件\ne 5 件\nほか 1 キーワード"},
        // Keywords without news are neither lines nor counted among the others.
        NoticeCase{{{"a", 0}, {"b", 2}, {"c", -1}}, false, "Vistrel: 新着 2 件", "b 2 件"},
        NoticeCase{{{"a", 1}, {"b", 0}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}, {"g", 0}},
                   false,
                   "Vistrel: 新着 5 件",
                   "a 1 件\nc 1 件\nd 1 件\ne 1 件\nf 1 件"},
        // Large counts add up without overflowing.
        NoticeCase{{{"a", 2147483647}, {"b", 2147483647}},
                   false,
                   "Vistrel: 新着 4294967294 件",
                   "a 2147483647 件\nb 2147483647 件"},
        // A keyword stays on its one line, and is text where the server reads markup.
        NoticeCase{{{"a\nb\tc\rd", 1}}, false, "Vistrel: 新着 1 件", "a b c d 1 件"},
        NoticeCase{
            {{"<b>R&B</b>", 1}}, true, "Vistrel: 新着 1 件", "&lt;b&gt;R&amp;B&lt;/b&gt; 1 件"},
        NoticeCase{{{"<b>R&B</b>", 1}}, false, "Vistrel: 新着 1 件", "<b>R&B</b> 1 件"}));

struct NewsCase
{
    std::vector<batch::KeywordNews> news;
    bool any;
};

class HasNewsTest : public ::testing::TestWithParam<NewsCase>
{
};

TEST_P(HasNewsTest, OnlyAPositiveCountIsNews)
{
    EXPECT_EQ(batch::HasNews(GetParam().news), GetParam().any);
}

INSTANTIATE_TEST_SUITE_P(Cases, HasNewsTest,
                         ::testing::Values(NewsCase{{}, false}, NewsCase{{{"a", 0}}, false},
                                           NewsCase{{{"a", -3}, {"b", 0}}, false},
                                           NewsCase{{{"a", 0}, {"b", 1}}, true}));

} // namespace
} // namespace batch_test
