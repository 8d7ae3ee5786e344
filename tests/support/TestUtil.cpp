#include "TestUtil.h"

#include <QFile>
#include <QProcess>

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

CliResult runCli(const QStringList& args, const QByteArray& input)
{
    QProcess p;
    p.start(QStringLiteral(TOLVANE_BIN_DIR "/tolvane-cli"), args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace tolvane::testutil
