#include "app/options/count_spin_box.h"

#include <QLineEdit>

#include <algorithm>

namespace options {

CCountSpinBox::CCountSpinBox(int min, int max, QWidget* parent)
    : QAbstractSpinBox(parent)
    , m_nMin(min)
    , m_nMax(max)
{
    setAlignment(Qt::AlignRight);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

QString CCountSpinBox::Text() const
{
    return lineEdit()->text();
}

void CCountSpinBox::SetText(const QString& text)
{
    lineEdit()->setText(text);
}

long long CCountSpinBox::Value() const
{
    bool ok = false;
    const QString text = Text();
    const long long value = text.size() <= 18 ? text.toLongLong(&ok) : 0;
    return ok ? value : static_cast<long long>(m_nMin) - 1;
}

void CCountSpinBox::stepBy(int steps)
{
    const long long value = std::clamp<long long>(Value() + steps, m_nMin, m_nMax);
    SetText(QString::number(value));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled CCountSpinBox::stepEnabled() const
{
    const long long value = Value();
    StepEnabled enabled = StepNone;
    if (value < m_nMax)
        enabled |= StepUpEnabled;
    if (value > m_nMin)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State CCountSpinBox::validate(QString& input, int& /*pos*/) const
{
    const bool digits =
        std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digits ? QValidator::Acceptable : QValidator::Invalid;
}

} // namespace options
