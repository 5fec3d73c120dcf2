// SPDX-License-Identifier: MIT
#include "batch_fixture.h"

#include <filesystem>

namespace batch_test {
namespace {

namespace fs = std::filesystem;

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Settings whose changes would be lost are said once on standard error, before anything else
// can go wrong; settings that can be kept are not mentioned.
struct LockedCase
{
    const char* name;
    enum { None, Open, Folder } settings;
    std::size_t warnings;
};

class SettingsWarning : public CBatchTest, public ::testing::WithParamInterface<LockedCase>
{
};

TEST_P(SettingsWarning, IsOneLineOnStandardError)
{
    fs::remove(m_config.GetPath());
    if (GetParam().settings == LockedCase::Open) {
        ASSERT_TRUE(m_config.WriteInt(config::Key::Area, 8));
    }
    // A folder in the file's place: no write can replace it, even as root.
    if (GetParam().settings == LockedCase::Folder)
        fs::create_directory(m_config.GetPath());
    const COutcome run = Run({"--search", m_work.File("missing.txt")});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(Count(run.err, "Vistrel: 設定ファイルに書き込めません: " + m_config.GetPath() + "\n"),
              GetParam().warnings)
        << run.err;
    EXPECT_EQ(Count(run.err, "設定ファイル"), GetParam().warnings) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsWarning,
                         ::testing::Values(LockedCase{"NoFileYet", LockedCase::None, 0},
                                           LockedCase{"OpenFile", LockedCase::Open, 0},
                                           LockedCase{"FolderInItsPlace", LockedCase::Folder, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// --help names the files in use: here the portable ones, beside the program.
struct HelpCase
{
    const char* name;
    const char* storedDirectory; // "Settings\Cache" "Directory"
    const char* cacheLine;       // "%p" stands for the program folder
};

class HelpFiles : public CBatchTest, public ::testing::WithParamInterface<HelpCase>
{
};

TEST_P(HelpFiles, NameTheModeAndThePaths)
{
    ASSERT_TRUE(m_config.WriteString(config::Key::CacheDirectory, GetParam().storedDirectory));
    const COutcome run = Run({"--help"});
    ASSERT_EQ(run.code, 0);
    std::string cacheLine = GetParam().cacheLine;
    if (const std::size_t at = cacheLine.find("%p"); at != std::string::npos)
        cacheLine.replace(at, 2, ProgramFolder());
    const std::string folder = ProgramFolder();
    for (const std::string& line :
         {"Files (portable: the program folder " + folder + " is writable):",
          "  settings         " + folder + "Vistrel.ini",
          "  plug-in settings " + folder + "Plugin/NAME/", "  cache folder     " + cacheLine,
          std::string("  error log        error.log in the current folder"),
          "  plug-ins         " + folder + "Plugin/"})
        EXPECT_EQ(Count(run.out, line + "\n"), 1u) << line << "\n" << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpFiles,
    ::testing::Values(HelpCase{"DefaultCache", "", "%pCache/"},
                      HelpCase{"StoredDirectory", "/data/tv",
                               "/data/tv/ (from \"Settings\\Cache\" \"Directory\")"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace batch_test
