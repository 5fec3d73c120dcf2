#include "option_dialog.h"

#include "settings.h"

#include "platform/cp932.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cstdlib>
#include <string>

namespace medora {
namespace {

// The picker's range; a stored day outside it is refused like one that does not exist.
const QDate kFirstDay(1601, 1, 1);
const QDate kLastDay(9999, 12, 31);

// The decimal value of one piece of the stored date, read as a C library conversion would:
// "12" is 12, "1x" is 1, "xx" is 0 (which no month or day accepts).
int PieceValue(std::string_view startDate, std::size_t from, std::size_t length)
{
    return std::atoi(std::string(startDate.substr(from, length)).c_str());
}

QString Local(std::string_view cp932)
{
    return QString::fromStdString(platform::Cp932ToUtf8(cp932));
}

} // namespace

QDate StartDateToDate(std::string_view startDate)
{
    if (startDate.size() != kStartDateBytes)
        return {};
    const QDate date(PieceValue(startDate, 0, 4), PieceValue(startDate, 4, 2),
                     PieceValue(startDate, 6, 2));
    if (!date.isValid() || date < kFirstDay || date > kLastDay)
        return {};
    return date;
}

COptionDialog::COptionDialog(QWidget* owner)
    : QDialog(owner)
    , m_pHasStartDate(new QCheckBox)
    , m_pStartDate(new QDateEdit)
    , m_pPeriod(new QLineEdit)
{
    setWindowTitle(QStringLiteral("TVメドラ・コム　オプション設定"));
    setModal(true);

    m_pHasStartDate->setObjectName(QStringLiteral("hasStartDate"));
    m_pHasStartDate->setAccessibleName(QStringLiteral("検索範囲"));
    m_pStartDate->setObjectName(QStringLiteral("startDate"));
    m_pStartDate->setDateRange(kFirstDay, kLastDay);
    m_pStartDate->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_pStartDate->setCalendarPopup(true);
    m_pPeriod->setObjectName(QStringLiteral("period"));
    m_pPeriod->setMaxLength(static_cast<int>(kPeriodBytes));
    m_pPeriod->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pPeriod));
    // With the box off the picker holds no date, so there is nothing in it to edit.
    connect(m_pHasStartDate, &QCheckBox::toggled, m_pStartDate, &QWidget::setEnabled);

    auto* range = new QGroupBox(QStringLiteral("検索範囲"));
    auto* rangeLayout = new QGridLayout(range);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_pHasStartDate);
    dateRow->addWidget(m_pStartDate);
    rangeLayout->addLayout(dateRow, 0, 0);
    rangeLayout->addWidget(new QLabel(QStringLiteral("から")), 0, 1);
    rangeLayout->addWidget(m_pPeriod, 1, 0, Qt::AlignLeft);
    rangeLayout->addWidget(new QLabel(QStringLiteral("日間")), 1, 1);
    m_pPeriod->setFixedWidth(m_pPeriod->fontMetrics().horizontalAdvance(QStringLiteral("000")) +
                             12);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &COptionDialog::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(range);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The picker starts on today, checked; a stored day it refuses leaves it so.
    m_pStartDate->setDate(QDate::currentDate());
    m_pHasStartDate->setChecked(true);
    const std::string& startDate = StartDate();
    if (startDate.size() != kStartDateBytes)
        m_pHasStartDate->setChecked(false);
    else if (const QDate date = StartDateToDate(startDate); date.isValid())
        m_pStartDate->setDate(date);
    m_pPeriod->setText(Local(Period()));
}

void COptionDialog::OnOK()
{
    if (m_pHasStartDate->isChecked()) {
        const QDate date = m_pStartDate->date();
        SetStartDate(
            QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day()).toStdString());
    } else {
        SetStartDate("");
    }
    // An untouched field keeps the stored bytes, even ones that do not display.
    if (m_pPeriod->isModified()) {
        const platform::Result<std::string> period =
            platform::Utf8ToCp932(m_pPeriod->text().toStdString());
        if (period)
            SetPeriod(period.value);
    }
    SaveSettings();
    accept();
}

} // namespace medora
