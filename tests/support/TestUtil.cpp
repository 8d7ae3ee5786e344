#include "TestUtil.h"

#include <QFile>

namespace tolvane::testutil {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray fromHex(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex));
}

QString dataFile(const QString& name)
{
    return QStringLiteral(TOLVANE_TEST_DATA "/") + name;
}

} // namespace tolvane::testutil
