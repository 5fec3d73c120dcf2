// medora's search-period dialog, opened through PIN_SetupOption the way the program opens it.
#include "medora_test.h"

#include "platform/profile.h"
#include "platform/tests/temp_dir.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gmock/gmock.h>

#include <functional>
#include <thread>

using namespace medora_test;
using ::testing::HasSubstr;

namespace {

struct CDialogControls
{
    QDialog* dialog;
    QCheckBox* hasStartDate;
    QDateEdit* startDate;
    QLineEdit* period;
};

QPushButton* Button(QDialog& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

void Click(QDialog& dialog, const QString& text)
{
    if (QPushButton* button = Button(dialog, text))
        button->click();
}

class OptionDialog : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        m_owner.show();
    }

    // Opens the dialog owned by the window with the given id, lets act work it, and returns
    // what PIN_SetupOption returned. A dialog act leaves open is cancelled, so no test hangs.
    bool Run(const std::function<void(const CDialogControls&)>& act, uintptr_t owner)
    {
        m_bShown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "no modal dialog";
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (auto* open = qobject_cast<QDialog*>(widget); open && open->isVisible())
                        open->reject();
                }
                return;
            }
            m_bShown = true;
            m_pParent = dialog->parentWidget();
            m_strCaption = dialog->windowTitle();
            const CDialogControls controls{dialog, dialog->findChild<QCheckBox*>("hasStartDate"),
                                           dialog->findChild<QDateEdit*>("startDate"),
                                           dialog->findChild<QLineEdit*>("period")};
            if (controls.hasStartDate && controls.startDate && controls.period)
                act(controls);
            else
                ADD_FAILURE() << "controls missing";
            if (dialog->isVisible())
                dialog->reject();
        });
        return m_medora.SetupOption(owner);
    }

    bool Run(const std::function<void(const CDialogControls&)>& act)
    {
        return Run(act, m_owner.winId());
    }

    QMainWindow m_owner;
    bool m_bShown = false;
    QWidget* m_pParent = nullptr;
    QString m_strCaption;
};

TEST_F(OptionDialog, IsOwnedByTheWindowItIsGiven)
{
    EXPECT_TRUE(m_medora.HasSetupOption());
    EXPECT_TRUE(Run([](const CDialogControls& c) { Click(*c.dialog, "OK"); }));
    EXPECT_TRUE(m_bShown);
    EXPECT_EQ(m_pParent, &m_owner);
    EXPECT_EQ(m_strCaption, QStringLiteral("TVメドラ・コム　オプション設定"));
}

TEST_F(OptionDialog, UnknownOwnerStillShowsTheDialog)
{
    EXPECT_TRUE(Run([](const CDialogControls& c) { Click(*c.dialog, "OK"); }, 0x7ffffff0u));
    EXPECT_TRUE(m_bShown);
    EXPECT_EQ(m_pParent, nullptr);
}

TEST_F(OptionDialog, RefusesAThreadOtherThanTheHostsGuiThread)
{
    bool result = true;
    std::thread other([&] { result = m_medora.SetupOption(m_owner.winId()); });
    other.join();
    EXPECT_FALSE(result);
}

TEST_F(OptionDialog, OkWithoutChangesWritesTheSameDateBack)
{
    WriteSettings("[URLParam]\nsdate=20051224\nldate=7\n");
    m_medora.GetServerName(); // the start of a run reads the file
    bool checked = false;
    QDate shown;
    QString period;
    ASSERT_TRUE(Run([&](const CDialogControls& c) {
        checked = c.hasStartDate->isChecked();
        shown = c.startDate->date();
        period = c.period->text();
        Click(*c.dialog, "OK");
    }));
    EXPECT_TRUE(checked);
    EXPECT_EQ(shown, QDate(2005, 12, 24));
    EXPECT_EQ(period, "7");
    const platform::CProfile saved(SettingsPath());
    EXPECT_EQ(saved.ReadString("URLParam", "sdate", "missing"), "20051224");
    EXPECT_EQ(saved.ReadString("URLParam", "ldate", "missing"), "7");
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20051224&ldate=7&"));
}

TEST_F(OptionDialog, BoxOffStoresNoStartDate)
{
    WriteSettings("[URLParam]\nsdate=20051224\nldate=7\n");
    m_medora.GetServerName();
    ASSERT_TRUE(Run([](const CDialogControls& c) {
        c.hasStartDate->click();
        EXPECT_FALSE(c.startDate->isEnabled());
        Click(*c.dialog, "OK");
    }));
    EXPECT_EQ(platform::CProfile(SettingsPath()).ReadString("URLParam", "sdate", "missing"), "");
    // Memory changed at once: the next address carries the parameter with no value.
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=&ldate=7&"));
}

TEST_F(OptionDialog, PickedDateAndTypedDaysAreStored)
{
    ASSERT_TRUE(Run([](const CDialogControls& c) {
        EXPECT_FALSE(c.hasStartDate->isChecked());
        c.hasStartDate->click();
        c.startDate->setDate(QDate(2026, 3, 9));
        c.period->selectAll();
        QTest::keyClicks(c.period, "1x45"); // a letter is refused, a third digit too
        Click(*c.dialog, "OK");
    }));
    const platform::CProfile saved(SettingsPath());
    EXPECT_EQ(saved.ReadString("URLParam", "sdate", "missing"), "20260309");
    EXPECT_EQ(saved.ReadString("URLParam", "ldate", "missing"), "14");
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20260309&ldate=14&"));
}

TEST_F(OptionDialog, EmptiedDaysFieldStoresAnEmptyPeriod)
{
    ASSERT_TRUE(Run([](const CDialogControls& c) {
        EXPECT_EQ(c.period->text(), "28");
        c.period->setFocus();
        c.period->end(false);
        QTest::keyClick(c.period, Qt::Key_Backspace);
        QTest::keyClick(c.period, Qt::Key_Backspace);
        Click(*c.dialog, "OK");
    }));
    EXPECT_EQ(platform::CProfile(SettingsPath()).ReadString("URLParam", "ldate", "missing"), "");
    m_medora.GetServerName(); // read back from the file: empty, not the default
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=&ldate=&shour="));
}

// Each row: one way of leaving the dialog without OK.
struct CCloseCase
{
    const char* name;
    std::function<void(QDialog&)> close;
};

void PrintTo(const CCloseCase& row, std::ostream* os)
{
    *os << row.name;
}

class ClosingWithoutOk : public OptionDialog, public ::testing::WithParamInterface<CCloseCase>
{
};

TEST_P(ClosingWithoutOk, ChangesNeitherMemoryNorFile)
{
    WriteSettings("[URLParam]\nsdate=20051224\nldate=7\n");
    m_medora.GetServerName();
    const std::string before = testing_support::ReadFileBytes(SettingsPath());
    ASSERT_TRUE(Run([this](const CDialogControls& c) {
        c.startDate->setDate(QDate(2010, 1, 2));
        c.period->selectAll();
        QTest::keyClicks(c.period, "14");
        GetParam().close(*c.dialog);
        EXPECT_FALSE(c.dialog->isVisible());
    }));
    EXPECT_EQ(testing_support::ReadFileBytes(SettingsPath()), before);
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20051224&ldate=7&"));
}

INSTANTIATE_TEST_SUITE_P(
    Medora, ClosingWithoutOk,
    ::testing::Values(
        CCloseCase{"CancelButton", [](QDialog& d) { Click(d, QStringLiteral("キャンセル")); }},
        CCloseCase{"EscapeKey", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        CCloseCase{"CloseBox", [](QDialog& d) { d.close(); }}),
    RowName<CCloseCase>);

// Each row: a stored start date and what the picker shows; an empty date means today.
struct COpeningCase
{
    const char* name;
    std::string stored;
    bool checked;
    QDate date;
};

void PrintTo(const COpeningCase& row, std::ostream* os)
{
    *os << row.name;
}

class OpeningWith : public OptionDialog, public ::testing::WithParamInterface<COpeningCase>
{
};

TEST_P(OpeningWith, StoredStartDate)
{
    WriteSettings("[URLParam]\nsdate=" + GetParam().stored + "\n");
    m_medora.GetServerName();
    const QDate today = QDate::currentDate();
    bool checked = !GetParam().checked;
    QDate shown;
    ASSERT_TRUE(Run([&](const CDialogControls& c) {
        checked = c.hasStartDate->isChecked();
        shown = c.startDate->date();
    }));
    EXPECT_EQ(checked, GetParam().checked);
    if (GetParam().date.isValid()) {
        EXPECT_EQ(shown, GetParam().date);
    } else if (GetParam().checked) {
        EXPECT_TRUE(shown == today || shown == QDate::currentDate()) << "not today";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Medora, OpeningWith,
    ::testing::Values(COpeningCase{"EightDigits", "20051224", true, QDate(2005, 12, 24)},
                      COpeningCase{"LeapDay", "20240229", true, QDate(2024, 2, 29)},
                      COpeningCase{"Empty", "", false, {}},
                      COpeningCase{"SevenBytes", "2005122", false, {}},
                      COpeningCase{"NineBytesAreCutToEight", "200512245", true,
                                   QDate(2005, 12, 24)},
                      // Eight bytes the picker refuses leave it as it starts: today, checked.
                      COpeningCase{"NoSuchDay", "20050229", true, {}},
                      COpeningCase{"MonthNotANumber", "2005ab24", true, {}},
                      COpeningCase{"BeforeThePickersRange", "00011224", true, {}}),
    RowName<COpeningCase>);

} // namespace
