#include "masterdata/StammText.h"

#include "common/Ansi.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace tolvane {

QString standText(double keyDate)
{
    const QDateTime dt = oleDateToDateTime(keyDate);
    // A value that is no date at all (only a damaged record holds one) tells nothing either.
    if (std::trunc(keyDate) == 0.0 || !dt.isValid())
        return QStringLiteral("Stand: bisher keine Angaben");
    const QLocale locale;
    QString text = QStringLiteral("Stand: ") + locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0)) {
        // The long time format without the time zone, as a desktop shows it.
        static const QRegularExpression zone(QStringLiteral("\\s*t+"));
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(zone);
        text += u' ' + locale.toString(dt.time(), format.trimmed());
    }
    return text;
}

} // namespace tolvane
