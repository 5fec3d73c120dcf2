#pragma once

#include "app/options/option_prompts.h"

#include <QString>

// The folder browser of the cache page: starts on the folder given, and on confirmation holds
// the folder chosen, without a trailing "/" (the search run adds it when it uses the folder).
class CFolderBrowser
{
public:
    explicit CFolderBrowser(const options::COptionPrompts& prompts)
        : m_prompts(prompts)
    {}

    void SetOwner(QWidget* owner) { m_pOwner = owner; }
    void SetPath(const QString& path) { m_strPath = path; }
    // True when the user chose a folder; a cancel leaves the path as it was.
    bool Browse();
    QString GetPath() const { return m_strPath; }

private:
    const options::COptionPrompts& m_prompts;
    QWidget* m_pOwner = nullptr;
    QString m_strPath;
};
