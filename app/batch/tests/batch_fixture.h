#pragma once

#include "run_fixture.h"
#include "site_support.h"

#include "config/config_store.h"
#include "platform/tests/temp_dir.h"
#include "tools/listing_site/listing_server.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace batch_test {

// What one call of batch mode gave.
struct CBatchOutcome
{
    std::optional<int> code;
    std::string out;
    std::string err;
    std::vector<std::string> lines; // of out
};

// Batch mode in-process over a program folder of its own (Vistrel.ini, Cache, Plugin with
// the built medora), a private TMPDIR and working folder, and the sample site.
class CBatchTest : public ::testing::Test
{
protected:
    CBatchTest();

    void StartSite(listing_site::CSiteOptions options = {});
    // Writes a keyword file of UTF-8 lines, stored as code page 932 with CR LF.
    std::string WriteKeywords(const std::vector<std::string>& utf8Lines,
                              const std::string& name = "watch.txt");
    CBatchOutcome Run(const std::vector<std::string>& args);
    std::string ProgramFolder() const { return m_program.Path() + "/"; }
    std::vector<std::string> TvFiles() const;

    testing_support::CTempDir m_program;
    testing_support::CTempDir m_tmp;
    testing_support::CTempDir m_work;
    search_test::CTmpDirVariable m_tmpdir{m_tmp.Path()};
    search_test::CWorkingFolder m_workingFolder{m_work.Path()};
    config::CConfig m_config{config::VistrelIniPath(ProgramFolder())};
    std::unique_ptr<listing_site::CListingServer> m_site;
    std::unique_ptr<search_test::CMedoraFolder> m_medoraFolder;
};

} // namespace batch_test
