#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace options {

struct COptionPrompts;

// Taking the values of a page from its controls: each check either gives a value or refuses
// the text with the message the user sees, naming the control that is to get the focus.
struct CRefusal
{
    QWidget* field;
    QString message;
};

// Shows the refusal's message, then puts the focus on its control with the text selected.
void ShowRefusal(const CRefusal& refusal, const COptionPrompts& prompts);

// Text of at most maxChars characters.
std::optional<CRefusal> TakeText(QWidget* field, const QString& text, int maxChars, QString& value);

// A decimal number of digits only, from min to max.
std::optional<CRefusal> TakeUInt(QWidget* field, const QString& text, std::uint32_t min,
                                 std::uint32_t max, std::uint32_t& value);

// A text value of Vistrel.ini (a path or a host name, UTF-8 bytes) as a field shows it. The
// stored bytes go back unchanged unless the user changed the text, so bytes that do not
// display are never replaced by the ones shown for them.
class CStoredText
{
public:
    CStoredText() = default;
    explicit CStoredText(std::string bytes);

    const QString& Shown() const { return m_strShown; }
    std::string ToStore(const QString& text) const;

private:
    std::string m_strBytes;
    QString m_strShown;
};

} // namespace options
