#pragma once

#include <QDate>
#include <QDialog>

#include <string_view>

class QCheckBox;
class QDateEdit;
class QLineEdit;

namespace medora {

// "YYYYMMDD" as a date; an invalid date for any other length or for a day that does not exist.
QDate StartDateToDate(std::string_view startDate);

// The search-period dialog: a first day (or none) and a number of days. It shows the values
// in memory; OK puts the edited values into memory and medora.ini at once, any other way of
// closing changes nothing.
class COptionDialog : public QDialog
{
public:
    explicit COptionDialog(QWidget* owner);

private:
    void OnOK();

    QCheckBox* m_pHasStartDate;
    QDateEdit* m_pStartDate;
    QLineEdit* m_pPeriod;
};

} // namespace medora
