#pragma once

// Faults injected into whole batch runs against the sample site: each one ends with a clear
// exit status and message, a line for every keyword with its mark and reason, the keyword
// file as it was, no page file left, no result page without a downloaded page, and the failure
// in error.log. The rows live in two tables: faults found when the run starts, and faults met
// while downloading and merging.
#include "batch_fixture.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace batch_test {

// Where a row's fault is set up before the site starts and the run begins.
struct CFaultSetup
{
    listing_site::CSiteOptions& site;
    config::Config& config;
    std::string& keywordBytes;              // the keyword file, code page 932 with CR LF
    std::string& keywordFileName;           // in the working folder
    std::optional<std::string>& serverName; // medora's server instead of the site's address
    std::string workFolder;                 // the working folder, where error.log goes
    std::string cacheFolder;                // the program folder's Cache
};

enum class How {
    InProcess,
    ResultFileLimit, // in a child whose files may not grow to the result page's size
    Unprivileged,    // where permissions hold, also when the tests run as root
};

struct CFaultCase
{
    const char* name;
    std::vector<std::string> keywords; // UTF-8; a setup may replace the file's bytes
    std::function<void(CFaultSetup&)> setup;
    How how;
    int exitCode;
    std::vector<std::string> jobLines;  // each output line of a job starts with one of these
    std::string errText;                // on standard error
    std::optional<std::string> logText; // in error.log; none: no error.log at all
    bool downloads = true;              // false: no request may reach the site
};

void PrintTo(const CFaultCase& row, std::ostream* os);

class BatchFault : public CBatchTest, public ::testing::WithParamInterface<CFaultCase>
{
protected:
    COutcome RunCase(How how, const std::vector<std::string>& args);
    // A run in a child: its outcome as text there, and back here.
    std::string RunToText(const std::vector<std::string>& args);
    static COutcome FromText(const std::optional<std::string>& text);
};

inline const std::vector<std::string> kThree = {"ドラマ", "ニュース", "映画"};
inline constexpr const char* kFailed = "検索に失敗しました。\n";

} // namespace batch_test
