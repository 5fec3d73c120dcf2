#include "app/options/options_sheet.h"

#include "app/options/cache_option_page.h"
#include "app/options/inet_option_page.h"
#include "app/options/option_page_etc.h"
#include "config/config_store.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace options {

COptionSheet::COptionSheet(const config::Config& config, COptionPrompts prompts, QWidget* parent)
    : QDialog(parent)
    , m_config(config)
    , m_prompts(std::move(prompts))
    , m_pTabs(new QTabWidget)
    , m_pCachePage(new CCacheOptionPage(config, m_prompts))
{
    setWindowTitle(QStringLiteral("オプション"));
    m_pages = {new CInetOptionPage(config, m_prompts), m_pCachePage, new COptionPageEtc(config)};
    for (COptionPage* page : m_pages) {
        m_pTabs->addTab(page, page->Caption());
        connect(page, &COptionPage::Modified, this, [this] { m_pApply->setEnabled(true); });
    }
    connect(m_pTabs, &QTabWidget::currentChanged, this, &COptionSheet::OnTabChanged);
    // Every page name stays readable: the sheet widens to its tabs instead of scrolling them.
    m_pTabs->setUsesScrollButtons(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply);
    m_pOk = buttons->button(QDialogButtonBox::Ok);
    m_pCancel = buttons->button(QDialogButtonBox::Cancel);
    m_pApply = buttons->button(QDialogButtonBox::Apply);
    m_pApply->setEnabled(false);
    connect(m_pOk, &QPushButton::clicked, this, &COptionSheet::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pApply, &QPushButton::clicked, this, &COptionSheet::ApplyPages);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
    m_pOk->setDefault(true);
}

void COptionSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_nCurrent = m_pTabs->currentIndex();
    Page(m_nCurrent)->EnsureLoaded();
}

// Leaving a page takes its values; a refusal keeps the user on it.
void COptionSheet::OnTabChanged(int index)
{
    if (index == m_nCurrent || index < 0)
        return;
    if (COptionPage* leaving = Page(m_nCurrent); leaving->IsLoaded()) {
        if (const auto refusal = leaving->TakeValues()) {
            ShowPage(m_nCurrent);
            ShowRefusal(*refusal, m_prompts);
            return;
        }
    }
    m_nCurrent = index;
    Page(index)->EnsureLoaded();
}

void COptionSheet::ShowPage(int index)
{
    const QSignalBlocker quiet(m_pTabs);
    m_pTabs->setCurrentIndex(index);
    m_nCurrent = index;
}

bool COptionSheet::ApplyPages()
{
    // The page on show first, as when leaving it; no page stores before all have given
    // their values.
    std::vector<int> order{m_nCurrent};
    for (int i = 0; i < static_cast<int>(m_pages.size()); ++i) {
        if (i != m_nCurrent)
            order.push_back(i);
    }
    for (const int index : order) {
        if (!Page(index)->IsLoaded())
            continue;
        if (const auto refusal = Page(index)->TakeValues()) {
            ShowPage(index);
            ShowRefusal(*refusal, m_prompts);
            return false;
        }
    }
    bool stored = true;
    for (COptionPage* page : m_pages) {
        if (page->IsLoaded())
            stored = page->Store() && stored;
    }
    if (!stored) {
        m_prompts.message(this, QStringLiteral("設定を書き込めませんでした。\n%1")
                                    .arg(QString::fromStdString(m_config.GetPath())));
        return false;
    }
    m_pApply->setEnabled(false);
    return true;
}

void COptionSheet::SetDefaultCacheFolder(const QString& folder)
{
    m_pCachePage->SetDefaultFolder(folder);
}

void COptionSheet::OnOK()
{
    if (ApplyPages())
        accept();
}

} // namespace options

void ShowOptionsSheet(QWidget* parent, const config::Config& config,
                      const QString& defaultCacheFolder)
{
    options::COptionSheet sheet(config, options::QtOptionPrompts(), parent);
    sheet.SetDefaultCacheFolder(defaultCacheFolder);
    sheet.exec();
}
