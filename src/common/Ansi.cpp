#include "common/Ansi.h"

#include <QTimeZone>

#include <cmath>

namespace tolvane {

// Windows-1252 bytes 0x80 to 0x9F; the rest equals Latin-1. Unassigned bytes map to the C1
// control of the same value, as Windows does.
static const char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString result;
    result.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        result.append(b >= 0x80 && b < 0xA0 ? QChar(kHighTable[b - 0x80]) : QChar(b));
    }
    return result;
}

int windows1252Byte(char32_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return int(ch);
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == ch)
            return 0x80 + i;
    }
    return -1;
}

QByteArray toWindows1252(const QString& text)
{
    QByteArray result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const int byte = windows1252Byte(c.unicode());
        result.append(byte < 0 ? '?' : char(byte));
    }
    return result;
}

static const QDate kOleEpoch(1899, 12, 30);
static constexpr double kOleFirstDay = -657434.0; // 0100-01-01
static constexpr double kOleLastDay = 2958465.0;  // 9999-12-31

QDateTime oleDateToDateTime(double oleDate)
{
    // OLE dates run from 1 January 100 to 31 December 9999. A value beyond that is no date (a
    // damaged record), and its whole days would not even fit the integer below.
    if (oleDate == 0.0 || !(oleDate > kOleFirstDay - 1.0 && oleDate < kOleLastDay + 1.0))
        return {};
    // The OLE date counts whole days towards negative values too; the fraction is always the
    // time of day, regardless of the sign.
    const double whole = std::trunc(oleDate);
    const double fraction = std::fabs(oleDate - whole);
    qint64 msecs = qint64(std::llround(fraction * 86400000.0));
    qint64 days = qint64(whole);
    if (msecs >= 86400000) {
        msecs -= 86400000;
        days += oleDate < 0 ? -1 : 1;
    }
    const QDate date = kOleEpoch.addDays(days);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

double dateTimeToOleDate(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    const qint64 days = kOleEpoch.daysTo(local.date());
    const double fraction = local.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

} // namespace tolvane
