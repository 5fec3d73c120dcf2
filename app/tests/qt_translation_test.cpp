#include "app/qt_translation.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace app_test {
namespace {

// The standard buttons' texts without their mnemonic, as the user reads them.
QString ButtonText(QMessageBox& box, QMessageBox::StandardButton which)
{
    QString text = box.button(which)->text();
    text.remove(QLatin1Char('&'));
    const qsizetype mnemonic = text.indexOf(QLatin1Char('('));
    return mnemonic < 0 ? text : text.left(mnemonic);
}

// Takes every translator off again, so that each case starts from Qt's English.
class QtTranslation : public testing::Test
{
protected:
    void TearDown() override
    {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

struct LocaleCase
{
    const char* locale;
    bool translated;
    const char* yes;
    const char* no;
    const char* cancel;
};

class QtTranslationByLocale : public QtTranslation, public testing::WithParamInterface<LocaleCase>
{
};

TEST_P(QtTranslationByLocale, QuestionButtonsReadInTheLocalesLanguage)
{
    const LocaleCase& c = GetParam();
    EXPECT_EQ(app::InstallQtTranslation(*qApp, QLocale(QString::fromUtf8(c.locale))), c.translated);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vistrel"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(ButtonText(box, QMessageBox::Yes), QString::fromUtf8(c.yes));
    EXPECT_EQ(ButtonText(box, QMessageBox::No), QString::fromUtf8(c.no));
    EXPECT_EQ(ButtonText(box, QMessageBox::Cancel), QString::fromUtf8(c.cancel));
}

INSTANTIATE_TEST_SUITE_P(Locales, QtTranslationByLocale,
                         testing::Values(LocaleCase{"ja_JP", true, "はい", "いいえ", "キャンセル"},
                                         LocaleCase{"ja", true, "はい", "いいえ", "キャンセル"},
                                         LocaleCase{"en_US", false, "Yes", "No", "Cancel"},
                                         LocaleCase{"C", false, "Yes", "No", "Cancel"}));

// Run by CTest under a given LANG, with the "yes" text that locale reads: the locale Qt
// takes from the environment is the one the translation follows.
TEST_F(QtTranslation, SystemLocaleFollowsLang)
{
    const QByteArray expected = qgetenv("VISTREL_EXPECTED_YES");
    if (expected.isEmpty())
        GTEST_SKIP() << "run by CTest with LANG and VISTREL_EXPECTED_YES set";
    app::InstallQtTranslation(*qApp, QLocale::system());
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vistrel"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ButtonText(box, QMessageBox::Yes), QString::fromUtf8(expected));
}

} // namespace
} // namespace app_test
