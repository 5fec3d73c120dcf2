#pragma once

#include "run_fixture.h"

#include "tools/listing_site/listing_server.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sys/types.h>

namespace batch_test {

// UTF-8 text as code page 932 bytes.
std::string Cp932(std::string_view utf8);

// Batch mode and whole runs over a program folder of their own (Vistrel.ini, Cache, Plugin
// with the built medora), a private TMPDIR and working folder, and the sample site. medora
// finds its data folder beside the running program, here the test program; it is pointed at
// the site and given the delivered template, and put back as it was afterwards.
class CBatchTest : public ::testing::Test
{
protected:
    struct COutcome
    {
        std::optional<int> code;
        std::string out, err;
        std::vector<std::string> lines; // of out
    };

    CBatchTest();
    ~CBatchTest() override;

    void StartSite(listing_site::CSiteOptions options = {});
    // The site in a child process, for tests that fork a run: a fork while another thread of
    // the test program is inside the allocator can leave the child hanging under the address
    // sanitizer, so the site's threads must live elsewhere. The child ends with the test.
    void StartSiteInChild(listing_site::CSiteOptions options = {});
    // A keyword file of the given lines in code page 932 with CR LF; its path.
    std::string WriteKeywords(const std::vector<std::string>& utf8Lines,
                              const std::string& name = "watch.txt");
    COutcome Run(const std::vector<std::string>& args);
    std::string ProgramFolder() const { return m_program.Path() + "/"; }
    std::vector<std::string> TvFiles() const { return search_test::TvFiles(m_tmp.Path()); }
    // Points medora at server ("host", "host:port", or anything a user might write there).
    void PointMedoraAt(const std::string& server);
    // Puts the test plug-ins "counting" (it has PIN_GetListingCounts) and "plain" (it has not)
    // into the program folder; they search the started site, whose address this returns for
    // their VISTREL_TEST_SERVER.
    std::string AddTestPlugins();

    // Loopback only: the constructor clears the proxy variables. First, so it is put back last.
    testing_support::CScopedEnv m_noProxy;
    testing_support::CTempDir m_program, m_tmp, m_work;
    testing_support::CScopedEnv m_tmpdir{{"TMPDIR", m_tmp.Path().c_str()}};
    config::Config m_config{config::VistrelIniPath(ProgramFolder())};
    std::unique_ptr<listing_site::CListingServer> m_site;

private:
    std::string m_strPreviousFolder;
    pid_t m_sitePid = -1;
    int m_siteLifeline = -1; // the child's end of it reads end-of-file when the test is over
    std::map<std::string, std::optional<std::string>> m_savedMedora;
};

} // namespace batch_test
