// "キャッシュ設定": the folder browser and the stored bytes of the folder.
#include "options_test.h"

#include <QLineEdit>
#include <QPushButton>

using namespace options_test;
using config::Key;

namespace {

using CachePage = COptionsTest;

TEST_F(CachePage, BrowserFillsTheFieldWithoutATrailingSlash)
{
    const QString longPath = QLatin1Char('/') + QString(300, QLatin1Char('d'));
    // Each row: the field's text, the browser's answer (none: cancelled), the field after.
    const struct
    {
        QString before;
        std::optional<QString> answer;
        QString after;
    } rows[] = {
        {QString(), QStringLiteral("/srv/cache"), QStringLiteral("/srv/cache")},
        {QStringLiteral("/old"), QStringLiteral("/srv/cache/"), QStringLiteral("/srv/cache")},
        // The root keeps its "/": empty means the default.
        {QStringLiteral("/old"), QStringLiteral("/"), QStringLiteral("/")},
        {QString(), QStringLiteral("/home/ユーザー/録画"), QStringLiteral("/home/ユーザー/録画")},
        {longPath, std::nullopt, longPath}}; // a cancel cuts nothing
    Open();
    ShowTab(1);
    auto* dir = Field<QLineEdit>("cacheDir");
    for (const auto& row : rows) {
        dir->setText(row.before);
        m_browseAnswer = row.answer;
        Field<QPushButton>("browse")->click();
        EXPECT_EQ(m_browsed.first, QStringLiteral("フォルダを選択してください。"));
        EXPECT_EQ(m_browsed.second, row.before);
        EXPECT_EQ(dir->text(), row.after);
    }
    EXPECT_FALSE(m_sheet->ApplyButton()->isEnabled());
    m_sheet->OkButton()->click();
    EXPECT_EQ(StoredText(Key::CacheDirectory), longPath.toStdString());
}

// A folder name that is not UTF-8 shows with replacement characters; unless the user edits
// the field, its bytes go back as they were.
TEST_F(CachePage, UndisplayableBytesSurviveOkUnlessEdited)
{
    const std::string stored = "/data/\xff\xfe cache";
    for (const bool edit : {false, true}) {
        ASSERT_TRUE(m_pConfig->WriteString(Key::CacheDirectory, stored));
        Open();
        ShowTab(1);
        auto* dir = Field<QLineEdit>("cacheDir");
        if (edit)
            dir->setText(dir->text() + QStringLiteral("2"));
        m_sheet->OkButton()->click();
        EXPECT_EQ(StoredText(Key::CacheDirectory), edit ? dir->text().toStdString() : stored);
    }
}

// The empty field shows the folder an empty setting stands for, and stays empty: the shown
// folder is not stored as if the user had typed it.
TEST_F(CachePage, EmptyFieldShowsTheDefaultFolderWithoutStoringIt)
{
    const QString fallback = QStringLiteral("/home/user/.local/share/vistrel/Cache");
    // Each row: what is stored before, the field's text and what OK stores.
    const struct
    {
        std::string stored;
        QString shown;
    } rows[] = {{"", QString()}, {"/srv/cache", QStringLiteral("/srv/cache")}};
    for (const auto& row : rows) {
        ASSERT_TRUE(m_pConfig->WriteString(Key::CacheDirectory, row.stored));
        Open();
        m_sheet->SetDefaultCacheFolder(fallback);
        ShowTab(1);
        auto* dir = Field<QLineEdit>("cacheDir");
        EXPECT_EQ(dir->text(), row.shown);
        EXPECT_EQ(dir->placeholderText(), fallback);
        m_sheet->OkButton()->click();
        EXPECT_EQ(StoredText(Key::CacheDirectory), row.stored);
    }
}

} // namespace
