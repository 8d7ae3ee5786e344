#include "support/TestUtil.h"

#include "masterdata/uclassStamm.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>
#include <QProcess>

#include <csignal>
#include <sys/resource.h>

namespace tolvane::testutil {

bool writeKeyFile(const QString& appDir, const QString& regNr, const KeySpec& key)
{
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(regNr, QDir(appDir).filePath(QStringLiteral("tolvane")), QString(), ok, dialogs);
    if (!ok)
        return false;
    rec.FKey.setDesKey(key.desKey);
    rec.FKey.setKeyDate(key.keyDate);
    rec.FDirs.setDir(TStammDirs::RootDir, key.rootDir);
    rec.FDirs.setDir(TStammDirs::Export, key.exportDir);
    rec.FDirs.setDir(TStammDirs::News, key.newsDir);
    rec.FDirs.setDir(TStammDirs::Antwort, key.answerDir);
    rec.FDirs.setDirsDate(key.keyDate);
    if (key.issued)
        rec.FExtra1[1] = 1;
    return rec.WriteKeyFile(key.fileName.isEmpty() ? regNr + QStringLiteral(".key") : key.fileName);
}

void withFileSizeLimit(qint64 bytes, const std::function<void()>& run)
{
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit low = old;
    low.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &low);
    run();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
}

bool installPackingLibrary(const QString& appDir)
{
    const QString name = QStringLiteral("libOstrandcore.so");
    const QString built = QStringLiteral(TOLVANE_BIN_DIR "/") + name;
    const QString target = QDir(appDir).filePath(name);
    return QFile::exists(built) && (QFile::exists(target) || QFile::copy(built, target));
}

namespace {

bool runTool(const QString& program, const QStringList& args, const QString& workDir = {})
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

bool makeWithStandardTools(const QString& archive, const QMap<QString, QByteArray>& files,
                           const QByteArray& passPhrase)
{
    QTemporaryDir work;
    const QString in = work.filePath(QStringLiteral("in"));
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = in + u'/' + it.key();
        if (!QDir().mkpath(QFileInfo(path).path()) || !writeAll(path, it.value()))
            return false;
    }
    const QString pass = work.filePath(QStringLiteral("pass"));
    const QString zip = work.filePath(QStringLiteral("plain.zip"));
    return writeAll(pass, passPhrase) && runTool(QStringLiteral("zip"), {"-q", "-r", zip, "."}, in)
           && runTool(QStringLiteral("openssl"), {"enc", "-des-ede3-cbc", "-pbkdf2", "-iter", "100000", "-md", "sha256",
                                                  "-salt", "-pass", "file:" + pass, "-in", zip, "-out", archive});
}

QMap<QString, QByteArray> openWithStandardTools(const QString& archive, const QByteArray& passPhrase)
{
    QTemporaryDir work;
    const QString pass = work.filePath(QStringLiteral("pass"));
    const QString zip = work.filePath(QStringLiteral("plain.zip"));
    const QString out = work.filePath(QStringLiteral("out"));
    if (!writeAll(pass, passPhrase))
        return {};
    if (!runTool(QStringLiteral("openssl"), {"enc", "-d", "-des-ede3-cbc", "-pbkdf2", "-iter", "100000", "-md", "sha256",
                                         "-pass", "file:" + pass, "-in", archive, "-out", zip})
        || !runTool(QStringLiteral("unzip"), {"-q", zip, "-d", out}))
        return {};
    return filesBelow(out);
}

QMap<QString, QByteArray> filesBelow(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), readAll(path));
    }
    return files;
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
