// "ｲﾝﾀｰﾈｯﾄ設定": defaults, enabling, refused values, the address limit and the count arrows.
#include "options_test.h"

#include "app/options/count_spin_box.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace options_test;
using config::Key;

namespace {

using InetPage = COptionsTest;

TEST_F(InetPage, FreshConfigurationShowsTheDefaultsAndEnabling)
{
    Open();
    EXPECT_EQ(m_sheet->windowTitle(), QStringLiteral("オプション"));
    EXPECT_EQ(m_sheet->Tabs()->tabText(0), QStringLiteral("ｲﾝﾀｰﾈｯﾄ設定"));
    auto* ie = Field<QCheckBox>("ieSetting");
    auto* proxy = Field<QCheckBox>("proxyEnable");
    auto* host = Field<QLineEdit>("proxyHost");
    auto* port = Field<QLineEdit>("proxyPort");
    auto* count = Field<options::CCountSpinBox>("connectNum");
    EXPECT_TRUE(ie->isChecked());
    EXPECT_EQ(ie->text(), QStringLiteral("設定をIEから取得する(&I)"));
    // The tool tip names what the check box means on this desktop.
    for (const char* variable : {"http_proxy", "no_proxy"})
        EXPECT_TRUE(ie->toolTip().contains(QLatin1String(variable))) << variable;
    EXPECT_FALSE(proxy->isChecked());
    EXPECT_EQ(port->text(), QStringLiteral("8080"));
    EXPECT_EQ(count->Text(), QStringLiteral("5"));
    // Each row: after clicking, whether proxy, host and port are enabled.
    const struct
    {
        QCheckBox* click;
        bool proxy, fields;
    } steps[] = {{nullptr, false, false}, {ie, true, false},   {proxy, true, true},
                 {proxy, true, false},    {proxy, true, true}, {ie, false, false}};
    for (const auto& step : steps) {
        if (step.click != nullptr)
            step.click->click();
        EXPECT_EQ(proxy->isEnabled(), step.proxy);
        EXPECT_EQ(host->isEnabled(), step.fields);
        EXPECT_EQ(port->isEnabled(), step.fields);
        EXPECT_TRUE(count->isEnabled());
        EXPECT_EQ(m_sheet->ApplyButton()->isEnabled(), step.click != nullptr);
    }
    EXPECT_EQ(IniBytes(), std::nullopt);
}

const QString kPortRange = QStringLiteral("Please enter an integer between 1 and 65535.");

TEST_F(InetPage, ValuesOutOfRangeAreRefusedOnOkAndOnLeavingThePageWritingNothing)
{
    const QString countRange = QStringLiteral("Please enter an integer between 1 and 10.");
    const QString notANumber = QStringLiteral("Please enter a positive integer.");
    // Each row: a field, the text put into it and the message that refuses it.
    const struct
    {
        const char* field;
        QString text;
        QString message;
    } rows[] = {{"proxyPort", QStringLiteral("0"), kPortRange},
                {"proxyPort", QStringLiteral("65536"), kPortRange},
                {"proxyPort", QStringLiteral("99999999999"), kPortRange},
                {"proxyPort", QStringLiteral(""), notANumber},
                {"proxyPort", QStringLiteral("-1"), notANumber},
                {"connectNum", QStringLiteral("0"), countRange},
                {"connectNum", QStringLiteral("11"), countRange},
                {"connectNum", QStringLiteral(""), notANumber}};
    for (const auto& row : rows) {
        for (const bool onOk : {true, false}) {
            Open();
            if (onOk) { // on leaving, the disabled proxy fields are checked all the same
                Field<QCheckBox>("ieSetting")->click();
                Field<QCheckBox>("proxyEnable")->click();
            }
            auto* field = Field<QWidget>(row.field);
            if (auto* count = dynamic_cast<options::CCountSpinBox*>(field))
                count->SetText(row.text);
            else
                static_cast<QLineEdit*>(field)->setText(row.text);
            if (onOk)
                m_sheet->OkButton()->click();
            else
                ShowTab(2);
            const std::string name = std::string(row.field) + " " + row.text.toStdString();
            EXPECT_EQ(m_messages, std::vector<QString>{row.message}) << name;
            if (field->isEnabled()) {
                EXPECT_TRUE(QApplication::focusWidget() == field ||
                            field->isAncestorOf(QApplication::focusWidget()))
                    << name;
            }
            EXPECT_TRUE(m_sheet->isVisible());
            EXPECT_EQ(m_sheet->Tabs()->currentIndex(), 0) << name;
            EXPECT_EQ(IniBytes(), std::nullopt) << name;
        }
    }
}

TEST_F(InetPage, ClickingIESettingWithAnInvalidPortShowsTheMessageAndStillEnables)
{
    Open();
    Field<QLineEdit>("proxyPort")->setText(QStringLiteral("0"));
    Field<QCheckBox>("ieSetting")->click();
    EXPECT_EQ(m_messages, std::vector<QString>{kPortRange});
    EXPECT_TRUE(Field<QCheckBox>("proxyEnable")->isEnabled());
    EXPECT_TRUE(m_sheet->ApplyButton()->isEnabled());
    EXPECT_EQ(IniBytes(), std::nullopt);
}

TEST_F(InetPage, The64thCharacterOfTheAddressCannotBeTyped)
{
    Open();
    Field<QCheckBox>("ieSetting")->click();
    Field<QCheckBox>("proxyEnable")->click();
    QTest::keyClicks(Field<QLineEdit>("proxyHost"), QString(64, QLatin1Char('h')));
    m_sheet->OkButton()->click();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(StoredText(Key::ProxyHost), std::string(63, 'h'));
}

// A longer address written by hand is neither cut nor stored back: it is refused.
TEST_F(InetPage, StoredOverlongAddressIsShownWholeAndRefused)
{
    ASSERT_TRUE(m_pConfig->WriteString(Key::ProxyHost, std::string(70, 'h')));
    const auto before = IniBytes();
    Open();
    EXPECT_EQ(Field<QLineEdit>("proxyHost")->text().size(), 70);
    m_sheet->OkButton()->click();
    EXPECT_EQ(m_messages,
              std::vector<QString>{QStringLiteral("Please enter no more than 63 characters.")});
    EXPECT_EQ(IniBytes(), before);
}

TEST_F(InetPage, CountStepsWithinOneToTenWithoutEnablingApplyAndOkStoresIt)
{
    Open();
    auto* count = Field<options::CCountSpinBox>("connectNum");
    // Each row: the text, the key pressed, the text after it.
    const struct
    {
        QString before;
        Qt::Key key;
        QString after;
    } rows[] = {{QStringLiteral("5"), Qt::Key_Up, QStringLiteral("6")},
                {QStringLiteral("10"), Qt::Key_Up, QStringLiteral("10")},
                {QStringLiteral("1"), Qt::Key_Down, QStringLiteral("1")},
                {QStringLiteral(""), Qt::Key_Up, QStringLiteral("1")},
                {QStringLiteral("25"), Qt::Key_Down, QStringLiteral("10")},
                {QStringLiteral(""), Qt::Key_7, QStringLiteral("7")},
                {QStringLiteral("7"), Qt::Key_Minus, QStringLiteral("7")}};
    for (const auto& row : rows) {
        count->SetText(row.before);
        QTest::keyClick(count, row.key);
        EXPECT_EQ(count->Text(), row.after) << row.before.toStdString() << " " << row.key;
    }
    EXPECT_FALSE(m_sheet->ApplyButton()->isEnabled());
    m_sheet->OkButton()->click();
    EXPECT_EQ(StoredInt(Key::ConnectNum), 7);
}

} // namespace
