#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tolvane {

// Text inside key records is in the Windows ANSI code page, Windows-1252.
QString fromWindows1252(const QByteArray& bytes);
// Characters that Windows-1252 cannot hold become "?".
QByteArray toWindows1252(const QString& text);
// The Windows-1252 byte of one character, or -1 when Windows-1252 has none for it.
int windows1252Byte(char32_t ch);

// OLE Automation dates: days since 1899-12-30 00:00 local time, the fraction being the time
// of day. 0.0 means no date and maps to an invalid QDateTime (and back); so does a value outside
// the years 100 to 9999.
QDateTime oleDateToDateTime(double oleDate);
double dateTimeToOleDate(const QDateTime& dateTime);

} // namespace tolvane
