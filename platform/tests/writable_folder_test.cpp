#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"
#include "platform/writable_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every file under folder: a probe must leave none behind, and the checked file is never made.
std::vector<std::string> Files(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The check's error text, "" when the file could be written.
std::string Check(const std::string& path, bool unprivileged)
{
    auto check = [&path] { return platform::CheckWritableFile(path).error; };
    if (!unprivileged)
        return check();
    return testing_support::RunUnprivileged(check).value_or("(could not switch user)");
}

struct CWritableCase
{
    const char* name;
    std::function<std::string(const testing_support::CTempDir&)> setup; // gives the file's path
    std::string error; // "%s" stands for the path; empty: writable
    bool unprivileged = false;
};

void PrintTo(const CWritableCase& c, std::ostream* os)
{
    *os << c.name;
}

class CheckWritableFile : public ::testing::TestWithParam<CWritableCase>
{
};

TEST_P(CheckWritableFile, FindsWhyAFileCouldNotBeWrittenAndLeavesNothingBehind)
{
    testing_support::CTempDir dir;
    testing_support::WriteFileBytes(dir.File("old.html"), "earlier result");
    const std::string path = GetParam().setup(dir);
    const std::vector<std::string> before = Files(dir.Path());
    if (GetParam().unprivileged) {
        fs::permissions(dir.Path(),
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    }

    const std::string error = Check(path, GetParam().unprivileged);

    std::string expected = GetParam().error;
    if (const std::size_t at = expected.find("%s"); at != std::string::npos)
        expected.replace(at, 2, path);
    EXPECT_EQ(error, expected);
    if (expected.empty()) {
        EXPECT_TRUE(fs::is_directory(fs::path(path).parent_path()));
    }
    EXPECT_EQ(Files(dir.Path()), before);
    EXPECT_EQ(testing_support::ReadFileBytes(dir.File("old.html")), "earlier result");
}

std::string Kanji(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "録";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckWritableFile,
    ::testing::Values(
        CWritableCase{"ExistingFolder", [](const auto& d) { return d.File("new.html"); }, ""},
        CWritableCase{"ResultOfAnEarlierRun", [](const auto& d) { return d.File("old.html"); }, ""},
        CWritableCase{"MissingFoldersAreMade",
                      [](const auto& d) { return d.File("a/b/c/new.html"); }, ""},
        CWritableCase{"FolderIsAFile",
                      [](const auto& d) {
                          testing_support::WriteFileBytes(d.File("cache"), "");
                          return d.File("cache/new.html");
                      },
                      "%s contains an invalid path."},
        CWritableCase{"ParentIsAFile",
                      [](const auto& d) {
                          testing_support::WriteFileBytes(d.File("cache"), "");
                          return d.File("cache/sub/new.html");
                      },
                      "%s contains an invalid path."},
        CWritableCase{"NameOf256Bytes",
                      [](const auto& d) { return d.File(std::string(251, 'n') + ".html"); },
                      "%s contains an invalid path."},
        CWritableCase{"NameOf255Bytes",
                      [](const auto& d) { return d.File(std::string(250, 'n') + ".html"); }, ""},
        CWritableCase{
            "KeywordFileOf80Kanji",
            [](const auto& d) { return d.File(Kanji(80) + "_東京_20261208_medora.html"); },
            "%s contains an invalid path."},
        CWritableCase{"ReadOnlyFolder",
                      [](const auto& d) {
                          fs::create_directory(d.File("ro"));
                          fs::permissions(d.File("ro"), fs::perms::owner_all |
                                                            fs::perms::others_read |
                                                            fs::perms::others_exec);
                          return d.File("ro/new.html");
                      },
                      "Access to %s was denied.", true},
        CWritableCase{"UnderAReadOnlyFolder",
                      [](const auto& d) {
                          fs::create_directory(d.File("ro"));
                          fs::permissions(d.File("ro"), fs::perms::owner_all |
                                                            fs::perms::others_read |
                                                            fs::perms::others_exec);
                          return d.File("ro/cache/new.html");
                      },
                      "Access to %s was denied.", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Settings files as a user who is not their owner meets them: everything here runs as an
// unprivileged user, as root passes every permission check.
struct SettingsCase
{
    const char* name;
    fs::perms folder;
    std::optional<fs::perms> file; // none: no file; a folder for FolderInTheWay
    bool folderInTheWay;
    bool writable;
};

class CheckSettingsFile : public ::testing::TestWithParam<SettingsCase>
{
};

TEST_P(CheckSettingsFile, TellsWhetherChangesCanBeKept)
{
    const SettingsCase& c = GetParam();
    testing_support::CTempDir dir;
    const std::string folder = dir.File("config");
    const std::string path = folder + "/Vistrel.ini";
    fs::create_directory(folder);
    if (c.folderInTheWay)
        fs::create_directory(path);
    else if (c.file)
        testing_support::WriteFileBytes(path, "[Settings\\Query]\nArea=8\n");
    if (c.file)
        fs::permissions(path, *c.file);
    fs::permissions(folder, c.folder);
    fs::permissions(dir.Path(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);

    const std::optional<std::string> error = testing_support::RunUnprivileged(
        [&path] { return platform::CheckSettingsFile(path).error; });
    ASSERT_TRUE(error) << "could not switch user";
    if (c.writable)
        EXPECT_EQ(*error, "");
    else
        EXPECT_EQ(*error, "Access to " + path + " was denied.");
    fs::permissions(folder, fs::perms::owner_all);
}

constexpr fs::perms kOpen = fs::perms::all;
constexpr fs::perms kReadOnly = fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec;
constexpr fs::perms kOthersRead =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;

INSTANTIATE_TEST_SUITE_P(
    Table, CheckSettingsFile,
    ::testing::Values(
        SettingsCase{"NoFileYet", kOpen, std::nullopt, false, true},
        SettingsCase{"OpenFile", kOpen, kOpen, false, true},
        // Made by someone else for himself alone: neither read nor written by this user.
        SettingsCase{"OthersFileMode600", kOpen, fs::perms::owner_read | fs::perms::owner_write,
                     false, false},
        SettingsCase{"ReadOnlyFile", kOpen, kOthersRead, false, false},
        SettingsCase{"ReadOnlyFolderNoFile", kReadOnly, std::nullopt, false, false},
        // The file itself could be written, but not replaced beside itself.
        SettingsCase{"ReadOnlyFolderOpenFile", kReadOnly, kOpen, false, false},
        SettingsCase{"FolderInTheWay", kOpen, kOpen, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
