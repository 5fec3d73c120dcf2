// Faults a batch run finds when it starts, before any page is asked for: a server name no
// worker can use, and a result page that could never be written.
#include "batch_faults.h"

#include "app/batch/batch_run.h"

#include <filesystem>

namespace batch_test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Every keyword of kThree, not tried, and why.
std::vector<std::string> NotTried(const std::string& why)
{
    std::vector<std::string> lines;
    for (const std::string& keyword : kThree)
        lines.push_back("NG\t" + keyword + "\t未実行 (" + why);
    return lines;
}

constexpr const char* kWorkerCannotStart = "接続を準備できません (";

// medora pointed at a server no worker can connect to: no worker starts, so no keyword is
// tried, and each says why.
CFaultCase UnusableServer(const char* name, std::string server, std::string logText)
{
    return {name,
            kThree,
            [server](CFaultSetup& s) { s.serverName = server; },
            How::InProcess,
            batch::kExitFailed,
            NotTried(kWorkerCannotStart),
            kFailed + "ダウンロードできたページがありません ("s + kWorkerCannotStart,
            logText,
            false};
}

std::string EightyKanji()
{
    std::string name;
    for (int i = 0; i < 80; ++i)
        name += "録";
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Starting, BatchFault,
    ::testing::Values(UnusableServer("ServerNameWithABlank", "bad host", "Bad hostname"),
                      UnusableServer("PortOutOfRange", "127.0.0.1:99999", "Port number"),
                      UnusableServer("ServerWithAPath", "127.0.0.1/path", "Bad hostname"),
                      CFaultCase{"MissingCacheFolderIsMade",
                                 kThree,
                                 [](CFaultSetup& s) {
                                     ASSERT_TRUE(
                                         s.config.WriteString(config::Key::CacheDirectory,
                                                              s.workFolder + "/gone/deeper"));
                                 },
                                 How::InProcess,
                                 batch::kExitMerged,
                                 {"OK\tドラマ", "OK\tニュース", "OK\t映画"},
                                 "3/3 件終了",
                                 {}},
                      CFaultCase{"CacheFolderIsAFile",
                                 kThree,
                                 [](CFaultSetup& s) {
                                     testing_support::WriteFileBytes(s.workFolder + "/cache", "");
                                     ASSERT_TRUE(s.config.WriteString(config::Key::CacheDirectory,
                                                                      s.workFolder + "/cache"));
                                 },
                                 How::InProcess,
                                 batch::kExitFailed,
                                 NotTried("/"),
                                 " contains an invalid path.",
                                 {},
                                 false},
                      CFaultCase{"ReadOnlyCacheFolder",
                                 kThree,
                                 [](CFaultSetup& s) {
                                     fs::create_directories(s.cacheFolder);
                                     fs::permissions(s.cacheFolder, fs::perms::owner_all |
                                                                        fs::perms::group_read |
                                                                        fs::perms::group_exec |
                                                                        fs::perms::others_read |
                                                                        fs::perms::others_exec);
                                 },
                                 How::Unprivileged,
                                 batch::kExitFailed,
                                 NotTried("Access to "),
                                 kFailed + "Access to "s,
                                 {}},
                      CFaultCase{"ResultFileNameTooLong",
                                 kThree,
                                 [](CFaultSetup& s) { s.keywordFileName = EightyKanji() + ".txt"; },
                                 How::InProcess,
                                 batch::kExitFailed,
                                 NotTried("/"),
                                 "_東京_",
                                 {},
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
