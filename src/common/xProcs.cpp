#include "common/xProcs.h"

#include "common/FileVersion.h"

#include <QFile>
#include <QRegularExpression>

namespace tolvane {

int FieldCount(const QString& text, QChar separator)
{
    if (text.isEmpty())
        return 0;
    return 1 + int(text.count(separator));
}

QString ExtractField(const QString& text, QChar separator, int index)
{
    if (index < 0)
        return {};
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            return {};
        start = next + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QString ReplaceChar(const QString& text, QChar c, const QString& replacement)
{
    QString result = text;
    result.replace(c, replacement);
    return result;
}

std::optional<qint32> textToInt(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i < n && (text.at(i) == u'x' || text.at(i) == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > qint64(1) << 32)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < -0x80000000LL || value > 0x7fffffffLL)
        return std::nullopt;
    return qint32(value);
}

QString asciiLower(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return result;
}

QString GetFileVersionString(const QString& path)
{
    // Keeps the stamp linked into every binary that can show a version, even from a static library.
    static const char* const ownStamp = fileVersionStamp();
    Q_UNUSED(ownStamp);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    // The marker is put together at run time, so this function's own code never matches it.
    const QByteArray marker = QByteArray(kFileVersionMarkerHead) + kFileVersionMarkerTail;
    static const QRegularExpression versionPattern(QStringLiteral("^(\\d{1,5})\\.(\\d{1,5})\\.(\\d{1,5})\\.(\\d{1,5})\\$"));
    QByteArray window;
    const qint64 chunk = 1 << 20;
    while (!file.atEnd()) {
        const QByteArray data = file.read(chunk);
        if (data.isEmpty())
            break;
        window += data;
        qsizetype at = window.indexOf(marker);
        while (at >= 0) {
            const QString rest = QString::fromLatin1(window.mid(at + marker.size(), 32));
            const QRegularExpressionMatch m = versionPattern.match(rest);
            if (m.hasMatch()) {
                QStringList parts;
                for (int i = 1; i <= 4; ++i)
                    parts << QString::number(m.captured(i).toUInt() & 0xffff);
                return parts.join(u'.');
            }
            if (at + marker.size() + 32 > window.size())
                break; // the version may continue in the next chunk
            at = window.indexOf(marker, at + 1);
        }
        // keep a tail long enough for a marker cut by the chunk boundary
        if (window.size() > marker.size() + 64)
            window = window.right(marker.size() + 64);
    }
    return QStringLiteral("?");
}

} // namespace tolvane
