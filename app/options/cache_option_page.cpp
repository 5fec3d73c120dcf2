#include "app/options/cache_option_page.h"

#include "app/options/folder_browser.h"
#include "config/config_store.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CCacheOptionPage::CCacheOptionPage(const config::Config& config,
                                   const options::COptionPrompts& prompts)
    : COptionPage(QStringLiteral("キャッシュ設定"), config)
    , m_prompts(prompts)
    , m_pCacheDir(new QLineEdit)
{
    m_pCacheDir->setObjectName(QStringLiteral("cacheDir"));
    auto* label = new QLabel(QStringLiteral("キャッシュ場所(&P):"));
    label->setBuddy(m_pCacheDir);
    auto* browse = new QPushButton(QStringLiteral("参照"));
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &CCacheOptionPage::OnBrowseFolder);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_pCacheDir, 1, 0, 1, 2);
    layout->addWidget(browse, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(3, 1);
}

void CCacheOptionPage::SetDefaultFolder(const QString& folder)
{
    m_pCacheDir->setPlaceholderText(folder);
}

void CCacheOptionPage::Load()
{
    m_storedDir = options::CStoredText(Config().ReadString(config::Key::CacheDirectory));
    m_strCacheDir = m_storedDir.Shown();
    m_pCacheDir->setText(m_strCacheDir);
}

std::optional<options::CRefusal> CCacheOptionPage::TakeValues()
{
    m_strCacheDir = m_pCacheDir->text();
    return std::nullopt;
}

bool CCacheOptionPage::Store()
{
    return Config().WriteString(config::Key::CacheDirectory, m_storedDir.ToStore(m_strCacheDir));
}

void CCacheOptionPage::OnBrowseFolder()
{
    TakeValues();
    CFolderBrowser browser(m_prompts);
    browser.SetOwner(this);
    browser.SetPath(m_strCacheDir);
    browser.Browse();
    m_strCacheDir = browser.GetPath();
    m_pCacheDir->setText(m_strCacheDir);
}
