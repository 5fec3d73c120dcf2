#pragma once

#include "fake_ports.h"

#include "config/config_store.h"
#include "keywords/vistrel_doc.h"
#include "platform/tests/scoped_env.h"
#include "platform/tests/temp_dir.h"
#include "plugin_host/plugin_module.h"
#include "search/search_run.h"

#include <gtest/gtest.h>

#include <memory>

namespace search_test {

std::string TestPluginPath(const std::string& kind); // "good", "nameonly", ...

// The "~TV" files in folder and in the folders under it (runs keep them in a folder of their
// own).
std::vector<std::string> TvFiles(const std::string& folder);
// The run folders in folder.
std::vector<std::string> RunFolders(const std::string& folder);

// A run over fake workers and rows with the host's "good" test plug-in (server
// "127.0.0.1:8080", its search address ends in "&key=KEYWORD", and it merges by writing the
// page paths it gets, one per line), a program folder of its own and a private TMPDIR.
class CRunTest : public ::testing::Test
{
protected:
    CRunTest();

    void SetRows(const std::vector<std::string>& texts);
    void Start(int area = 8);
    // Delivers worker id's report with the outcome code (DLERR_) and reason of its latest job,
    // mapped as the real pool maps them.
    void Report(std::uint32_t id, std::int32_t error = 0, const std::string& reason = "");
    std::string JobOf(std::uint32_t id) const; // the keyword of the worker's latest job
    std::vector<std::string> MergedFiles() const;
    std::vector<int> JobStates() const;

    testing_support::CTempDir m_program, m_tmp;
    testing_support::CScopedEnv m_tmpdir{{"TMPDIR", m_tmp.Path().c_str()}};
    config::Config m_config{config::VistrelIniPath(m_program.Path() + "/")};
    CEventLog m_log;
    CFakePool m_pool{m_log};
    CRecorder m_ui{m_log};
    CFakeRows m_rows;
    CVistrelDoc m_doc;
    CPluginModule m_plugin;
    std::unique_ptr<CSearchRun> m_run;
};

} // namespace search_test
