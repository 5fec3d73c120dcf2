#pragma once

#include "app/options/option_prompts.h"

#include <QDialog>

#include <vector>

class CCacheOptionPage;
class QPushButton;
class QTabWidget;

namespace config {
class Config;
}

namespace options {

class COptionPage;

// "オプション": the program's own settings in three pages, with OK, Cancel and Apply. Each
// page loads the first time it is shown; OK and Apply store every page shown so far, and
// only when none of them refuses its values; Cancel stores nothing.
class COptionSheet : public QDialog
{
public:
    COptionSheet(const config::Config& config, COptionPrompts prompts, QWidget* parent = nullptr);

    // Takes the values of every page shown and stores them, as Apply does. False, with the
    // reason shown to the user, when a value is refused or Vistrel.ini cannot be written;
    // then nothing is written, or not all of it.
    bool ApplyPages();
    // The folder an empty cache setting stands for, shown in the empty field.
    void SetDefaultCacheFolder(const QString& folder);

    QTabWidget* Tabs() const { return m_pTabs; }
    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CancelButton() const { return m_pCancel; }
    QPushButton* ApplyButton() const { return m_pApply; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    COptionPage* Page(int index) const { return m_pages[static_cast<std::size_t>(index)]; }
    void OnTabChanged(int index);
    void OnOK();
    void ShowPage(int index);

    const config::Config& m_config;
    // Before the pages: they refer to it.
    const COptionPrompts m_prompts;
    QTabWidget* m_pTabs;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    QPushButton* m_pApply;
    std::vector<COptionPage*> m_pages;
    CCacheOptionPage* m_pCachePage;
    int m_nCurrent = 0;
};

} // namespace options

// Command "ｵﾌﾟｼｮﾝ": shows the options sheet modally over parent. Each setting takes effect
// where it is next read.
// defaultCacheFolder is the folder an empty cache setting stands for.
void ShowOptionsSheet(QWidget* parent, const config::Config& config,
                      const QString& defaultCacheFolder);
