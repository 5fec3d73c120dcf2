#include "app/doc_commands.h"
#include "app/recent_files.h"
#include "app/tests/fake_prompts.h"
#include "config/config_store.h"
#include "keywords/vistrel_doc.h"
#include "platform/tests/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace app_test {
namespace {

using app::CDocCommands;
using app::MsgAnswer;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// A document with its commands over a folder of its own; the document starts saved as
// "list.txt" holding "old", then gets "new" typed into it.
class DocCommandsTest : public testing::Test
{
protected:
    DocCommandsTest()
        : config(dir.File("Vistrel.ini"))
        , recent(config)
        , commands(doc, prompts, recent)
    {
        commands.SetOnChanged([this](bool replaced) { changes.push_back(replaced); });
    }

    std::string SavedListWithTypedKeyword()
    {
        std::string path = dir.File("list.txt");
        WriteFileBytes(path, "old\r\n");
        EXPECT_TRUE(doc.OnOpenDocument(path));
        doc.AddKeyword("new");
        doc.SetModifiedFlag();
        return path;
    }

    testing_support::CTempDir dir;
    config::Config config;
    app::CRecentFileList recent;
    CVistrelDoc doc;
    CFakePrompts prompts;
    CDocCommands commands;
    std::vector<bool> changes;
};

// The save prompt before New: what each answer does to the file and the document.
struct PromptCase
{
    const char* name;
    MsgAnswer answer;
    bool commandDone;
    const char* fileAfter;
    std::ptrdiff_t keywordsAfter;
};

class SavePrompt : public DocCommandsTest, public testing::WithParamInterface<PromptCase>
{
};

TEST_P(SavePrompt, BeforeNew)
{
    const PromptCase& c = GetParam();
    const std::string path = SavedListWithTypedKeyword();
    prompts.answers = {c.answer};

    EXPECT_EQ(commands.OnFileNew(), c.commandDone);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Save changes to list.txt?"));
    EXPECT_EQ(prompts.messages[0].buttons, app::MsgButtons::YesNoCancel);
    EXPECT_TRUE(prompts.proposedNames.empty()) << "a document with a path is saved under it";
    EXPECT_EQ(ReadFileBytes(path), c.fileAfter);
    EXPECT_EQ(doc.GetKeywordCount(), c.keywordsAfter);
    EXPECT_EQ(doc.IsModified(), !c.commandDone);
    EXPECT_EQ(doc.GetPathName().empty(), c.commandDone);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SavePrompt,
    testing::Values(PromptCase{"Yes", MsgAnswer::Yes, true, "old\r\nnew\r\n", 0},
                    PromptCase{"No", MsgAnswer::No, true, "old\r\n", 0},
                    PromptCase{"Cancel", MsgAnswer::Cancel, false, "old\r\n", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocCommandsTest, YesOnAnUntitledDocumentAsksForANameAndAddsTheExtension)
{
    doc.AddKeyword("k");
    doc.SetModifiedFlag();
    prompts.answers = {MsgAnswer::Yes};
    prompts.saveNames = {QString::fromStdString(dir.File("named"))};

    EXPECT_TRUE(commands.OnFileNew());
    ASSERT_EQ(prompts.proposedNames.size(), 1u);
    EXPECT_EQ(prompts.proposedNames[0], QStringLiteral("Untitled.txt"));
    EXPECT_EQ(prompts.dialogFilters[0], QStringLiteral("ｷｰﾜｰﾄﾞﾌｧｲﾙ (*.txt);;All Files (*.*)"));
    EXPECT_EQ(ReadFileBytes(dir.File("named.txt")), "k\r\n");
    EXPECT_EQ(recent.GetAt(0), dir.File("named.txt"));
}

TEST_F(DocCommandsTest, CancelledSaveDialogAbandonsTheCommand)
{
    doc.AddKeyword("k");
    doc.SetModifiedFlag();
    prompts.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(commands.OnFileNew());
    EXPECT_EQ(doc.GetKeywordCount(), 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocCommandsTest, FailedSaveKeepsTheDocumentAndAbandonsTheCommand)
{
    doc.AddKeyword("k");
    doc.SetModifiedFlag();
    prompts.answers = {MsgAnswer::Yes};
    const std::string target = dir.File("no/such/folder/x.txt");
    prompts.saveNames = {QString::fromStdString(target)};
    EXPECT_FALSE(commands.OnFileNew());
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].icon, app::MsgIcon::Exclamation);
    EXPECT_TRUE(prompts.messages[1].text.contains(QString::fromStdString(target)));
    EXPECT_EQ(doc.GetKeywordCount(), 1);
    EXPECT_EQ(recent.GetSize(), 0);
}

TEST_F(DocCommandsTest, OpenShowsTheErrorAndKeepsTheDocument)
{
    const std::string path = SavedListWithTypedKeyword();
    prompts.answers = {MsgAnswer::No};
    prompts.openNames = {QString::fromStdString(dir.File("gone.txt"))};
    EXPECT_FALSE(commands.OnFileOpen());
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text,
              QString::fromStdString(dir.File("gone.txt")) + QStringLiteral(" was not found."));
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.GetKeywordCount(), 2);
    EXPECT_EQ(changes, std::vector<bool>{false}) << "the rows are not rebuilt";
}

TEST_F(DocCommandsTest, SaveAsProposesTheCurrentPath)
{
    const std::string path = SavedListWithTypedKeyword();
    prompts.saveNames = {QString::fromStdString(dir.File("copy.lst"))};
    EXPECT_TRUE(commands.OnFileSaveAs());
    EXPECT_EQ(prompts.proposedNames.at(0), QString::fromStdString(path));
    EXPECT_EQ(doc.GetPathName(), dir.File("copy.lst")) << "an extension of its own is kept";
    EXPECT_EQ(commands.GetWindowTitle(), QStringLiteral("copy.lst - Vistrel"));
}

TEST_F(DocCommandsTest, RecentEntryThatCannotBeOpenedIsDroppedButNotWhenCancelled)
{
    const std::string kept = dir.File("kept.txt");
    WriteFileBytes(kept, "a\r\n");
    recent.Add(kept);
    recent.Add(dir.File("vanished.txt"));
    doc.SetModifiedFlag();

    prompts.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(commands.OnOpenRecentFile(0));
    EXPECT_EQ(recent.GetSize(), 2) << "cancelling the prompt is no failure";

    prompts.answers = {MsgAnswer::No};
    EXPECT_FALSE(commands.OnOpenRecentFile(0));
    ASSERT_EQ(recent.GetSize(), 1);
    EXPECT_EQ(recent.GetAt(0), kept);
    EXPECT_EQ(config.ReadString(config::Key::RecentFile1), kept) << "written at once";

    prompts.answers = {MsgAnswer::No}; // the document that could not be replaced is still changed
    EXPECT_TRUE(commands.OnOpenRecentFile(0));
    EXPECT_EQ(doc.GetPathName(), kept);
}

struct ExtensionCase
{
    const char* typed;
    const char* saved;
};

class DefaultExtension : public testing::TestWithParam<ExtensionCase>
{
};

TEST_P(DefaultExtension, AddedOnlyToANameWithout)
{
    EXPECT_EQ(CDocCommands::WithDefaultExtension(GetParam().typed), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultExtension,
                         testing::Values(ExtensionCase{"/d/list", "/d/list.txt"},
                                         ExtensionCase{"/d/list.txt", "/d/list.txt"},
                                         ExtensionCase{"/d/list.csv", "/d/list.csv"},
                                         ExtensionCase{"/d.v2/list", "/d.v2/list.txt"},
                                         ExtensionCase{"/d/.hidden", "/d/.hidden"},
                                         ExtensionCase{"キーワード", "キーワード.txt"}));

TEST(RecentFiles, KeepsFourMostRecentFirstWithoutRepeats)
{
    testing_support::CTempDir dir;
    config::Config config(dir.File("Vistrel.ini"));
    app::CRecentFileList list(config);
    for (const char* path : {"/a", "/b", "/c", "/a", "/d", "/e"})
        list.Add(path);
    std::vector<std::string> entries;
    entries.reserve(list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i)
        entries.push_back(list.GetAt(i));
    EXPECT_EQ(entries, (std::vector<std::string>{"/e", "/d", "/a", "/c"}));

    config.WriteString(config::Key::RecentFile2, "");
    app::CRecentFileList reread(config);
    reread.ReadList();
    ASSERT_EQ(reread.GetSize(), 3) << "an empty entry is skipped";
    EXPECT_EQ(reread.GetAt(1), "/a");
}

} // namespace
} // namespace app_test
