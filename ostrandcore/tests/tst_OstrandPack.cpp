// Pack: round trips, what the standard tools make of our archives, and failures that must leave
// nothing behind.

#include "OstrandTestSupport.h"

#include "Ostrandcore.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace ostrandtest;

namespace {

const QString kPass = QStringLiteral("Geh€im-Passwort 42");

// Every top-level entry of dir as a full path, hidden ones included: what the callers put in the list.
QStringList topLevelPaths(const QString& dir)
{
    QStringList paths;
    const QStringList names = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names)
        paths << dir + '/' + name;
    return paths;
}

// Files anywhere below root that a failed or finished Pack must not leave: temporaries and,
// where none is expected, archives.
QStringList leftovers(const QString& root, bool archivesToo)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".tmp")) ||
            (archivesToo && path.endsWith(QLatin1String(".zip.3des"))))
            found << path;
    }
    return found;
}

// The temporaries of Pack and UnPack directly in dir: "NAME.zip.3des.<pid>-<hex>.tmp" files and
// ".ostrand-<pid>-<hex>.tmp" folders.
QStringList temporariesIn(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("*.tmp")},
                               QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Waits until dir holds a temporary with data in it: the pack temporary with some bytes, or a staging
// folder with a file that has some.
QString waitForTemporaryWithData(const QString& dir, int timeoutMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        for (const QString& name : temporariesIn(dir)) {
            const QFileInfo info(dir + '/' + name);
            if (info.isFile() && info.size() > 0)
                return name;
            QDirIterator it(info.filePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                if (QFileInfo(it.next()).size() > 0)
                    return name;
        }
        QThread::usleep(2000);
    }
    return {};
}

enum class Fault {
    MissingInput,
    FifoInput,
    UnreadableInput,
    EmptyList,
    OnlySeparators,
    NullList,
    EmptyPassPhrase,
    MissingTargetDir,
    DirectoryLoop,
    DuplicateNames,
    RelativePath,
    RelativePieceOfSplitName,
    DotRelativePath,
};

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestOstrandPack : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void openedByStandardTools_data() { roundTrip_data(); }
    void openedByStandardTools();
    void archiveLayout();
    void packFailures_data();
    void packFailures();
    void controlCharacterInPassPhrase_data();
    void controlCharacterInPassPhrase();
    void filesWithoutTrueSize_data();
    void filesWithoutTrueSize();
    void largeFileWithoutSizeIsRefused();
    void fileGrowingWhilePackedIsRefused();
    void killedRunIsCleanedUpByTheNext_data();
    void killedRunIsCleanedUpByTheNext();
    void liveRunKeepsItsTemporaries_data();
    void liveRunKeepsItsTemporaries();
    void onlyDeadOwnersTemporariesAreRemoved_data() { killedRunIsCleanedUpByTheNext_data(); }
    void onlyDeadOwnersTemporariesAreRemoved();
    void failedPackKeepsExistingArchive();
    void diskFull();
    void targetDirectoryVanishes();
    void noPlainZipReachesAnyFile();
    void exportsOnlyPackAndUnPack();
    void hugeFileUsesZip64();
};

void TestOstrandPack::roundTrip_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::newRow("one file") << QStringList{QStringLiteral("bericht.csv:5000:t")};
    QTest::newRow("several files") << QStringList{
        QStringLiteral("a.csv:3000:t"), QStringLiteral("b.xml:4000:x"), QStringLiteral("c.bin:2000:r")};
    QTest::newRow("UTF-8 names") << QStringList{QStringLiteral("Übersicht äöü ß.csv:100:t"),
                                                QStringLiteral("日本語.txt:50:t"),
                                                QStringLiteral("emoji 😀.txt:10:t")};
    QTest::newRow("empty files") << QStringList{QStringLiteral("leer.txt:0:t"),
                                                QStringLiteral("voll.txt:10:t"),
                                                QStringLiteral("ordner/auch leer.bin:0:r")};
    QTest::newRow("folder with subfolders and an empty folder")
        << QStringList{QStringLiteral("ordner/a.txt:100:t"), QStringLiteral("ordner/unter/b.txt:200:t"),
                       QStringLiteral("ordner/unter/tiefer/c.bin:300:r"), QStringLiteral("ordner/leer/")};
    QStringList mixed;
    for (const QString& item : sampleTreeSpecs())
        mixed << QStringLiteral("export/") + item;
    mixed << QStringLiteral("einzeln.csv:1234:t");
    QTest::newRow("folder and files mixed") << mixed;
    QTest::newRow("hidden files") << QStringList{QStringLiteral(".versteckt:10:t"),
                                                 QStringLiteral("ordner/.auch versteckt:5:t")};
    QTest::newRow("data across several decryption chunks")
        << QStringList{QStringLiteral("gross.bin:3500000:r"), QStringLiteral("gross.csv:2500000:t"),
                       QStringLiteral("klein.txt:7:t")};
}

void TestOstrandPack::roundTrip()
{
    QFETCH(QStringList, items);
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    const QString target = tmp.filePath(QStringLiteral("ziel"));
    buildTree(src, items);
    QVERIFY(QDir().mkpath(target));

    QCOMPARE(pack(topLevelPaths(src), target + QStringLiteral("/archiv"), kPass), QString());
    QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("archiv.zip.3des")});

    // A folder that does not exist yet, as the callers pass it.
    const QString out = tmp.filePath(QStringLiteral("ausgabe/neu"));
    QCOMPARE(unpack(target + QStringLiteral("/archiv.zip.3des"), out, kPass), QString());
    const QString diff = compareTrees(snapshot(src), snapshot(out));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestOstrandPack::openedByStandardTools()
{
    if (!hasTool(QStringLiteral("openssl")) || !hasTool(QStringLiteral("unzip")))
        QSKIP("openssl or unzip is not installed");
    QFETCH(QStringList, items);
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, items);
    QCOMPARE(pack(topLevelPaths(src), tmp.filePath(QStringLiteral("archiv")), kPass), QString());

    const QString zip = tmp.filePath(QStringLiteral("klar.zip"));
    ProcessResult dec = opensslDecrypt(tmp.filePath(QStringLiteral("archiv.zip.3des")), zip, kPass);
    QVERIFY2(dec.ok(), dec.err.constData());
    const QString out = tmp.filePath(QStringLiteral("entpackt"));
    ProcessResult unz = run(QStringLiteral("unzip"), {QStringLiteral("-q"), zip, QStringLiteral("-d"), out});
    QVERIFY2(unz.ok(), unz.err.constData());
    // unzip -t also checks every CRC.
    ProcessResult test = run(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip});
    QVERIFY2(test.ok(), test.out.constData());
    const QString diff = compareTrees(snapshot(src), snapshot(out));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// The archive as a ZIP reader sees it: UTF-8 flags, a compression method that fits the data,
// no Zip64 for small entries, no padding after the end record. Packed by a separate process that
// never sets a locale, so it runs in the plain C locale.
void TestOstrandPack::archiveLayout()
{
    if (!hasTool(QStringLiteral("openssl")) || !hasTool(QStringLiteral("python3")))
        QSKIP("openssl or python3 is not installed");
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("Qualität.csv:200000:t"), QStringLiteral("zufall.bin:200000:r"),
                    QStringLiteral("leer.txt:0:t"), QStringLiteral("ordner/")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    ProcessResult packed = run(QStringLiteral(OSTRAND_BENCH_TOOL),
                               QStringList{QStringLiteral("pack"), base, kPass} + topLevelPaths(src));
    QVERIFY2(packed.ok(), packed.err.constData());

    const QByteArray encrypted = readFile(base + QStringLiteral(".zip.3des"));
    QVERIFY(encrypted.startsWith("Salted__"));
    const QString zip = tmp.filePath(QStringLiteral("klar.zip"));
    ProcessResult dec = opensslDecrypt(base + QStringLiteral(".zip.3des"), zip, kPass);
    QVERIFY2(dec.ok(), dec.err.constData());
    const qint64 zipSize = QFileInfo(zip).size();
    // PKCS#7 always adds 1 to 8 bytes.
    QCOMPARE(encrypted.size(), 16 + (zipSize / 8 + 1) * 8);

    const QString script = QStringLiteral(R"(
import json, struct, sys, zipfile
data = open(sys.argv[1], 'rb').read()
z = zipfile.ZipFile(sys.argv[1])
def zip64(extra):
    i = 0
    while i + 4 <= len(extra):
        hid, size = struct.unpack_from('<HH', extra, i)
        if hid == 1:
            return True
        i += 4 + size
    return False
print(json.dumps({
    'endAtEnd': data[-22:-18] == b'PK\x05\x06' and data[-2:] == b'\x00\x00',
    'entries': {i.filename: {'method': i.compress_type, 'flags': i.flag_bits, 'zip64': zip64(i.extra),
                             'size': i.file_size, 'packed': i.compress_size} for i in z.infolist()},
    'test': z.testzip()}))
)");
    ProcessResult info = run(QStringLiteral("python3"), {QStringLiteral("-c"), script, zip});
    QVERIFY2(info.ok(), info.err.constData());
    const QJsonObject doc = QJsonDocument::fromJson(info.out).object();
    QVERIFY(doc.value(QStringLiteral("endAtEnd")).toBool());
    QVERIFY(doc.value(QStringLiteral("test")).isNull());
    const QJsonObject entries = doc.value(QStringLiteral("entries")).toObject();
    QCOMPARE(entries.keys(), (QStringList{QStringLiteral("Qualität.csv"), QStringLiteral("leer.txt"),
                                          QStringLiteral("ordner/"), QStringLiteral("zufall.bin")}));
    for (const QString& name : entries.keys())
        QVERIFY2(!entries.value(name).toObject().value(QStringLiteral("zip64")).toBool(), qPrintable(name));
    const QJsonObject text = entries.value(QStringLiteral("Qualität.csv")).toObject();
    QCOMPARE(text.value(QStringLiteral("method")).toInt(), 8);
    QVERIFY(text.value(QStringLiteral("flags")).toInt() & 0x800);
    QVERIFY(text.value(QStringLiteral("packed")).toInt() < text.value(QStringLiteral("size")).toInt() / 2);
    const QJsonObject random = entries.value(QStringLiteral("zufall.bin")).toObject();
    QCOMPARE(random.value(QStringLiteral("method")).toInt(), 0);
    QCOMPARE(random.value(QStringLiteral("packed")).toInt(), 200000);
}

void TestOstrandPack::packFailures_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("fragments");
    QTest::newRow("missing input") << Fault::MissingInput
                                   << QStringList{QStringLiteral("fehlt.csv"),
                                                  QStringLiteral("nicht gefunden")};
    QTest::newRow("FIFO input") << Fault::FifoInput
                                << QStringList{QStringLiteral("rohr"),
                                               QStringLiteral("weder eine gewöhnliche Datei")};
    QTest::newRow("unreadable input")
        << Fault::UnreadableInput
        << QStringList{QStringLiteral("gesperrt.csv"), QStringLiteral("Zugriff verweigert")};
    QTest::newRow("empty list") << Fault::EmptyList << QStringList{QStringLiteral("keine Dateien")};
    QTest::newRow("only separators") << Fault::OnlySeparators << QStringList{QStringLiteral("keine Dateien")};
    QTest::newRow("null list") << Fault::NullList << QStringList{QStringLiteral("keine Dateien")};
    QTest::newRow("empty pass phrase")
        << Fault::EmptyPassPhrase << QStringList{QStringLiteral("kein Passwort")};
    QTest::newRow("missing target folder")
        << Fault::MissingTargetDir
        << QStringList{QStringLiteral("gibtsnicht"), QStringLiteral("existiert nicht")};
    QTest::newRow("folder containing itself")
        << Fault::DirectoryLoop
        << QStringList{QStringLiteral("schleife"), QStringLiteral("symbolischen Verweis")};
    QTest::newRow("same name twice") << Fault::DuplicateNames
                                     << QStringList{QStringLiteral("gleich.txt"), QStringLiteral("mehrfach")};
    // Each of these names a file that exists in the current directory.
    const QString notAbsolute = QStringLiteral("kein vollständiger Pfad");
    QTest::newRow("relative path") << Fault::RelativePath
                                   << QStringList{QStringLiteral("\"gut.csv\""), notAbsolute};
    QTest::newRow("relative piece of a name with the separator")
        << Fault::RelativePieceOfSplitName << QStringList{QStringLiteral("\"gut.csv\""), notAbsolute};
    QTest::newRow("path starting with a dot")
        << Fault::DotRelativePath << QStringList{QStringLiteral("\"./gut.csv\""), notAbsolute};
}

void TestOstrandPack::packFailures()
{
    QFETCH(Fault, fault);
    QFETCH(QStringList, fragments);
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    QString target = tmp.filePath(QStringLiteral("ziel"));
    buildTree(src, {QStringLiteral("gut.csv:20000:t")});
    QVERIFY(QDir().mkpath(target));
    QStringList list{src + QStringLiteral("/gut.csv")};
    QString pass = kPass;

    switch (fault) {
    case Fault::MissingInput:
        list << src + QStringLiteral("/fehlt.csv");
        break;
    case Fault::FifoInput:
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(src + QStringLiteral("/rohr")).constData(), 0644), 0);
        list << src + QStringLiteral("/rohr");
        break;
#else
        QSKIP("no FIFOs here");
#endif
    case Fault::UnreadableInput:
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root reads every file; the missing and FIFO cases cover unreadable input");
        writeFile(src + QStringLiteral("/gesperrt.csv"), "geheim");
        QVERIFY(QFile::setPermissions(src + QStringLiteral("/gesperrt.csv"), QFileDevice::Permissions()));
        list << src + QStringLiteral("/gesperrt.csv");
        break;
#else
        QSKIP("permissions work differently here");
#endif
    case Fault::EmptyList:
        list.clear();
        break;
    case Fault::OnlySeparators:
        list = QStringList{QString(), QString(), QString()};
        break;
    case Fault::NullList: {
        const QByteArray base = QFile::encodeName(target + QStringLiteral("/archiv"));
        const QString result = QString::fromUtf8(Pack(nullptr, nullptr, base.constData(), "x"));
        for (const QString& f : fragments)
            QVERIFY2(result.contains(f), qPrintable(result));
        QVERIFY(QDir(target).isEmpty());
        return;
    }
    case Fault::EmptyPassPhrase:
        pass.clear();
        break;
    case Fault::MissingTargetDir:
        target = tmp.filePath(QStringLiteral("gibtsnicht"));
        break;
    case Fault::DirectoryLoop:
        QVERIFY(QDir().mkpath(src + QStringLiteral("/ordner")));
        QVERIFY(QFile::link(src + QStringLiteral("/ordner"), src + QStringLiteral("/ordner/schleife")));
        list << src + QStringLiteral("/ordner");
        break;
    case Fault::DuplicateNames:
        buildTree(src, {QStringLiteral("a/gleich.txt:10:t"), QStringLiteral("b/gleich.txt:20:t")});
        list << src + QStringLiteral("/a/gleich.txt") << src + QStringLiteral("/b/gleich.txt");
        break;
    case Fault::RelativePath:
        list << QStringLiteral("gut.csv");
        break;
    case Fault::RelativePieceOfSplitName:
        // "notiz;gut.csv" crosses the boundary as two pieces.
        writeFile(src + QStringLiteral("/notiz"), "x");
        list = QStringList{src + QStringLiteral("/notiz;gut.csv")};
        break;
    case Fault::DotRelativePath:
        list << QStringLiteral("./gut.csv");
        break;
    }
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(src));
    auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    const QString result = pack(list, target + QStringLiteral("/archiv"), pass);
    QVERIFY2(!result.isEmpty(), "Pack reported success");
    for (const QString& f : fragments)
        QVERIFY2(result.contains(f), qPrintable(result));
    QVERIFY2(leftovers(tmp.path(), true).isEmpty(), qPrintable(leftovers(tmp.path(), true).join(' ')));
    if (fault != Fault::MissingTargetDir)
        QVERIFY(QDir(target).isEmpty());
}

void TestOstrandPack::controlCharacterInPassPhrase_data()
{
    QTest::addColumn<QByteArray>("passPhrase");
    QTest::newRow("start of heading") << QByteArray("Geh\x01im");
    QTest::newRow("tab") << QByteArray("Geh\tim");
    QTest::newRow("line feed at the end") << QByteArray("Geheim\n");
    QTest::newRow("carriage return") << QByteArray("Geh\rim");
    QTest::newRow("unit separator") << QByteArray("Geh\x1fim");
    QTest::newRow("delete") << QByteArray("Geh\x7fim");
}

void TestOstrandPack::controlCharacterInPassPhrase()
{
    QFETCH(QByteArray, passPhrase);
    QTemporaryDir tmp;
    writeFile(tmp.filePath(QStringLiteral("quelle.txt")), "inhalt");
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    const QString archive = base + QStringLiteral(".zip.3des");
    const QByteArray list = QFile::encodeName(tmp.filePath(QStringLiteral("quelle.txt")));
    const QByteArray baseBytes = QFile::encodeName(base);

    const QString packed = QString::fromUtf8(Pack(nullptr, list.constData(), baseBytes.constData(), passPhrase.constData()));
    QVERIFY2(packed.contains(QStringLiteral("Steuerzeichen")) && packed.contains(archive), qPrintable(packed));
    QVERIFY(!QFileInfo::exists(archive));
    QVERIFY(leftovers(tmp.path(), true).isEmpty());

    // The same pass phrase is refused when opening, before it could derive a key.
    QCOMPARE(pack({tmp.filePath(QStringLiteral("quelle.txt"))}, base, kPass), QString());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    const QByteArray archiveBytes = QFile::encodeName(archive), outBytes = QFile::encodeName(out);
    const QString unpacked =
        QString::fromUtf8(UnPack(archiveBytes.constData(), outBytes.constData(), passPhrase.constData()));
    QVERIFY2(unpacked.contains(QStringLiteral("Steuerzeichen")) && unpacked.contains(archive),
             qPrintable(unpacked));
    QVERIFY(!QFileInfo::exists(out));
}

// The file system does not always know a file's size: pseudo-files report 0 or a page size. What
// is read is what is stored, with its true size.
void TestOstrandPack::filesWithoutTrueSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("size 0, proc") << QStringLiteral("/proc/version");
    QTest::newRow("size 0, own process") << QStringLiteral("/proc/self/cmdline");
    QTest::newRow("page size, sysfs") << QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled");
}

void TestOstrandPack::filesWithoutTrueSize()
{
    QFETCH(QString, path);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        QSKIP("not present here");
    const QByteArray expected = in.readAll();
    QVERIFY(!expected.isEmpty());
    QVERIFY(QFileInfo(path).size() != expected.size());

    QTemporaryDir tmp;
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    QCOMPARE(pack({path}, base, kPass), QString());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QCOMPARE(unpack(base + QStringLiteral(".zip.3des"), out, kPass), QString());
    QCOMPARE(readFile(out + '/' + QFileInfo(path).fileName()), expected);
}

// A pseudo-file too long to read ahead cannot get a true size in its entry header.
void TestOstrandPack::largeFileWithoutSizeIsRefused()
{
    const QString path = QStringLiteral("/proc/kallsyms");
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly) || QFileInfo(path).size() != 0 || in.read(2 << 20).size() <= (1 << 20))
        QSKIP("no readable pseudo-file over 1 MiB here");
    QTemporaryDir tmp;
    const QString result = pack({path}, tmp.filePath(QStringLiteral("archiv")), kPass);
    QVERIFY2(result.contains(QStringLiteral("\"/proc/kallsyms\" gibt ihre Größe nicht an")), qPrintable(result));
    QVERIFY(leftovers(tmp.path(), true).isEmpty());
}

// A file that grows while it is read would be cut at the size seen when it was opened.
void TestOstrandPack::fileGrowingWhilePackedIsRefused()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("wachsend.log"));
    writeFile(path, content(QStringLiteral("wachsend"), 8000000, 'r'));
    std::atomic<bool> stop{false};
    std::thread appender([&] {
        QFile f(path);
        if (!f.open(QIODevice::Append))
            return;
        const QByteArray line = content(QStringLiteral("zeile"), 4096, 't');
        for (int i = 0; i < 50000 && !stop; ++i) {
            f.write(line);
            f.flush();
            QThread::usleep(500);
        }
    });
    const QString result = pack({path}, tmp.filePath(QStringLiteral("archiv")), kPass);
    stop = true;
    appender.join();
    QVERIFY2(result.contains(QStringLiteral("\"") + path + QStringLiteral("\" hat sich während des Packens verändert")),
             qPrintable(result));
    QVERIFY(leftovers(tmp.path(), true).isEmpty());
}

namespace {

// A run whose temporaries another run must find: a large archive to write or to extract.
struct LongRun {
    QString src;       // the large input file
    QString archive;   // for unpacking: the archive of src
    QString workDir;   // where the temporaries appear
    QStringList args;  // ostrand-bench arguments

    LongRun(const QString& root, bool packing)
    {
        src = root + QStringLiteral("/quelle/gross.bin");
        writeFile(src, content(QStringLiteral("gross"), 40000000, 'r'));
        if (packing) {
            workDir = root + QStringLiteral("/ziel");
            QDir().mkpath(workDir);
            args = QStringList{QStringLiteral("pack"), workDir + QStringLiteral("/langsam"), kPass, src};
        } else {
            archive = root + QStringLiteral("/langsam");
            const QString packed = pack({src}, archive, kPass);
            if (!packed.isEmpty())
                qFatal("cannot prepare the archive: %s", qPrintable(packed));
            archive += QStringLiteral(".zip.3des");
            workDir = root + QStringLiteral("/aus");
            args = QStringList{QStringLiteral("unpack"), archive, workDir, kPass};
        }
    }

    QString runInThisProcess() const
    {
        return args[0] == QLatin1String("pack") ? pack({src}, args[1], kPass) : unpack(archive, workDir, kPass);
    }

    // What the finished run must have produced.
    bool resultIsComplete() const
    {
        if (args[0] == QLatin1String("unpack"))
            return readFile(workDir + QStringLiteral("/gross.bin")) == readFile(src);
        QTemporaryDir check;
        return unpack(args[1] + QStringLiteral(".zip.3des"), check.path(), kPass).isEmpty() &&
               readFile(check.filePath(QStringLiteral("gross.bin"))) == readFile(src);
    }
};

// A short run of the other kind in the same folder, which must do its own work and leave the folder
// free of its own temporaries.
QString otherRunIn(const QString& root, const QString& dir, bool packing)
{
    const QString small = root + QStringLiteral("/klein.txt");
    writeFile(small, "klein");
    if (packing)
        return pack({small}, dir + QStringLiteral("/zweites"), kPass);
    const QString packed = pack({small}, root + QStringLiteral("/klein"), kPass);
    return packed.isEmpty() ? unpack(root + QStringLiteral("/klein.zip.3des"), dir, kPass) : packed;
}

} // namespace

void TestOstrandPack::killedRunIsCleanedUpByTheNext_data()
{
    QTest::addColumn<bool>("packing");
    QTest::newRow("pack") << true;
    QTest::newRow("unpack") << false;
}

// A run killed half way leaves its temporary (for UnPack: decrypted data); the next run in the same
// folder removes it.
void TestOstrandPack::killedRunIsCleanedUpByTheNext()
{
#ifndef Q_OS_UNIX
    QSKIP("needs SIGKILL");
#else
    QFETCH(bool, packing);
    QTemporaryDir tmp;
    const LongRun run(tmp.path(), packing);
    QProcess child;
    child.start(QStringLiteral(OSTRAND_BENCH_TOOL), run.args);
    QVERIFY(child.waitForStarted());
    const qint64 pid = child.processId();
    const QString temporary = waitForTemporaryWithData(run.workDir);
    child.kill();
    QVERIFY(child.waitForFinished());
    QVERIFY2(!temporary.isEmpty(), "the temporary never showed up");
    QVERIFY2(child.exitStatus() == QProcess::CrashExit, "the run finished before it was killed");
    QCOMPARE(temporariesIn(run.workDir), QStringList{temporary});

    QCOMPARE(otherRunIn(tmp.path(), run.workDir, packing), QString());
    QCOMPARE(temporariesIn(run.workDir), QStringList());
    // The owner's process id is part of the name, for whoever looks at the folder.
    QVERIFY2(temporary.contains(QStringLiteral(".%1-").arg(pid)) ||
                 temporary.contains(QStringLiteral("-%1-").arg(pid)),
             qPrintable(temporary));
    if (!packing)
        QCOMPARE(QDir(run.workDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("klein.txt")});
#endif
}

void TestOstrandPack::liveRunKeepsItsTemporaries_data()
{
    QTest::addColumn<bool>("packing");
    QTest::addColumn<bool>("ownProcess"); // the live run in another thread of this process
    QTest::newRow("pack in another process") << true << false;
    QTest::newRow("unpack in another process") << false << false;
    QTest::newRow("pack in another thread") << true << true;
    QTest::newRow("unpack in another thread") << false << true;
}

// While a run lives, another run in the same folder leaves its temporaries alone, whether it is a
// stopped process or a thread of the same process.
void TestOstrandPack::liveRunKeepsItsTemporaries()
{
#ifndef Q_OS_UNIX
    QSKIP("needs SIGSTOP");
#else
    QFETCH(bool, packing);
    QFETCH(bool, ownProcess);
    QTemporaryDir tmp;
    const LongRun run(tmp.path(), packing);
    QProcess child;
    pid_t pid = 0;
    QString threadResult = QStringLiteral("not run");
    std::atomic<bool> threadDone{false};
    std::thread worker;
    if (ownProcess) {
        worker = std::thread([&] {
            threadResult = run.runInThisProcess();
            threadDone = true;
        });
    } else {
        child.start(QStringLiteral(OSTRAND_BENCH_TOOL), run.args);
        QVERIFY(child.waitForStarted());
        pid = static_cast<pid_t>(child.processId());
        QVERIFY(pid > 0);
    }
    auto finish = qScopeGuard([&] {
        if (worker.joinable())
            worker.join();
        if (pid > 0 && child.state() != QProcess::NotRunning) {
            ::kill(pid, SIGCONT);
            child.waitForFinished(60000);
        }
    });
    const QString temporary = waitForTemporaryWithData(run.workDir);
    QVERIFY2(!temporary.isEmpty(), "the temporary never showed up");
    if (!ownProcess) {
        QVERIFY2(child.state() == QProcess::Running, "the run finished before it could be stopped");
        QCOMPARE(::kill(pid, SIGSTOP), 0);
    }

    QCOMPARE(otherRunIn(tmp.path(), run.workDir, packing), QString());
    // A thread cannot be stopped: had it finished meanwhile, its temporary is gone by its own rename,
    // and only its result below tells.
    if (!ownProcess || !threadDone)
        QVERIFY2(temporariesIn(run.workDir).contains(temporary), "the live run's temporary was removed");

    if (ownProcess) {
        worker.join();
        QCOMPARE(threadResult, QString());
    } else {
        QCOMPARE(::kill(pid, SIGCONT), 0);
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAllStandardError().constData());
    }
    QVERIFY(run.resultIsComplete());
    QCOMPARE(temporariesIn(run.workDir), QStringList());
#endif
}

// Temporaries of a process that is gone are removed, unless their lock is still held (an owner on
// another machine sharing the folder); names that only look similar are never touched.
void TestOstrandPack::onlyDeadOwnersTemporariesAreRemoved()
{
#ifndef Q_OS_UNIX
    QSKIP("needs flock");
#else
    QFETCH(bool, packing);
    QProcess gone;
    gone.start(QStringLiteral("true"), QStringList());
    QVERIFY(gone.waitForStarted());
    const QString pid = QString::number(gone.processId());
    QVERIFY(gone.waitForFinished());

    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("ordner"));
    const QString tag = pid + QStringLiteral("-0123456789abcdef.tmp");
    const QStringList removed{QStringLiteral("alt.zip.3des.") + tag, QStringLiteral(".ostrand-") + tag};
    const QStringList kept{
        QStringLiteral("gesperrt.zip.3des.") + tag,                   // its lock is held
        QStringLiteral("alt.zip.3des.tmp"),                            // no owner in the name
        QStringLiteral("alt.zip.3des.") + pid + QStringLiteral("-xyz.tmp"),
        QStringLiteral("notiz.") + tag,                                // not an archive's temporary
        QStringLiteral(".ostrand-0123456789abcdef.tmp"),               // no process id
        QStringLiteral("datei.ostrand-") + tag,
    };
    writeFile(dir + '/' + removed[0], "halbes Archiv");
    writeFile(dir + '/' + removed[1] + QStringLiteral("/unter/entschluesselt.csv"), "Klartext");
    for (const QString& name : kept)
        writeFile(dir + '/' + name, "bleibt");
    // A folder name where a file is expected and the other way round, and a link to a folder.
    QVERIFY(QDir().mkpath(dir + QStringLiteral("/ordner.zip.3des.") + pid + QStringLiteral("-fedcba9876543210.tmp")));
    writeFile(dir + QStringLiteral("/.ostrand-") + pid + QStringLiteral("-fedcba9876543210.tmp"), "Datei");
    writeFile(tmp.filePath(QStringLiteral("fremd/wichtig.txt")), "fremd");
    QVERIFY(QFile::link(tmp.filePath(QStringLiteral("fremd")),
                        dir + QStringLiteral("/.ostrand-") + pid + QStringLiteral("-00000000000000ff.tmp")));

    const int lockFd = ::open(QFile::encodeName(dir + '/' + kept[0]).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(lockFd >= 0);
    auto unlock = qScopeGuard([&] { ::close(lockFd); });
    QCOMPARE(::flock(lockFd, LOCK_EX | LOCK_NB), 0);

    const auto before = snapshot(dir);
    QCOMPARE(otherRunIn(tmp.path(), dir, packing), QString());
    const auto after = snapshot(dir);
    for (auto it = before.begin(); it != before.end(); ++it) {
        const bool gone = removed.contains(it.key().section('/', 0, 0).section(QStringLiteral(" -> "), 0, 0));
        QVERIFY2(after.contains(it.key()) != gone, qPrintable(it.key()));
    }
    QVERIFY(QFileInfo::exists(tmp.filePath(QStringLiteral("fremd/wichtig.txt"))));
#endif
}

// Callers ask the user before replacing an archive; a failed attempt must not have destroyed the old one.
void TestOstrandPack::failedPackKeepsExistingArchive()
{
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("alt.csv:3000:t"), QStringLiteral("neu.csv:4000:t")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    const QString archive = base + QStringLiteral(".zip.3des");
    QCOMPARE(pack({src + QStringLiteral("/alt.csv")}, base, kPass), QString());
    const QByteArray before = readFile(archive);

    const QString failed =
        pack({src + QStringLiteral("/neu.csv"), src + QStringLiteral("/fehlt.csv")}, base, kPass);
    QVERIFY(failed.contains(QStringLiteral("fehlt.csv")));
    QCOMPARE(readFile(archive), before);
    QVERIFY(leftovers(tmp.path(), false).isEmpty());

    QCOMPARE(pack({src + QStringLiteral("/neu.csv")}, base, kPass), QString());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QCOMPARE(unpack(archive, out, kPass), QString());
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("neu.csv")});
    QCOMPARE(readFile(out + QStringLiteral("/neu.csv")), readFile(src + QStringLiteral("/neu.csv")));
}

void TestOstrandPack::diskFull()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a small tmpfs");
#else
    QTemporaryDir tmp;
    const QString small = tmp.filePath(QStringLiteral("klein"));
    SmallDisk disk(small, QStringLiteral("512k"));
    if (!disk.mounted())
        QSKIP("cannot mount a small tmpfs here");

    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("zufall.bin:2000000:r")});
    const QString result =
        pack({src + QStringLiteral("/zufall.bin")}, small + QStringLiteral("/archiv"), kPass);
    QVERIFY2(result.contains(QStringLiteral("Speicherplatz")), qPrintable(result));
    QVERIFY(result.contains(small + QStringLiteral("/archiv.zip.3des")));
    QVERIFY(QDir(small).isEmpty());
#endif
}

// The target folder disappears while Pack writes into it: the rename at the end must fail cleanly.
void TestOstrandPack::targetDirectoryVanishes()
{
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    const QString target = tmp.filePath(QStringLiteral("ziel"));
    buildTree(src, {QStringLiteral("zufall.bin:16000000:r")});
    QVERIFY(QDir().mkpath(target));

    QString result;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = pack({src + QStringLiteral("/zufall.bin")}, target + QStringLiteral("/archiv"), kPass);
        finished = true;
    });
    QElapsedTimer timer;
    timer.start();
    bool removed = false;
    while (!finished && timer.elapsed() < 20000) {
        if (!QDir(target).entryList(QDir::Files | QDir::Hidden).isEmpty()) {
            removed = QDir(target).removeRecursively();
            break;
        }
        QThread::usleep(200);
    }
    worker.join();
    QVERIFY2(removed, "the temporary file never showed up while Pack ran");
    QVERIFY2(result.contains(QStringLiteral("konnte nicht geschrieben werden")), qPrintable(result));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(leftovers(tmp.path(), true).isEmpty());
}

// The plain ZIP exists only in memory: no write of the packing process carries a ZIP signature,
// and the only file it creates is the temporary archive in the target folder.
void TestOstrandPack::noPlainZipReachesAnyFile()
{
    if (!hasTool(QStringLiteral("strace")))
        QSKIP("strace is not installed");
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    const QString target = tmp.filePath(QStringLiteral("ziel"));
    buildTree(src, {QStringLiteral("text.csv:300000:t"), QStringLiteral("zufall.bin:100000:r"),
                    QStringLiteral("ordner/noch.xml:5000:x")});
    QVERIFY(QDir().mkpath(target));
    const QString tracePath = tmp.filePath(QStringLiteral("trace.txt"));
    ProcessResult traced = run(
        QStringLiteral("strace"),
        QStringList{QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-xx"), QStringLiteral("-s"),
                    QStringLiteral("4194304"), QStringLiteral("-o"), tracePath, QStringLiteral("-e"),
                    QStringLiteral("trace=openat,open,creat,write,pwrite64,writev,pwritev,"
                                   "pwritev2,rename,renameat,renameat2"),
                    QStringLiteral(OSTRAND_BENCH_TOOL), QStringLiteral("pack"),
                    target + QStringLiteral("/archiv"), kPass} +
            topLevelPaths(src),
        {}, {},
        // LeakSanitizer cannot run under ptrace in sanitizer builds.
        {QStringLiteral("ASAN_OPTIONS=detect_leaks=0")});
    const QByteArray trace = readFile(tracePath);
    if (!traced.ok() && trace.isEmpty())
        QSKIP(qPrintable(QStringLiteral("strace cannot trace here: ") + QString::fromLocal8Bit(traced.err)));
    QVERIFY2(traced.ok(), traced.err.constData());

    // Proof that the output writes were captured at all.
    QVERIFY(trace.contains("\\x53\\x61\\x6c\\x74\\x65\\x64\\x5f\\x5f"));
    QVERIFY(!trace.contains("\\x50\\x4b\\x03\\x04"));
    QVERIFY(!trace.contains("\\x50\\x4b\\x01\\x02"));
    QVERIFY(!trace.contains("\\x50\\x4b\\x05\\x06"));

    const QByteArray targetHex = [&] {
        QByteArray hex;
        for (char c : QFile::encodeName(target + '/'))
            hex += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
        return hex;
    }();
    int created = 0;
    for (const QByteArray& line : trace.split('\n')) {
        if (!line.contains("O_CREAT") && !line.contains("creat("))
            continue;
        ++created;
        QVERIFY2(line.contains(targetHex), line.left(300).constData());
    }
    QVERIFY(created >= 1);
}

void TestOstrandPack::exportsOnlyPackAndUnPack()
{
    if (!hasTool(QStringLiteral("nm")))
        QSKIP("nm is not installed");
    ProcessResult nm = run(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                                  QStringLiteral(OSTRAND_LIBRARY_FILE)});
    QVERIFY2(nm.ok(), nm.err.constData());
    QStringList symbols;
    for (const QByteArray& line : nm.out.split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() == 3 && parts[1] != "A")
            symbols << QString::fromLatin1(parts[2]);
    }
    symbols.sort();
    QCOMPARE(symbols, (QStringList{QStringLiteral("Pack"), QStringLiteral("UnPack")}));
}

// A file over 4 GiB needs Zip64. Sparse input keeps it cheap, but it still takes minutes, so it
// only runs when asked for with OSTRAND_HUGE_TEST=1.
void TestOstrandPack::hugeFileUsesZip64()
{
    if (qEnvironmentVariable("OSTRAND_HUGE_TEST") != QLatin1String("1"))
        QSKIP("set OSTRAND_HUGE_TEST=1 to pack and unpack a file over 4 GiB");
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("riesig.bin"));
    const qint64 size = 4LL * 1024 * 1024 * 1024 + 123457;
    {
        QFile f(src);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(size));
        for (qint64 at : {qint64(0), size / 2, size - 4096}) {
            QVERIFY(f.seek(at));
            f.write(content(QString::number(at), 4096, 'r'));
        }
    }
    QCOMPARE(pack({src}, tmp.filePath(QStringLiteral("archiv")), kPass), QString());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QCOMPARE(unpack(tmp.filePath(QStringLiteral("archiv.zip.3des")), out, kPass), QString());
    QFile a(src), b(out + QStringLiteral("/riesig.bin"));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY(b.open(QIODevice::ReadOnly));
    QCOMPARE(b.size(), size);
    while (!a.atEnd()) {
        const QByteArray x = a.read(8 << 20);
        QVERIFY(x == b.read(8 << 20));
    }
}

QTEST_GUILESS_MAIN(TestOstrandPack)
#include "tst_OstrandPack.moc"
