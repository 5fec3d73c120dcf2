#pragma once

#include "keywords/keyword_encoding.h"

#include <QString>

#include <functional>
#include <string_view>

// Texts of the keyword list and the one conversion from keyword bytes to what it shows.
namespace keywords {

inline const QString kKeywordColumnTitle = QStringLiteral("検索ｷｰﾜｰﾄﾞ");
inline const QString kStatusColumnTitle = QStringLiteral("ｽﾃｰﾀｽ");
inline const QString kDuplicateKeywordText =
    QStringLiteral("指定されたｷｰﾜｰﾄﾞは既に存在します。\n別のｷｰﾜｰﾄﾞを指定してください。");
// A keyword file holds one keyword per line, and the search passes keywords as zero-terminated
// texts, so neither a line break nor NUL can be part of a keyword.
inline const QString kLineBreakText = QStringLiteral("ｷｰﾜｰﾄﾞに改行や NUL 文字は使えません。");
// Follows the converter's own reason when a typed keyword has no code page 932 form.
inline const QString kChooseAnotherText = QStringLiteral("別のｷｰﾜｰﾄﾞを指定してください。");

// Keyword bytes of the encoding as shown; bytes not valid in it show as U+FFFD.
QString ShownText(std::string_view bytes, TextEncoding encoding);

// What the user typed as keyword bytes of the encoding, or why it cannot be a keyword. Text
// with a lone surrogate (which no conversion keeps) is refused as well.
platform::Result<std::string> TypedKeyword(const QString& text, TextEncoding encoding);

// True for a text with CR, LF or NUL in it.
bool HasLineBreak(const QString& text);

// The list's text search: whole texts, letter case ignored (full-width letters too).
bool SameShownText(const QString& a, const QString& b);

// The name the add command gives a new keyword: "新規ｷｰﾜｰﾄﾞ", else the first of
// "新規ｷｰﾜｰﾄﾞ (2)", "新規ｷｰﾜｰﾄﾞ (3)", ... that taken() refuses.
QString NewKeywordName(const std::function<bool(const QString&)>& taken);

} // namespace keywords
