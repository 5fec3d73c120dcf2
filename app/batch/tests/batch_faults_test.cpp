// Faults met while a batch run downloads and merges, and the test every fault row runs.
#include "batch_faults.h"
#include "site_probe.h"

#include "app/batch/batch_run.h"
#include "platform/program_folder.h"
#include "platform/tests/child_process.h"
#include "platform/tests/unprivileged.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <sstream>

namespace batch_test {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using namespace std::string_literals;

void PrintTo(const CFaultCase& row, std::ostream* os)
{
    *os << row.name;
}

constexpr char kField = '\x1F';

std::string BatchFault::RunToText(const std::vector<std::string>& args)
{
    const COutcome run = Run(args);
    return std::to_string(run.code.value_or(-1)) + kField + run.out + kField + run.err;
}

CBatchTest::COutcome BatchFault::FromText(const std::optional<std::string>& text)
{
    COutcome outcome;
    if (!text)
        return outcome; // no code: the child died or could not be set up
    const std::size_t first = text->find(kField), second = text->find(kField, first + 1);
    outcome.code = std::stoi(text->substr(0, first));
    outcome.out = text->substr(first + 1, second - first - 1);
    outcome.err = text->substr(second + 1);
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);)
        outcome.lines.push_back(line);
    return outcome;
}

CBatchTest::COutcome BatchFault::RunCase(How how, const std::vector<std::string>& args)
{
    if (how == How::InProcess)
        return Run(args);
    if (how == How::ResultFileLimit) {
        // The pages are each smaller than half the merged page: only the merge meets the limit.
        COutcome whole = Run(args);
        EXPECT_EQ(whole.code, batch::kExitMerged) << whole.err;
        if (whole.code != batch::kExitMerged)
            return whole;
        const std::uintmax_t size = fs::file_size(whole.lines.back());
        fs::remove(whole.lines.back());
        return FromText(
            testing_support::RunWithFileSizeLimit([&] { return RunToText(args); }, size / 2));
    }
    // The folders the run writes in must be open to the unprivileged user; so must the program
    // folder, or the program would take itself for installed and use that user's own folders.
    for (const std::string& folder : {m_tmp.Path(), m_work.Path(), m_program.Path()})
        fs::permissions(folder, fs::perms::all);
    if (fs::exists(m_config.GetPath()))
        fs::permissions(m_config.GetPath(), fs::perms::all);
    return FromText(testing_support::RunUnprivileged([&] { return RunToText(args); }));
}

namespace {

// The result pages in the cache folder.
std::vector<std::string> HtmlFiles(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".html")
            files.push_back(entry.path().string());
    }
    return files;
}

} // namespace

TEST_P(BatchFault, EndsClearlyAndLeavesNothingBehind)
{
    const CFaultCase& row = GetParam();
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer cannot follow a fork of a process whose threads already run.
    if (row.how != How::InProcess)
        GTEST_SKIP() << "runs in a forked child";
#endif
    listing_site::CSiteOptions options;
    std::string keywordBytes, fileName = "watch.txt";
    std::optional<std::string> server;
    for (const std::string& line : row.keywords)
        keywordBytes += Cp932(line) + "\r\n";
    const std::string cacheFolder = ProgramFolder() + "Cache";
    CFaultSetup setup{options, m_config,      keywordBytes, fileName,
                      server,  m_work.Path(), cacheFolder};
    ASSERT_TRUE(m_config.WriteInt(config::Key::ConnectNum, 3));
    if (row.setup)
        row.setup(setup);
    if (row.how == How::InProcess)
        StartSite(options);
    else
        StartSiteInChild(options);
    if (server)
        PointMedoraAt(*server);
    const std::string file = m_work.File(fileName);
    testing_support::WriteFileBytes(file, keywordBytes);

    const COutcome run =
        RunCase(row.how, {"--search", file, "--area", "東京", "--plugin", "medora"});

    ASSERT_EQ(run.code, row.exitCode) << run.err << run.out.substr(0, 2000);
    std::vector<std::string> jobLines = run.lines;
    if (row.exitCode == batch::kExitMerged || row.exitCode == batch::kExitPartial) {
        ASSERT_FALSE(jobLines.empty());
        EXPECT_THAT(jobLines.back(), ::testing::MatchesRegex(".*_東京_[0-9]{8}_medora\\.html"));
        EXPECT_TRUE(fs::exists(jobLines.back())) << jobLines.back();
        jobLines.pop_back();
    } else if (std::ranges::none_of(jobLines, [](const auto& l) { return l.starts_with("OK"); })) {
        EXPECT_THAT(HtmlFiles(cacheFolder), IsEmpty()) << "a page made of no page";
    }
    std::vector<::testing::Matcher<std::string>> expected;
    for (const std::string& prefix : row.jobLines)
        expected.push_back(StartsWith(prefix));
    EXPECT_THAT(jobLines, ::testing::UnorderedElementsAreArray(expected)) << run.err;
    EXPECT_THAT(run.err, HasSubstr(row.errText));
    EXPECT_EQ(testing_support::ReadFileBytes(file), keywordBytes) << "the keyword file changed";
    EXPECT_THAT(TvFiles(), IsEmpty());
    if (!row.downloads && m_site) {
        EXPECT_THAT(m_site->GetRequests(), IsEmpty());
    }
    const std::string log = m_work.File("error.log");
    if (row.logText)
        EXPECT_THAT(testing_support::ReadFileBytes(log), HasSubstr(*row.logText));
    else
        EXPECT_FALSE(fs::exists(log)) << testing_support::ReadFileBytes(log);
}

namespace {

constexpr const char* kNoPage = "検索に失敗しました。\nダウンロードできたページがありません (";
constexpr const char* kMergeFailed =
    "検索に失敗しました。\nプラグイン「medora」が結果ページを作れませんでした";

// Twelve keywords for five workers.
std::vector<std::string> Twelve(const std::string& prefix = "")
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i)
        lines.push_back(prefix + "番組" + std::to_string(i) + (prefix.empty() ? "" : "\t"));
    return lines;
}

// The first five are tried, and each takes its worker with it; the rest are never tried.
std::vector<std::string> TwelveAfterResets()
{
    std::vector<std::string> lines = Twelve("NG\t");
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] += i < 5 ? "通信エラー (" : "未実行 (接続できるダウンロードスレッドがありません)";
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Downloading, BatchFault,
    ::testing::Values(
        CFaultCase{
            "ConnectionResetMidBody",
            kThree,
            [](CFaultSetup& s) { s.site.resetAfter = 300; },
            How::InProcess,
            batch::kExitFailed,
            {"NG\tドラマ\t通信エラー (", "NG\tニュース\t通信エラー (", "NG\t映画\t通信エラー ("},
            kNoPage + "通信エラー ("s,
            "transfer closed"},
        CFaultCase{"ResetsRetireEveryWorkerBeforeAllAreTried", Twelve(),
                   [](CFaultSetup& s) {
                       s.site.resetAfter = 300;
                       ASSERT_TRUE(s.config.WriteInt(config::Key::ConnectNum, 5));
                   },
                   How::InProcess, batch::kExitFailed, TwelveAfterResets(),
                   "12/12 件終了（失敗 12 件）", "transfer closed"},
        CFaultCase{"ServerErrorsForSomeKeywords",
                   {"ドラマ", "故障", "ニュース", "欠番"},
                   [](CFaultSetup& s) {
                       s.site.statusByKey[Cp932("故障")] = 500;
                       s.site.statusByKey[Cp932("欠番")] = 404;
                   },
                   How::InProcess,
                   batch::kExitPartial,
                   {"OK\tドラマ", "NG\t故障\tHTTP 500", "OK\tニュース", "NG\t欠番\tHTTP 404"},
                   "4/4 件終了（失敗 2 件）",
                   " 500 "},
        CFaultCase{
            "RedirectLoop",
            kThree,
            [](CFaultSetup& s) { s.site.redirectLoop = true; },
            How::InProcess,
            batch::kExitFailed,
            {"NG\tドラマ\t通信エラー (", "NG\tニュース\t通信エラー (", "NG\t映画\t通信エラー ("},
            kNoPage,
            "redirect"},
        CFaultCase{"RefusedProxy",
                   kThree,
                   [](CFaultSetup& s) {
                       ASSERT_TRUE(s.config.WriteInt(config::Key::ProxyIESetting, 0));
                       ASSERT_TRUE(s.config.WriteInt(config::Key::ProxyEnable, 1));
                       ASSERT_TRUE(s.config.WriteString(config::Key::ProxyHost, "127.0.0.1"));
                       ASSERT_TRUE(s.config.WriteInt(config::Key::ProxyPort, ClosedPort()));
                   },
                   How::InProcess,
                   batch::kExitFailed,
                   {"NG\tドラマ\t接続できません (", "NG\tニュース\t接続できません (",
                    "NG\t映画\t接続できません ("},
                   kNoPage + "接続できません ("s,
                   "onnect"},
        CFaultCase{"MissingTemplate",
                   kThree,
                   [](CFaultSetup&) {
                       fs::remove(platform::ProgramFolder() + "Plugin/medora/template.html");
                   },
                   How::InProcess,
                   batch::kExitFailed,
                   {"OK\tドラマ", "OK\tニュース", "OK\t映画"},
                   kMergeFailed,
                   {}},
        CFaultCase{
            "ResultFileHitsTheFileSizeLimit",
            {"ドラマ", "ドラマ", "ドラマ", "ドラマ", "ドラマ", "ドラマ"},
            {},
            How::ResultFileLimit,
            batch::kExitFailed,
            {"OK\tドラマ", "OK\tドラマ", "OK\tドラマ", "OK\tドラマ", "OK\tドラマ", "OK\tドラマ"},
            kMergeFailed,
            {}},
        CFaultCase{"MegabyteLine",
                   {"ドラマ", "", "ニュース"},
                   [](CFaultSetup& s) { s.keywordBytes += std::string(1 << 20, 'A') + "\r\n"; },
                   How::InProcess,
                   batch::kExitMerged,
                   {"OK\tドラマ", "OK\tニュース", "OK\tAAAAAAAA"},
                   "3/3 件終了",
                   {}},
        CFaultCase{"NulAndInvalidCodePageBytes",
                   {"ドラマ"},
                   [](CFaultSetup& s) {
                       s.keywordBytes += std::string("\x83h\0\x83\x89", 5) + "\r\n";
                       s.keywordBytes += "\xFF\xFE\x81\r\n\x82";
                   },
                   How::InProcess,
                   batch::kExitMerged,
                   {"OK\tドラマ", "OK\tド", "OK\t", "OK\t"},
                   "4/4 件終了",
                   {}},
        CFaultCase{"GarbageIni",
                   kThree,
                   [](CFaultSetup& s) {
                       // Numbers that are not, out of range or overflowing, control bytes,
                       // broken sections and lines that are no key at all.
                       testing_support::WriteFileBytes(
                           s.config.GetPath(),
                           "\xFF\xFE[Settings\\DownLoad\n=\n"
                           "[Settings\\DownLoad]\nConnectNum=99999999999999999999999\n"
                           "ConnectNum=-3\n[Settings\\Proxy]\r\nIESetting=\x01\xFF\r\n"
                           "Enable=yes\nHost=\t\x7F \"\nPort=-99999\n"
                           "[Settings\\Cache]\nDirectory=\n[Settings\\etc]\nOpenAuto=1x\n"
                           "Browser=\x81\n[Settings\\PlugIn]\nDLLName=../../x\n"
                           "[Settings\\Query]\nArea=\xE3\x81\x82\nno equals sign here\n" +
                               std::string(5000, '[') + "\n\0\0\0garbage\n"s);
                   },
                   How::InProcess,
                   batch::kExitMerged,
                   {"OK\tドラマ", "OK\tニュース", "OK\t映画"},
                   "3/3 件終了",
                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
