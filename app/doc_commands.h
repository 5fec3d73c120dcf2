#pragma once

#include <QString>

#include <functional>
#include <string>

class CVistrelDoc;

namespace app {

class CRecentFileList;
class IPrompts;

// The document commands New, Open, Save, Save As and the recent files, with the save prompt
// before a document is replaced or the window closes. The keyword document does the reading
// and writing; this decides when, asks the user, and reports failures.
class DocCommands
{
public:
    static constexpr const char* kFilters = "ｷｰﾜｰﾄﾞﾌｧｲﾙ (*.txt);;All Files (*.*)";
    static constexpr const char* kDefaultExtension = ".txt";
    static constexpr const char* kAppTitle = "Vistrel";

    enum class OpenResult { Opened, Cancelled, Failed };

    DocCommands(CVistrelDoc& doc, IPrompts& prompts, CRecentFileList& recent);

    // Called after every command that may have changed the document: replaced is true when its
    // keywords were replaced (New, Open, a failed read), so the view must rebuild its rows.
    void SetOnChanged(std::function<void(bool replaced)> onChanged);

    bool OnFileNew();
    bool OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    // Opens entry index of the recent-file list; an entry that cannot be opened is dropped.
    bool OnOpenRecentFile(int index);

    // Opens path as the document, after the save prompt. A failure shows the error box and
    // leaves the document as the keyword document left it.
    OpenResult OpenDocumentFile(const std::string& path);
    // A new document without asking anything: start-up only.
    void NewDocument();

    // The save prompt for a modified document: false when the user cancelled (or chose Yes
    // and the save did not happen), so the command must be abandoned.
    bool SaveModified();

    // "<document title> - Vistrel".
    QString GetWindowTitle() const;

    // The path with the default extension added when its file name has none.
    static std::string WithDefaultExtension(const std::string& path);

private:
    bool DoSave(std::string path);
    void Changed(bool replaced);

    CVistrelDoc& m_doc;
    IPrompts& m_prompts;
    CRecentFileList& m_recent;
    std::function<void(bool)> m_onChanged;
};

} // namespace app
