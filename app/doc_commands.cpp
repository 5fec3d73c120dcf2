#include "app/doc_commands.h"

#include "app/native_path.h"
#include "app/prompts.h"
#include "app/recent_files.h"
#include "keywords/vistrel_doc.h"

#include <utility>

namespace app {
namespace {

QString Utf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CDocCommands::CDocCommands(CVistrelDoc& doc, IPrompts& prompts, CRecentFileList& recent)
    : m_doc(doc)
    , m_prompts(prompts)
    , m_recent(recent)
{}

void CDocCommands::SetOnChanged(std::function<void(bool)> onChanged)
{
    m_onChanged = std::move(onChanged);
}

void CDocCommands::Changed(bool replaced)
{
    if (m_onChanged)
        m_onChanged(replaced);
}

void CDocCommands::NewDocument()
{
    m_doc.OnNewDocument();
    Changed(true);
}

bool CDocCommands::OnFileNew()
{
    if (!SaveModified())
        return false;
    NewDocument();
    return true;
}

bool CDocCommands::OnFileOpen()
{
    const QString chosen = m_prompts.GetOpenFileName(QString::fromUtf8(kFilters));
    if (chosen.isEmpty())
        return false;
    return OpenDocumentFile(ToNativePath(chosen)) == OpenResult::Opened;
}

bool CDocCommands::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recent.GetSize())
        return false;
    const std::string path = m_recent.GetAt(index);
    const OpenResult result = OpenDocumentFile(path);
    // Only a file that could not be opened leaves the list; a cancelled prompt keeps it.
    if (result == OpenResult::Failed)
        m_recent.Remove(index);
    return result == OpenResult::Opened;
}

CDocCommands::OpenResult CDocCommands::OpenDocumentFile(const std::string& path)
{
    if (!SaveModified())
        return OpenResult::Cancelled;
    const platform::Result<> result = m_doc.OnOpenDocument(path);
    if (!result) {
        m_prompts.MessageBox(Utf8(result.error), MsgIcon::Exclamation, MsgButtons::Ok);
        // A read that failed part-way has left a new, empty document behind.
        Changed(m_doc.GetPathName().empty() && m_doc.GetKeywordCount() == 0);
        return OpenResult::Failed;
    }
    m_recent.Add(path);
    Changed(true);
    return OpenResult::Opened;
}

bool CDocCommands::OnFileSave()
{
    return DoSave(m_doc.GetPathName());
}

bool CDocCommands::OnFileSaveAs()
{
    return DoSave(std::string());
}

bool CDocCommands::SaveModified()
{
    if (!m_doc.IsModified())
        return true;
    const QString text = QStringLiteral("Save changes to %1?").arg(Utf8(m_doc.GetTitle()));
    switch (m_prompts.MessageBox(text, MsgIcon::Exclamation, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return OnFileSave();
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

bool CDocCommands::DoSave(std::string path)
{
    if (path.empty()) {
        const std::string proposed = m_doc.GetPathName().empty()
                                         ? WithDefaultExtension(m_doc.GetTitle())
                                         : m_doc.GetPathName();
        const QString chosen =
            m_prompts.GetSaveFileName(FromNativePath(proposed), QString::fromUtf8(kFilters));
        if (chosen.isEmpty())
            return false;
        path = WithDefaultExtension(ToNativePath(chosen));
    }
    const platform::Result<> result = m_doc.OnSaveDocument(path);
    if (!result) {
        m_prompts.MessageBox(Utf8(result.error), MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    m_recent.Add(path);
    Changed(false);
    return true;
}

QString CDocCommands::GetWindowTitle() const
{
    return QStringLiteral("%1 - %2").arg(Utf8(m_doc.GetTitle()), QString::fromUtf8(kAppTitle));
}

std::string CDocCommands::WithDefaultExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart == path.size() || path.find('.', nameStart) != std::string::npos)
        return path;
    return path + kDefaultExtension;
}

} // namespace app
