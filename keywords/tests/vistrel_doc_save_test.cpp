// Where a save lands: in the file a link leads to, with the file's own permissions, under the
// very name it was given, and nowhere else.
#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::CTempDir;

// Every entry of the folder: a link with where it leads, a file with its mode and bytes.
std::string DescribeFolder(const CTempDir& dir)
{
    std::string text;
    for (const std::string& name : testing_support::FolderEntries(dir.Path())) {
        const std::string path = dir.File(name);
        struct stat info = {};
        lstat(path.c_str(), &info);
        if (S_ISLNK(info.st_mode)) {
            text += name + "->" + fs::read_symlink(path).string() + " ";
            continue;
        }
        std::array<char, 8> mode = {};
        std::snprintf(mode.data(), mode.size(), "%04o", info.st_mode & 07777);
        text += name + "[" + mode.data() + "]=" + testing_support::ReadFileBytes(path) + " ";
    }
    return text;
}

struct SaveCase
{
    const char* name;
    // Lays out the folder and gives the name to save under.
    std::function<std::string(const CTempDir&)> prepare;
    const char* folderAfter;
};

class DocSave : public ::testing::TestWithParam<SaveCase>
{
};

TEST_P(DocSave, LandsWhereTheNameLeads)
{
    const SaveCase& c = GetParam();
    CTempDir dir;
    const mode_t oldMask = umask(022);
    const std::string name = c.prepare(dir);
    CVistrelDoc doc;
    doc.AddKeyword("new");
    const platform::Result<> saved = doc.OnSaveDocument(dir.File(name));
    umask(oldMask);

    ASSERT_TRUE(saved) << saved.error;
    EXPECT_EQ(doc.GetPathName(), dir.File(name));
    EXPECT_EQ(DescribeFolder(dir), c.folderAfter);
}

void WriteOld(const CTempDir& dir, const std::string& name, mode_t mode)
{
    testing_support::WriteFileBytes(dir.File(name), "old\r\n");
    chmod(dir.File(name).c_str(), mode);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DocSave,
    ::testing::Values(
        SaveCase{"NewFile", [](const CTempDir&) { return std::string("list.txt"); },
                 "list.txt[0644]=new\r\n "},
        SaveCase{"KeepsTheFilesMode",
                 [](const CTempDir& d) {
                     WriteOld(d, "list.txt", 0600);
                     return std::string("list.txt");
                 },
                 "list.txt[0600]=new\r\n "},
        SaveCase{"LinkStaysAndItsFileIsReplaced",
                 [](const CTempDir& d) {
                     WriteOld(d, "real.txt", 0640);
                     fs::create_symlink("real.txt", d.File("link.txt"));
                     return std::string("link.txt");
                 },
                 "link.txt->real.txt real.txt[0640]=new\r\n "},
        SaveCase{"DanglingLinkMakesItsFile",
                 [](const CTempDir& d) {
                     fs::create_symlink("made.txt", d.File("link.txt"));
                     return std::string("link.txt");
                 },
                 "link.txt->made.txt made.txt[0644]=new\r\n "},
        // Names are bytes: one in code page 932 is saved under itself, not a look-alike.
        SaveCase{"NameNotUtf8",
                 [](const CTempDir& d) {
                     WriteOld(d, "\x83\x68\x83\x89\x83\x7D\xFF.txt", 0644);
                     return std::string("\x83\x68\x83\x89\x83\x7D\xFF.txt");
                 },
                 "\x83\x68\x83\x89\x83\x7D\xFF.txt[0644]=new\r\n "}),
    testing_support::CaseName());

} // namespace
