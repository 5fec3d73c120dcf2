#include "app/options/option_exchange.h"

#include "app/options/option_prompts.h"

#include <QAbstractSpinBox>
#include <QLineEdit>

#include <limits>

namespace options {

void ShowRefusal(const CRefusal& refusal, const COptionPrompts& prompts)
{
    prompts.message(refusal.field, refusal.message);
    refusal.field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(refusal.field))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(refusal.field))
        spin->selectAll();
}

std::optional<CRefusal> TakeText(QWidget* field, const QString& text, int maxChars, QString& value)
{
    if (text.size() > maxChars)
        return CRefusal{field,
                        QStringLiteral("Please enter no more than %1 characters.").arg(maxChars)};
    value = text;
    return std::nullopt;
}

std::optional<CRefusal> TakeUInt(QWidget* field, const QString& text, std::uint32_t min,
                                 std::uint32_t max, std::uint32_t& value)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return CRefusal{field, QStringLiteral("Please enter a positive integer.")};
    // Saturates: a number too long for 32 bits is out of range, not "not a number".
    std::uint64_t number = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return CRefusal{field, QStringLiteral("Please enter a positive integer.")};
        number = std::min<std::uint64_t>(number * 10 + (c.unicode() - '0'),
                                         std::numeric_limits<std::uint32_t>::max() + 1ull);
    }
    if (number < min || number > max)
        return CRefusal{
            field, QStringLiteral("Please enter an integer between %1 and %2.").arg(min).arg(max)};
    value = static_cast<std::uint32_t>(number);
    return std::nullopt;
}

CStoredText::CStoredText(std::string bytes)
    : m_strBytes(std::move(bytes))
    , m_strShown(QString::fromStdString(m_strBytes))
{}

std::string CStoredText::ToStore(const QString& text) const
{
    return text == m_strShown ? m_strBytes : text.toStdString();
}

} // namespace options
