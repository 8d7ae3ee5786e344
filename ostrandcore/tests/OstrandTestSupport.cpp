#include "OstrandTestSupport.h"

#include "Ostrandcore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

namespace ostrandtest {

QString pack(const QStringList& paths, const QString& archiveBase, const QString& passPhrase)
{
    QByteArray list;
    for (const QString& p : paths) {
        if (!list.isEmpty())
            list += ';';
        list += QFile::encodeName(p);
    }
    const QByteArray base = QFile::encodeName(archiveBase);
    const QByteArray pass = passPhrase.toUtf8();
    const char* result = Pack(nullptr, list.constData(), base.constData(), pass.constData());
    return QString::fromUtf8(result ? result : "");
}

QString unpack(const QString& archivePath, const QString& outputDir, const QString& passPhrase)
{
    const QByteArray archive = QFile::encodeName(archivePath);
    const QByteArray out = QFile::encodeName(outputDir);
    const QByteArray pass = passPhrase.toUtf8();
    const char* result = UnPack(archive.constData(), out.constData(), pass.constData());
    return QString::fromUtf8(result ? result : "");
}

QByteArray content(const QString& seed, qint64 size, char kind)
{
    QRandomGenerator rng(qHash(seed));
    QByteArray bytes;
    bytes.reserve(size);
    if (kind == 'r') {
        bytes.resize(size);
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(rng.bounded(256));
        return bytes;
    }
    if (kind == 'z')
        return QByteArray(size, '\0');
    qint64 row = 0;
    while (bytes.size() < size) {
        if (kind == 'x')
            bytes += QStringLiteral(
                         "<Fall id=\"%1\"><Station>%2</Station><Wert>%3</Wert><Bemerkung>Qualität geprüft"
                         "</Bemerkung></Fall>\n")
                         .arg(row)
                         .arg(rng.bounded(40))
                         .arg(rng.bounded(100000))
                         .toUtf8();
        else
            bytes += QStringLiteral("%1;%2;Station %3;%4;Befund ohne Auffälligkeit\n")
                         .arg(row)
                         .arg(rng.bounded(1000000))
                         .arg(rng.bounded(40))
                         .arg(rng.bounded(100000) / 100.0)
                         .toUtf8();
        ++row;
    }
    bytes.truncate(size);
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write fixture %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void buildTree(const QString& root, const QStringList& items)
{
    for (const QString& item : items) {
        if (item.endsWith('/')) {
            QDir().mkpath(root + '/' + item);
            continue;
        }
        const QStringList parts = item.split(':');
        Q_ASSERT(parts.size() == 3);
        writeFile(root + '/' + parts[0], content(parts[0], parts[1].toLongLong(), parts[2].at(0).toLatin1()));
    }
}

QStringList sampleTreeSpecs()
{
    return {
        QStringLiteral("Übersicht Qualität.csv:40000:t"),
        QStringLiteral("leer.txt:0:t"),
        QStringLiteral("日本語 ファイル.txt:300:t"),
        QStringLiteral("daten/zufall.bin:70000:r"),
        QStringLiteral("daten/unter/tiefer/export.xml:25000:x"),
        QStringLiteral("daten/leerer Ordner/"),
    };
}

QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> tree;
    QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = base.relativeFilePath(path);
        if (info.isSymLink())
            tree.insert(rel + QStringLiteral(" -> ") + info.symLinkTarget(), {});
        else if (info.isDir())
            tree.insert(rel + '/', {});
        else
            tree.insert(rel, readFile(path));
    }
    return tree;
}

QString compareTrees(const QMap<QString, QByteArray>& expected, const QMap<QString, QByteArray>& actual)
{
    QStringList problems;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        if (!actual.contains(it.key()))
            problems << QStringLiteral("missing: %1").arg(it.key());
        else if (actual.value(it.key()) != it.value())
            problems << QStringLiteral("content differs: %1 (%2 vs %3 bytes)")
                            .arg(it.key())
                            .arg(it.value().size())
                            .arg(actual.value(it.key()).size());
    }
    for (auto it = actual.begin(); it != actual.end(); ++it)
        if (!expected.contains(it.key()))
            problems << QStringLiteral("unexpected: %1").arg(it.key());
    return problems.mid(0, 10).join(QStringLiteral("; "));
}

bool hasTool(const QString& name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

ProcessResult run(const QString& program, const QStringList& args, const QString& workDir,
                  const QString& stdoutFile, const QStringList& extraEnv)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString& entry : extraEnv)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(program, args);
    ProcessResult r;
    r.started = p.waitForStarted(10000);
    if (!r.started)
        return r;
    p.closeWriteChannel();
    p.waitForFinished(120000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

SmallDisk::SmallDisk(const QString& dir, const QString& size) : m_dir(dir)
{
#ifdef Q_OS_LINUX
    m_mounted = QDir().mkpath(dir) &&
                run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=") + size, QStringLiteral("tmpfs"), dir})
                    .ok();
#else
    Q_UNUSED(size);
#endif
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        run(QStringLiteral("umount"), {m_dir});
}

static QStringList opensslArgs(bool decrypt, const QString& in, const QString& out, const QString& passPhrase)
{
    QStringList args{QStringLiteral("enc")};
    if (decrypt)
        args << QStringLiteral("-d");
    args << QStringLiteral("-des-ede3-cbc") << QStringLiteral("-pbkdf2") << QStringLiteral("-iter")
         << QStringLiteral("100000") << QStringLiteral("-md") << QStringLiteral("sha256")
         << QStringLiteral("-pass") << QStringLiteral("pass:") + passPhrase << QStringLiteral("-in") << in
         << QStringLiteral("-out") << out;
    return args;
}

ProcessResult opensslEncrypt(const QString& in, const QString& out, const QString& passPhrase)
{
    return run(QStringLiteral("openssl"), opensslArgs(false, in, out, passPhrase));
}

ProcessResult opensslDecrypt(const QString& in, const QString& out, const QString& passPhrase)
{
    return run(QStringLiteral("openssl"), opensslArgs(true, in, out, passPhrase));
}

QString makeZipScript()
{
    return QStringLiteral(OSTRAND_TEST_SOURCE_DIR "/makezip.py");
}

} // namespace ostrandtest
