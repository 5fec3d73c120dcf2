#include "batch_fixture.h"

#include "app/batch/batch_run.h"

#include <filesystem>
#include <sstream>

namespace batch_test {

CBatchTest::CBatchTest()
{
    search_test::ClearProxyEnvironment();
    std::filesystem::create_directories(m_program.File("Plugin"));
    std::filesystem::create_symlink(MEDORA_MODULE_PATH, m_program.File("Plugin/medora.so"));
}

void CBatchTest::StartSite(listing_site::CSiteOptions options)
{
    m_site = std::make_unique<listing_site::CListingServer>(std::move(options));
    const int port = m_site->Start();
    ASSERT_GT(port, 0);
    m_medoraFolder =
        std::make_unique<search_test::CMedoraFolder>("127.0.0.1:" + std::to_string(port));
}

std::string CBatchTest::WriteKeywords(const std::vector<std::string>& utf8Lines,
                                      const std::string& name)
{
    std::string bytes;
    for (const std::string& line : utf8Lines)
        bytes += search_test::Cp932(line) + "\r\n";
    const std::string path = m_work.File(name);
    testing_support::WriteFileBytes(path, bytes);
    return path;
}

CBatchOutcome CBatchTest::Run(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    CBatchOutcome outcome;
    outcome.code = batch::RunCommandLine(args, ProgramFolder(), out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);)
        outcome.lines.push_back(line);
    return outcome;
}

std::vector<std::string> CBatchTest::TvFiles() const
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_tmp.Path()))
        files.push_back(entry.path().filename().string());
    return files;
}

} // namespace batch_test
