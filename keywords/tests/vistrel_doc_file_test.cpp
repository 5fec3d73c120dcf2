#include "keywords/vistrel_doc.h"

#include "case_name.h"
#include "platform/tests/temp_dir.h"
#include "platform/tests/unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// Everything about the document that a failed command must leave alone.
std::string Describe(const CVistrelDoc& doc)
{
    std::string text = "path=" + doc.GetPathName() + " title=" + doc.GetTitle() +
                       " modified=" + (doc.IsModified() ? "1" : "0") +
                       " result=" + doc.GetResultPath() + " keywords=";
    for (const std::string& keyword : doc.m_arrKeywords)
        text += "[" + keyword + "]";
    return text;
}

std::string Replace1(std::string text, const std::string& path)
{
    return text.replace(text.find("%1"), 2, path);
}

class DocFileTest : public testing::Test
{
protected:
    // A document opened from a file, then edited and used for a run: the state a failed
    // Open or Save must keep.
    void PrepareEditedDocument()
    {
        WriteFileBytes(m_dir.File("old.txt"), "old\r\n");
        ASSERT_TRUE(m_doc.OnOpenDocument(m_dir.File("old.txt")));
        m_doc.AddKeyword("added");
        m_doc.SetModifiedFlag();
        m_doc.MakeResultPath("/c/", "p", "r");
    }

    testing_support::CTempDir m_dir;
    CVistrelDoc m_doc;
};

TEST_F(DocFileTest, NewAndOpenSetTheDocumentState)
{
    PrepareEditedDocument();
    const std::string other = m_dir.File("drama.list.txt");
    WriteFileBytes(other, "b\r\nc");

    ASSERT_TRUE(m_doc.OnOpenDocument(other));
    EXPECT_EQ(Describe(m_doc), "path=" + other +
                                   " title=drama.list.txt modified=0 result= "
                                   "keywords=[b][c]");

    m_doc.SetModifiedFlag();
    ASSERT_TRUE(m_doc.OnNewDocument());
    EXPECT_EQ(Describe(m_doc), "path= title=Untitled modified=0 result= keywords=");
}

TEST_F(DocFileTest, SaveAdoptsTheNewPathAndWritesOnlyKeywords)
{
    PrepareEditedDocument();
    const std::string resultPath = m_doc.GetResultPath();
    const std::string target = m_dir.File("saved as.txt");

    const platform::Result<> saved = m_doc.OnSaveDocument(target);
    ASSERT_TRUE(saved) << saved.error;
    EXPECT_EQ(ReadFileBytes(target), "old\r\nadded\r\n");
    EXPECT_EQ(ReadFileBytes(m_dir.File("old.txt")), "old\r\n");
    EXPECT_EQ(Describe(m_doc), "path=" + target + " title=saved as.txt modified=0 result=" +
                                   resultPath + " keywords=[old][added]");
}

TEST_F(DocFileTest, SaveReplacesALongerFileWhole)
{
    const std::string path = m_dir.File("list.txt");
    WriteFileBytes(path, std::string(10000, 'z') + "\r\n");
    m_doc.m_arrKeywords = {"a"};
    ASSERT_TRUE(m_doc.OnSaveDocument(path));
    EXPECT_EQ(ReadFileBytes(path), "a\r\n");
}

struct OpenFailureCase
{
    const char* name;
    std::function<std::string(const testing_support::CTempDir&)> makePath;
    const char* text;
};

class DocOpenFailureTest : public DocFileTest, public testing::WithParamInterface<OpenFailureCase>
{
};

TEST_P(DocOpenFailureTest, ReportsTheCauseAndKeepsTheDocument)
{
    PrepareEditedDocument();
    const std::string before = Describe(m_doc);
    const std::string path = GetParam().makePath(m_dir);

    const platform::Result<> result = m_doc.OnOpenDocument(path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, Replace1(GetParam().text, path));
    EXPECT_EQ(Describe(m_doc), before);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, DocOpenFailureTest,
    testing::Values(OpenFailureCase{"MissingFile",
                                    [](const auto& dir) { return dir.File("none.txt"); },
                                    "%1 was not found."},
                    OpenFailureCase{"MissingFolder",
                                    [](const auto& dir) { return dir.File("none/a.txt"); },
                                    "%1 contains an invalid path."},
                    OpenFailureCase{"Folder",
                                    [](const auto& dir) {
                                        std::filesystem::create_directory(dir.File("folder.txt"));
                                        return dir.File("folder.txt");
                                    },
                                    "%1 contains an invalid path."},
                    // A named pipe would otherwise wait for a writer for ever.
                    OpenFailureCase{"NamedPipe",
                                    [](const auto& dir) {
                                        mkfifo(dir.File("pipe.txt").c_str(), 0600);
                                        return dir.File("pipe.txt");
                                    },
                                    "An unknown error occurred while accessing %1."}),
    testing_support::CaseName());

TEST_F(DocFileTest, ReadFailingPartWayLeavesANewDocument)
{
    PrepareEditedDocument();
    // Opens as a regular file, but reading its first byte fails with an I/O error.
    const std::string path = "/proc/self/mem";
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        GTEST_SKIP() << path << " cannot be opened here";
    close(fd);

    const platform::Result<> result = m_doc.OnOpenDocument(path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, "An unknown error occurred while accessing " + path + ".");
    EXPECT_EQ(Describe(m_doc), "path= title=Untitled modified=0 result= keywords=");
}

TEST_F(DocFileTest, FailedSavesReportTheCauseAndChangeNothing)
{
    PrepareEditedDocument();
    const std::string before = Describe(m_doc);
    const std::string intoMissing = m_dir.File("none/a.txt");
    const std::string ontoFolder = m_dir.File("folder.txt");
    std::filesystem::create_directory(ontoFolder);

    platform::Result<> result = m_doc.OnSaveDocument(intoMissing);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, intoMissing + " contains an invalid path.");
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("none")));

    result = m_doc.OnSaveDocument(ontoFolder);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, ontoFolder + " contains an invalid path.");
    EXPECT_TRUE(std::filesystem::is_directory(ontoFolder));
    EXPECT_EQ(Describe(m_doc), before);
}

// Permission cases: as root they run as "nobody", which needs the temporary folder open.
class DocPermissionTest : public DocFileTest
{
protected:
    void SetUp() override { chmod(m_dir.Path().c_str(), 0755); }
};

TEST_F(DocPermissionTest, SaveIntoReadOnlyFolderKeepsTheOldFile)
{
    const std::string folder = m_dir.File("ro");
    const std::string path = folder + "/list.txt";
    std::filesystem::create_directory(folder);
    WriteFileBytes(path, "old\r\n");
    chmod(path.c_str(), 0644);
    chmod(folder.c_str(), 0555);

    const std::optional<std::string> outcome = testing_support::RunUnprivileged([&] {
        CVistrelDoc doc;
        if (!doc.OnOpenDocument(path))
            return std::string("open failed");
        doc.AddKeyword("new");
        doc.SetModifiedFlag();
        const platform::Result<> result = doc.OnSaveDocument(path);
        return result.error + "\n" + Describe(doc);
    });
    if (!outcome)
        GTEST_SKIP() << "cannot drop root privileges here";

    EXPECT_EQ(*outcome, "Access to " + path + " was denied.\npath=" + path +
                            " title=list.txt modified=1 result= keywords=[old][new]");
    EXPECT_EQ(ReadFileBytes(path), "old\r\n");
    // No temporary file is left behind either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DocPermissionTest, OpenUnreadableFileIsDenied)
{
    const std::string path = m_dir.File("secret.txt");
    WriteFileBytes(path, "a\r\n");
    chmod(path.c_str(), 0);

    const std::optional<std::string> outcome = testing_support::RunUnprivileged([&] {
        CVistrelDoc doc;
        doc.m_arrKeywords = {"kept"};
        const platform::Result<> result = doc.OnOpenDocument(path);
        return result.error + "\n" + Describe(doc);
    });
    if (!outcome)
        GTEST_SKIP() << "cannot drop root privileges here";

    EXPECT_EQ(*outcome,
              "Access to " + path +
                  " was denied.\npath= title=Untitled modified=0 result= keywords=[kept]");
}

} // namespace
