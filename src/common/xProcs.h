#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace tolvane {

// 0 for the empty text, otherwise 1 + the number of separators in text.
int FieldCount(const QString& text, QChar separator);
// The field with the given index (from 0) between separators; empty past the last field.
QString ExtractField(const QString& text, QChar separator, int index);
// text with every occurrence of c replaced by replacement.
QString ReplaceChar(const QString& text, QChar c, const QString& replacement);

// Text to a signed 32-bit integer: leading blanks, one optional sign, then decimal digits, or
// hexadecimal digits after "$", "x" or "0x" (x in either case). Anything else fails, trailing
// blanks included, and so does a value outside the 32-bit range.
std::optional<qint32> textToInt(const QString& text);

// Lower-casing of the ASCII letters A to Z only.
QString asciiLower(const QString& text);

// The four-part version text stamped into one of our binaries, or "?" when the file has none or
// cannot be read.
QString GetFileVersionString(const QString& path);

} // namespace tolvane
