#include "support/TestUtil.h"

#include "masterdata/uclassStamm.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace tolvane::testutil {

bool writeKeyFile(const QString& appDir, const QString& regNr, const KeySpec& spec)
{
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(regNr, QDir(appDir).filePath(QStringLiteral("tolvane")), QString(), ok, dialogs);
    if (!ok)
        return false;
    rec.FKey.setDesKey(spec.desKey);
    rec.FKey.setKeyDate(spec.keyDate);
    rec.FDirs.setDir(TStammDirs::RootDir, spec.rootDir);
    rec.FDirs.setDirsDate(spec.keyDate);
    if (spec.issued)
        rec.FExtra1[1] = 1;
    return rec.WriteKeyFile(spec.fileName.isEmpty() ? regNr + QStringLiteral(".key") : spec.fileName);
}

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
