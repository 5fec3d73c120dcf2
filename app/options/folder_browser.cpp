#include "app/options/folder_browser.h"

bool CFolderBrowser::Browse()
{
    std::optional<QString> chosen =
        m_prompts.browseFolder(m_pOwner, QStringLiteral("フォルダを選択してください。"), m_strPath);
    if (!chosen || chosen->isEmpty())
        return false;
    // The root folder keeps its only "/": an empty field would mean the default folder.
    while (chosen->size() > 1 && chosen->endsWith(QLatin1Char('/')))
        chosen->chop(1);
    m_strPath = *chosen;
    return true;
}
