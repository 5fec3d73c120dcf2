// PIN_GetListingCounts as the program calls it, and with the arguments it must survive.
#include "medora_test.h"

#include "platform/tests/temp_dir.h"
#include "vistrel_plugin.h"

#include <filesystem>
#include <vector>

using namespace medora_test;
using testing_support::WriteFileBytes;

namespace {

constexpr std::int32_t kUntouched = 777;
const std::string kRowA = "<tr><td>12/09</td><td>A</td></tr>\n";
const std::string kRowB = "<tr><td>12/09</td><td>B</td></tr>\n";

class ListingCounts : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        WriteTemplate("<html>\n<!-- template replace -->\n</html>\n");
        m_pages = {m_dir.File("~TV0"), m_dir.File("~TV1"), m_dir.File("~TV2")};
        WriteFileBytes(m_pages[0], Listing("<table>\n" + kRowA + kRowB + "</table>\n"));
        WriteFileBytes(m_pages[1], Listing("<table>\n" + kRowA + "</table>\n"));
        WriteFileBytes(m_pages[2], "no listing here\n");
        WriteFileBytes(m_dir.File("list_20261208_medora.html"), "<table>" + kRowA + "</table>");
    }

    std::string Output() const { return m_dir.File("list_20261209_medora.html"); }
    bool Merge() const { return m_medora.MergeDownloadFiles(Output(), m_pages); }

    // The answer for path, with the pairs written into a buffer of 8 elements.
    std::int32_t Counts(const char* path, std::int32_t size, std::vector<std::int32_t>& buffer,
                        bool nullBuffer = false) const
    {
        buffer.assign(8, kUntouched);
        return m_getCounts(path, nullBuffer ? nullptr : buffer.data(), size);
    }

    CRawMedora m_raw;
    PFN_PIN_GetListingCounts m_getCounts =
        m_raw.Get<PFN_PIN_GetListingCounts>(VISTREL_PIN_GETLISTINGCOUNTS);
    testing_support::CTempDir m_dir;
    std::vector<std::string> m_pages;
};

struct CountsCase
{
    const char* name;
    std::int32_t size;
    std::int32_t pages;               // what the call returns
    std::vector<std::int32_t> buffer; // the buffer after it
    bool nullBuffer = false;
    const char* path = "merged"; // "merged", "null" or another file's name
};

void PrintTo(const CountsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListingCountsCall : public ListingCounts, public ::testing::WithParamInterface<CountsCase>
{
};

TEST_P(ListingCountsCall, WritesWholePairsWithinTheBuffer)
{
    ASSERT_TRUE(Merge());
    const CountsCase& c = GetParam();
    const std::string path = c.path == std::string("merged") ? Output() : m_dir.File(c.path);
    std::vector<std::int32_t> buffer;
    const char* asked = c.path == std::string("null") ? nullptr : path.c_str();
    EXPECT_EQ(Counts(asked, c.size, buffer, c.nullBuffer), c.pages);
    EXPECT_EQ(buffer, c.buffer);
}

constexpr std::int32_t U = kUntouched;

INSTANTIATE_TEST_SUITE_P(
    Calls, ListingCountsCall,
    ::testing::Values(
        CountsCase{"EveryPage", 6, 3, {2, 1, 1, 0, 0, 0, U, U}},
        CountsCase{"RoomToSpare", 8, 3, {2, 1, 1, 0, 0, 0, U, U}},
        CountsCase{"ZeroSize", 0, 3, {U, U, U, U, U, U, U, U}},
        CountsCase{"NegativeSize", -4, 3, {U, U, U, U, U, U, U, U}},
        CountsCase{"OddSize", 5, 3, {2, 1, 1, 0, U, U, U, U}},
        CountsCase{"FewerPairsThanPages", 2, 3, {2, 1, U, U, U, U, U, U}},
        CountsCase{"OneElement", 1, 3, {U, U, U, U, U, U, U, U}},
        CountsCase{"NullBufferWithoutSize", 0, 3, {U, U, U, U, U, U, U, U}, true},
        CountsCase{"NullBufferWithSize", 2, -1, {U, U, U, U, U, U, U, U}, true},
        CountsCase{"NullPath", 6, -1, {U, U, U, U, U, U, U, U}, false, "null"},
        CountsCase{"UnknownPath", 6, -1, {U, U, U, U, U, U, U, U}, false, "other.html"},
        // The earlier page is another path: its merge, if any, was not this library's.
        CountsCase{"EarlierPagesPath",
                   6,
                   -1,
                   {U, U, U, U, U, U, U, U},
                   false,
                   "list_20261208_medora.html"}),
    RowName<CountsCase>);

TEST_F(ListingCounts, NoneBeforeAMerge)
{
    std::vector<std::int32_t> buffer;
    EXPECT_EQ(Counts(Output().c_str(), 8, buffer), -1);
}

TEST_F(ListingCounts, AFailedMergeDropsTheCounts)
{
    ASSERT_TRUE(Merge());
    std::filesystem::remove(TemplatePath());
    ASSERT_FALSE(Merge());
    std::vector<std::int32_t> buffer;
    EXPECT_EQ(Counts(Output().c_str(), 8, buffer), -1);
}

TEST_F(ListingCounts, NotComparedWhenMarkingIsOff)
{
    WriteSettings("[Result]\nMarkNew=0\n");
    m_medora.GetServerName(); // a run begins so, and medora reads its settings then
    ASSERT_TRUE(Merge());
    std::vector<std::int32_t> buffer;
    EXPECT_EQ(Counts(Output().c_str(), 8, buffer), 3);
    EXPECT_EQ(buffer, (std::vector<std::int32_t>{2, -1, 1, -1, 0, -1, U, U}));
}

TEST_F(ListingCounts, ALaterMergeOfThePathReplacesTheCounts)
{
    ASSERT_TRUE(Merge());
    // The same day again: the page just written is the earlier one now.
    m_pages.pop_back();
    ASSERT_TRUE(Merge());
    std::vector<std::int32_t> buffer;
    EXPECT_EQ(Counts(Output().c_str(), 8, buffer), 2);
    EXPECT_EQ(buffer, (std::vector<std::int32_t>{2, 0, 1, 0, U, U, U, U}));
}

} // namespace

namespace {

// A zero byte in a downloaded page's listing: the page is still written, but its rows cannot
// be read as listings, so there are no counts to trust, and standard error says why.
TEST_F(ListingCounts, NoneWhenAPagesRowsCannotBeRead)
{
    WriteFileBytes(m_pages[2], Listing(std::string("<table><tr><td>\0</td></tr></table>\n", 35)));
    ::testing::internal::CaptureStderr();
    const bool merged = Merge();
    const std::string logged = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(merged);
    std::vector<std::int32_t> buffer;
    EXPECT_EQ(Counts(Output().c_str(), 8, buffer), -1);
    // "番組を数えられません（ページが壊れています）: " and the page's path.
    EXPECT_EQ(logged, "medora: \xE7\x95\xAA\xE7\xB5\x84\xE3\x82\x92\xE6\x95\xB0\xE3\x81\x88"
                      "\xE3\x82\x89\xE3\x82\x8C\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xEF\xBC\x88"
                      "\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8\xE3\x81\x8C\xE5\xA3\x8A\xE3\x82\x8C"
                      "\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3\x81\x99\xEF\xBC\x89: " +
                          Output() + "\n");
}

} // namespace
