// Load: ten thousand keywords over ten connections against the sample site, twice in one
// process; every job succeeds and each run gives back every file descriptor and thread.
#include "batch_fixture.h"

#include "app/batch/batch_run.h"
#include "platform/program_folder.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

namespace batch_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::size_t CountEntries(const char* folder)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

struct CResources
{
    std::size_t fds, threads;
    bool operator==(const CResources&) const = default;
};

CResources Resources()
{
    return {CountEntries("/proc/self/fd"), CountEntries("/proc/self/task")};
}

// The site starts its pool of threads, and closes its end of the last connections, a moment
// later than it says.
CResources SteadyResources()
{
    CResources last = Resources();
    for (int same = 0, tries = 0; same < 5 && tries < 200; ++tries) {
        std::this_thread::sleep_for(20ms);
        const CResources now = Resources();
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

CResources SettledResources(const CResources& expected)
{
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    CResources now = Resources();
    while (now != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        now = Resources();
    }
    return now;
}

TEST_F(CBatchTest, TenThousandKeywordsOverTenConnectionsTwiceLeaveNothingOpen)
{
    constexpr int kKeywords = 10000;
    StartSite();
    // One day per search keeps the site's work small: the load is on the program.
    const std::string medoraIni = platform::ProgramFolder() + "Plugin/medora/medora.ini";
    testing_support::WriteFileBytes(medoraIni, testing_support::ReadFileBytes(medoraIni) +
                                                   "[URLParam]\nldate=1\n");
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 10));
    std::vector<std::string> keywords;
    keywords.reserve(kKeywords);
    for (int i = 0; i < kKeywords; ++i) // mostly empty listings, now and then a full one
        keywords.push_back(i % 1000 == 0 ? "ドラマ" : "番組" + std::to_string(i));
    const std::string file = WriteKeywords(keywords);
    const std::string bytes = testing_support::ReadFileBytes(file);
    const CResources before = SteadyResources();

    for (int pass = 1; pass <= 2; ++pass) {
        SCOPED_TRACE("pass " + std::to_string(pass));
        const auto started = std::chrono::steady_clock::now();
        const COutcome run = Run({"--search", file, "--area", "13"});
        const auto took = std::chrono::steady_clock::now() - started;
        ASSERT_EQ(run.code, batch::kExitMerged) << run.err.substr(0, 2000);
        ASSERT_EQ(run.lines.size(), kKeywords + 1u);
        // medora counts: the lines wait for the page and come in keyword order; the second
        // pass compares with the first page, which holds the same listings.
        const std::string fresh = pass == 1 ? "\t-" : "\t0";
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < keywords.size(); ++i) {
            const std::string& line = run.lines[i];
            if (!line.starts_with("OK\t" + keywords[i] + "\t") || !line.ends_with(fresh))
                ++wrong;
        }
        EXPECT_EQ(wrong, 0u) << "every job OK, each printed once, in order";
        EXPECT_THAT(run.err, ::testing::HasSubstr("10000/10000 件終了"));
        EXPECT_TRUE(fs::exists(run.lines.back()));
        EXPECT_TRUE(TvFiles().empty());
        EXPECT_FALSE(fs::exists(m_work.File("error.log")));
        EXPECT_EQ(testing_support::ReadFileBytes(file), bytes);
        EXPECT_EQ(m_site->GetRequests().size(), static_cast<std::size_t>(pass * kKeywords));

        const CResources after = SettledResources(before);
        EXPECT_EQ(after.fds, before.fds) << "file descriptors left open";
        EXPECT_EQ(after.threads, before.threads) << "threads left running";
        std::cout << "pass " << pass << ": "
                  << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
    }
}

} // namespace
} // namespace batch_test
