#pragma once

#include "app/options/option_page.h"

class QLineEdit;

namespace options {
struct COptionPrompts;
}

// "キャッシュ設定": the folder the result pages go to; empty means the default "Cache" folder.
class CCacheOptionPage : public options::COptionPage
{
public:
    CCacheOptionPage(const config::Config& config, const options::COptionPrompts& prompts);

    std::optional<options::CRefusal> TakeValues() override;
    bool Store() override;
    // Shown in the empty field: the folder an empty setting stands for.
    void SetDefaultFolder(const QString& folder);

protected:
    void Load() override;

private:
    void OnBrowseFolder();

    const options::COptionPrompts& m_prompts;
    QLineEdit* m_pCacheDir;
    QString m_strCacheDir;
    options::CStoredText m_storedDir;
};
