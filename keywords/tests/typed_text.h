#pragma once

#include <QString>

#include <utility>

namespace testing_support {

// Text a test types, written in tables as UTF-8 literals (the strict Qt settings allow no
// implicit conversion) or built as a QString where a literal cannot say it (a lone surrogate).
struct TypedText
{
    TypedText(const char* utf8)
        : value(QString::fromUtf8(utf8))
    {}
    TypedText(QString text)
        : value(std::move(text))
    {}
    operator const QString&() const { return value; }

    QString value;
};

} // namespace testing_support
