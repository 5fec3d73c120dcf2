// The sheet: when pages load and store, OK, Apply, Cancel, and a file that cannot be written.
#include "options_test.h"

#include "app/options/option_prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace options_test;
using config::Key;

namespace {

using OptionSheet = COptionsTest;

TEST_F(OptionSheet, OkAfterShowingOnlyTheFirstPageWritesOnlyItsFiveKeys)
{
    Open();
    m_sheet->OkButton()->click();
    EXPECT_EQ(m_sheet->result(), QDialog::Accepted);
    EXPECT_EQ(StoredInt(Key::ProxyIESetting), 1);
    EXPECT_EQ(StoredInt(Key::ProxyEnable), 0);
    EXPECT_EQ(StoredText(Key::ProxyHost), "");
    EXPECT_EQ(StoredInt(Key::ProxyPort), 8080);
    EXPECT_EQ(StoredInt(Key::ConnectNum), 5);
    EXPECT_EQ(StoredText(Key::CacheDirectory), "(missing)");
    EXPECT_EQ(StoredInt(Key::OpenAuto), kMissing);
}

TEST_F(OptionSheet, PagesLoadWhenFirstShownAndOkStoresEachOneShown)
{
    Open();
    ASSERT_TRUE(m_pConfig->WriteString(Key::CacheDirectory, "/written/after/opening"));
    ShowTab(1);
    EXPECT_EQ(m_sheet->Tabs()->tabText(1), QStringLiteral("キャッシュ設定"));
    auto* dir = Field<QLineEdit>("cacheDir");
    EXPECT_EQ(dir->text(), QStringLiteral("/written/after/opening"));
    dir->setText(QStringLiteral("/srv/cache"));
    ShowTab(2);
    EXPECT_EQ(m_sheet->Tabs()->tabText(2), QStringLiteral("その他設定"));
    EXPECT_FALSE(Field<QCheckBox>("openAuto")->isChecked());
    Field<QCheckBox>("openAuto")->click();
    EXPECT_FALSE(m_sheet->ApplyButton()->isEnabled()) << "neither page marks itself modified";
    m_sheet->OkButton()->click();
    EXPECT_EQ(StoredText(Key::CacheDirectory), "/srv/cache");
    EXPECT_EQ(StoredInt(Key::OpenAuto), 1);
    EXPECT_EQ(StoredInt(Key::ConnectNum), 5);
}

TEST_F(OptionSheet, CancelAfterApplyKeepsWhatApplyStored)
{
    Open();
    Field<QCheckBox>("ieSetting")->click();
    Field<QCheckBox>("proxyEnable")->click();
    QTest::keyClicks(Field<QLineEdit>("proxyHost"), QStringLiteral("proxy.example"));
    m_sheet->ApplyButton()->click();
    EXPECT_FALSE(m_sheet->ApplyButton()->isEnabled());
    EXPECT_TRUE(m_sheet->isVisible());
    EXPECT_EQ(StoredInt(Key::ProxyIESetting), 0);
    EXPECT_EQ(StoredInt(Key::ProxyEnable), 1);
    EXPECT_EQ(StoredText(Key::ProxyHost), "proxy.example");
    const auto applied = IniBytes();

    QTest::keyClicks(Field<QLineEdit>("proxyPort"), QStringLiteral("1"));
    EXPECT_TRUE(m_sheet->ApplyButton()->isEnabled());
    m_sheet->CancelButton()->click();
    EXPECT_EQ(m_sheet->result(), QDialog::Rejected);
    EXPECT_EQ(IniBytes(), applied);
}

TEST_F(OptionSheet, UnwritableSettingsAreReportedAndTheSheetStaysOpen)
{
    m_pConfig = std::make_unique<config::Config>(m_dir.File("no-such-folder/Vistrel.ini"));
    Open();
    m_sheet->OkButton()->click();
    EXPECT_TRUE(m_sheet->isVisible());
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral("設定を書き込めませんでした。\n") +
                                               QString::fromStdString(m_pConfig->GetPath())});
}

TEST(OptionPrompts, MessageBoxesAreCaptionedVistrel)
{
    QString caption;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            caption = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    options::QtOptionPrompts().message(nullptr, QStringLiteral("Please enter a positive integer."));
    EXPECT_EQ(caption, QStringLiteral("Vistrel"));
}

} // namespace
