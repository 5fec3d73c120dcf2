#include "run_fixture.h"

#include "download/download_messages.h"
#include "platform/run_owner.h"
#include "search/http_worker_pool.h"

#include <filesystem>
#include <sstream>

namespace search_test {

std::string TestPluginPath(const std::string& kind)
{
    return std::string(TEST_PLUGIN_DIR) + "/" + kind + ".so";
}

std::vector<std::string> TvFiles(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("~TV"))
            files.push_back(entry.path().string());
    }
    return files;
}

std::vector<std::string> RunFolders(const std::string& folder)
{
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (platform::ParseRunFolderName(entry.path().filename().string()))
            folders.push_back(entry.path().string());
    }
    return folders;
}

CRunTest::CRunTest()
{
    std::filesystem::create_directory(m_program.File("Cache"));
    EXPECT_TRUE(m_plugin.Load(TestPluginPath("good")));
    m_run = std::make_unique<CSearchRun>(m_config, m_program.Path() + "/", m_pool, m_ui, &m_ui);
}

void CRunTest::SetRows(const std::vector<std::string>& texts)
{
    m_rows.m_rows.clear();
    for (const std::string& text : texts)
        m_rows.m_rows.push_back({text, "", ""});
}

void CRunTest::Start(int area)
{
    m_run->OnSearchStart(&m_doc, m_rows, area, "東京", &m_plugin);
}

void CRunTest::Report(std::uint32_t id, std::int32_t error, const std::string& reason)
{
    ASSERT_NE(m_pool.Worker(id), nullptr) << "worker " << id << " is gone";
    // As the real pool hands a worker's report on.
    const download::Report report{id, download::StatusAfterJob(error), error, reason, 0};
    m_run->OnDownloadDone(search::ToWorkerReport(report));
}

std::string CRunTest::JobOf(std::uint32_t id) const
{
    const CFakeWorker* worker = m_pool.Worker(id);
    const std::string object = worker ? worker->m_strObject : "";
    return object.substr(object.rfind('=') + 1);
}

std::vector<std::string> CRunTest::MergedFiles() const
{
    std::istringstream text(testing_support::ReadFileBytes(m_doc.GetResultPath()));
    std::vector<std::string> files;
    for (std::string line; std::getline(text, line);)
        files.push_back(line);
    return files;
}

std::vector<int> CRunTest::JobStates() const
{
    std::vector<int> states;
    if (const CSearchRun::CJobArray* jobs = m_run->GetJobArray()) {
        for (const auto& job : *jobs)
            states.push_back(job->m_nState);
    }
    return states;
}

} // namespace search_test
