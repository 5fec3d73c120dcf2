#pragma once

#include "fake_ports.h"

#include "config/config_store.h"
#include "keywords/vistrel_doc.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace search_test {

// Sets TMPDIR for the life of the object, then puts the old value back.
class CTmpDirVariable
{
public:
    explicit CTmpDirVariable(const std::string& value);
    ~CTmpDirVariable();
    CTmpDirVariable(const CTmpDirVariable&) = delete;
    CTmpDirVariable& operator=(const CTmpDirVariable&) = delete;

private:
    std::optional<std::string> m_old;
};

// The path of one of the host's test plug-ins ("good", "nameonly", ...).
std::string TestPluginPath(const std::string& kind);

// A run over fake workers, rows and prompts, with the "good" test plug-in (it merges by
// writing the page paths it was given, one per line), a program folder of its own and a
// private TMPDIR. The test plays the workers: Report() delivers a worker's report.
class CRunTest : public ::testing::Test
{
protected:
    CRunTest();

    void SetRows(std::vector<std::string> texts) { m_rows = CFakeRows(std::move(texts)); }
    void Start(int area = 8, const std::string& areaName = "東京");
    // Delivers worker id's report with the outcome of its latest job.
    void Report(std::uint32_t id, std::int32_t error = 0, const std::string& reason = "");
    // The worker's latest job, as the keyword at the end of the plug-in's search address.
    std::string JobOf(std::uint32_t id) const;
    // The "~TV" files in the private TMPDIR.
    std::vector<std::string> TvFiles() const;
    // The page files the plug-in was given, read from the result file it wrote.
    std::vector<std::string> MergedFiles() const;
    std::vector<int> JobStates() const;

    testing_support::CTempDir m_program;
    testing_support::CTempDir m_tmp;
    CTmpDirVariable m_tmpdir{m_tmp.Path()};
    config::CConfig m_config{config::VistrelIniPath(m_program.Path() + "/")};
    CEventLog m_log;
    CFakePool m_pool{m_log};
    CFakePrompts m_prompts{m_log};
    CFakeProgress m_progress;
    CFakeRows m_rows{{}};
    CVistrelDoc m_doc;
    CPluginModule m_plugin;
    std::unique_ptr<CSearchRun> m_run;
};

} // namespace search_test
