#include "keywords/view/keyword_text.h"

#include "platform/utf8.h"

namespace keywords {

QString ShownText(std::string_view bytes, TextEncoding encoding)
{
    return QString::fromStdString(KeywordToUtf8(bytes, encoding));
}

platform::Result<std::string> TypedKeyword(const QString& text, TextEncoding encoding)
{
    if (!QStringView(text).isValidUtf16())
        return platform::Failure{std::string(platform::kNotUtf8Text)};
    return KeywordFromUtf8(text.toStdString(), encoding);
}

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
           text.contains(QChar::Null);
}

bool SameShownText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

QString NewKeywordName(const std::function<bool(const QString&)>& taken)
{
    const QString base = QStringLiteral("新規ｷｰﾜｰﾄﾞ");
    QString name = base;
    for (qint64 n = 2; taken(name); ++n)
        name = base + QStringLiteral(" (%1)").arg(n);
    return name;
}

} // namespace keywords
