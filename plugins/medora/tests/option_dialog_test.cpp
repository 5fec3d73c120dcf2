// medora's search-period dialog, opened through PIN_SetupOption the way the program opens it.
#include "medora_test.h"

#include "platform/profile.h"
#include "platform/tests/temp_dir.h"

#include <QApplication>
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

struct CControls
{
    QDialog* dialog;
    QCheckBox* hasStartDate;
    QDateEdit* startDate;
    QLineEdit* period;
};

void Click(QDialog* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button->click();
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

class OptionDialog : public CMedoraTest
{
protected:
    void SetUp() override
    {
        CMedoraTest::SetUp();
        m_owner.show();
        WriteSettings("[URLParam]\nsdate=20051224\nldate=7\n");
        m_medora.GetServerName(); // the start of a run reads the file
    }

    // Opens the dialog for the window with the given id, lets act work it (a dialog left
    // open is cancelled, so no test hangs) and returns what PIN_SetupOption answered.
    bool Run(const std::function<void(const CControls&)>& act, uintptr_t owner = 0)
    {
        m_pShown = nullptr;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            m_pShown = dialog;
            m_pParent = dialog->parentWidget();
            act({dialog, dialog->findChild<QCheckBox*>(QStringLiteral("hasStartDate")),
                 dialog->findChild<QDateEdit*>(QStringLiteral("startDate")),
                 dialog->findChild<QLineEdit*>(QStringLiteral("period"))});
            if (dialog->isVisible())
                dialog->reject();
        });
        return m_medora.SetupOption(owner != 0 ? owner : m_owner.winId());
    }

    std::string Stored(const char* key) const
    {
        return platform::Profile(SettingsPath()).ReadString("URLParam", key, "(missing)");
    }

    QMainWindow m_owner;
    QDialog* m_pShown = nullptr;
    QWidget* m_pParent = nullptr;
};

TEST_F(OptionDialog, IsOwnedByTheGivenWindowAndShownOnTheGuiThreadOnly)
{
    QString caption;
    EXPECT_TRUE(Run([&](const CControls& c) { caption = c.dialog->windowTitle(); }));
    EXPECT_EQ(m_pParent, &m_owner);
    EXPECT_EQ(caption, QStringLiteral("TVメドラ・コム　オプション設定"));
    EXPECT_TRUE(Run([](const CControls&) {}, 0x7ffffff0u)); // no such window: no owner
    EXPECT_NE(m_pShown, nullptr);
    EXPECT_EQ(m_pParent, nullptr);

    bool result = true;
    std::thread([&] { result = m_medora.SetupOption(m_owner.winId()); }).join();
    EXPECT_FALSE(result);
}

TEST_F(OptionDialog, OkWithoutChangesWritesTheSameDateBack)
{
    WriteSettings("[URLParam]\nsdate=20051224\n");
    m_medora.GetServerName();
    ASSERT_TRUE(Run([](const CControls& c) {
        EXPECT_TRUE(c.hasStartDate->isChecked());
        EXPECT_EQ(c.startDate->date(), QDate(2005, 12, 24));
        EXPECT_EQ(c.period->text(), QStringLiteral("28"));
        Click(c.dialog, QStringLiteral("OK"));
    }));
    EXPECT_EQ(Stored("sdate"), "20051224");
    EXPECT_EQ(Stored("ldate"), "28");
}

TEST_F(OptionDialog, BoxOffStoresNoStartDateAndTypedDaysAreStored)
{
    ASSERT_TRUE(Run([](const CControls& c) {
        c.hasStartDate->click();
        EXPECT_FALSE(c.startDate->isEnabled());
        c.period->selectAll();
        // A letter is refused, a third digit too.
        QTest::keyClicks(c.period, QStringLiteral("1x45"));
        Click(c.dialog, QStringLiteral("OK"));
    }));
    EXPECT_EQ(Stored("sdate"), "");
    EXPECT_EQ(Stored("ldate"), "14");
    // Memory changed at once: the next address carries the parameter with no value.
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=&ldate=14&"));
}

TEST_F(OptionDialog, EmptiedDaysFieldStoresAnEmptyPeriod)
{
    ASSERT_TRUE(Run([](const CControls& c) {
        c.period->end(false);
        QTest::keyClick(c.period, Qt::Key_Backspace);
        Click(c.dialog, QStringLiteral("OK"));
    }));
    EXPECT_EQ(Stored("ldate"), "");
    m_medora.GetServerName(); // read back from the file: empty, not the default
    EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20051224&ldate=&shour="));
}

TEST_F(OptionDialog, CancelEscapeAndCloseBoxChangeNeitherMemoryNorFile)
{
    const std::string before = testing_support::ReadFileBytes(SettingsPath());
    const std::function<void(QDialog*)> closes[] = {
        [](QDialog* d) { Click(d, QStringLiteral("キャンセル")); },
        [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, [](QDialog* d) { d->close(); }};
    for (const auto& close : closes) {
        ASSERT_TRUE(Run([&](const CControls& c) {
            c.startDate->setDate(QDate(2010, 1, 2));
            c.hasStartDate->click();
            QTest::keyClicks(c.period, QStringLiteral("4"));
            close(c.dialog);
            EXPECT_FALSE(c.dialog->isVisible());
        }));
        EXPECT_EQ(testing_support::ReadFileBytes(SettingsPath()), before);
        EXPECT_THAT(m_medora.GetSearchUrl("A", kTokyo), HasSubstr("&sdate=20051224&ldate=7&"));
    }
}

TEST_F(OptionDialog, OpensOnTheStoredStartDate)
{
    // Each row: stored text, box on, date shown (none: today, where the picker starts).
    const struct
    {
        std::string stored;
        bool checked;
        QDate date;
    } rows[] = {{"20240229", true, QDate(2024, 2, 29)},
                {"2005122", false, {}},
                {"200512245", true, QDate(2005, 12, 24)}, // cut to 8 bytes on reading
                {"20050229", true, {}},                   // 8 bytes the picker refuses
                {"00011224", true, {}}};                  // before the picker's range
    for (const auto& row : rows) {
        WriteSettings("[URLParam]\nsdate=" + row.stored + "\n");
        m_medora.GetServerName();
        const QDate today = QDate::currentDate();
        ASSERT_TRUE(Run([&](const CControls& c) {
            EXPECT_EQ(c.hasStartDate->isChecked(), row.checked) << row.stored;
            if (row.date.isValid()) {
                EXPECT_EQ(c.startDate->date(), row.date) << row.stored;
            } else if (row.checked) {
                EXPECT_TRUE(c.startDate->date() == today ||
                            c.startDate->date() == QDate::currentDate());
            }
        }));
    }
}

} // namespace
