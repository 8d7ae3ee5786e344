// UnPack: archives of other ZIP writers, hostile entries and damaged files. Whatever fails must
// leave nothing in the output folder and nothing anywhere else.

#include "OstrandTestSupport.h"

#include "Ostrandcore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrandtest;

namespace {

const QString kPass = QStringLiteral("Antwort-Schlüssel 7");

QString python()
{
    return QStringLiteral("python3");
}

// Encrypts a plain ZIP the way the other side does it with the openssl command.
bool encrypt(const QString& zip, const QString& archive)
{
    ProcessResult r = opensslEncrypt(zip, archive, kPass);
    if (!r.ok())
        qWarning("openssl enc failed: %s", r.err.constData());
    return r.ok();
}

// Writes a ZIP with makezip.py (its arguments, with %ZIP% for the ZIP's path) into dir and encrypts
// it; the path of the encrypted archive, empty on failure.
QString makeArchive(const QString& dir, const QString& name, QStringList args)
{
    const QString zip = dir + '/' + name + QStringLiteral(".zip");
    args.replaceInStrings(QStringLiteral("%ZIP%"), zip);
    ProcessResult made = run(python(), QStringList{makeZipScript()} + args);
    if (!made.ok()) {
        qWarning("makezip.py failed: %s", made.err.constData());
        return {};
    }
    const QString archive = zip + QStringLiteral(".3des");
    return encrypt(zip, archive) ? archive : QString();
}

enum class Damage { WrongPassPhrase, Truncate, FlipByte, Replace };

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestOstrandUnpack : public QObject {
    Q_OBJECT

private slots:
    void foreignArchives_data();
    void foreignArchives();
    void legacyCodePageNames();
    void hostileEntries_data();
    void hostileEntries();
    void damagedArchives_data();
    void damagedArchives();
    void damagedZipInside_data();
    void damagedZipInside();
    void emptyArchive();
    void outputFolderBehindSymlink_data();
    void outputFolderBehindSymlink();
    void diskFullIsReportedAsSuch();
    void existingFilesAreNotOverwritten();
    void argumentErrors_data();
    void argumentErrors();
};

// Archives written by other programs with the features they use: deflate and store, data
// descriptors of streamed output, Zip64 records and UTF-8 names.
void TestOstrandUnpack::foreignArchives_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("toStdout");
    const QString out = QStringLiteral("%OUT%");
    const QString src = QStringLiteral("%SRC%");
    QTest::newRow("zip deflate") << QStringLiteral("zip")
                                 << QStringList{QStringLiteral("-q"), QStringLiteral("-r"), out,
                                                QStringLiteral(".")}
                                 << false;
    QTest::newRow("zip store") << QStringLiteral("zip")
                               << QStringList{QStringLiteral("-q"), QStringLiteral("-r"),
                                              QStringLiteral("-0"), out, QStringLiteral(".")}
                               << false;
    QTest::newRow("zip streamed to a pipe")
        << QStringLiteral("zip")
        << QStringList{QStringLiteral("-q"), QStringLiteral("-r"), QStringLiteral("-"), QStringLiteral(".")}
        << true;
    QTest::newRow("zip with forced Zip64") << QStringLiteral("zip")
                                           << QStringList{QStringLiteral("-q"), QStringLiteral("-r"),
                                                          QStringLiteral("-fz"), out, QStringLiteral(".")}
                                           << false;
    for (const char* mode : {"deflate", "store", "stream", "zip64"})
        QTest::newRow(qPrintable(QStringLiteral("python zipfile ") + QLatin1String(mode)))
            << python() << QStringList{makeZipScript(), QStringLiteral("tree"), QLatin1String(mode), src, out}
            << false;
    QTest::newRow("7-Zip") << QStringLiteral("7z") << QStringList{QStringLiteral("a"),
                                                                  QStringLiteral("-tzip"),
                                                                  QStringLiteral("-bd"),
                                                                  QStringLiteral("-bso0"),
                                                                  out,
                                                                  QStringLiteral(".")}
                           << false;
}

void TestOstrandUnpack::foreignArchives()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(bool, toStdout);
    if (!hasTool(tool) || !hasTool(QStringLiteral("openssl")))
        QSKIP(qPrintable(tool + QStringLiteral(" or openssl is not installed")));
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, sampleTreeSpecs());
    const QString zip = tmp.filePath(QStringLiteral("fremd.zip"));
    args.replaceInStrings(QStringLiteral("%OUT%"), zip);
    args.replaceInStrings(QStringLiteral("%SRC%"), src);
    ProcessResult made = run(tool, args, src, toStdout ? zip : QString());
    QVERIFY2(made.ok(), made.err.constData());
    const QString archive = tmp.filePath(QStringLiteral("fremd.zip.3des"));
    QVERIFY(encrypt(zip, archive));

    // An existing empty folder this time; the round trips pass one that does not exist yet.
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QVERIFY(QDir().mkpath(out));
    QCOMPARE(unpack(archive, out, kPass), QString());
    const QString diff = compareTrees(snapshot(src), snapshot(out));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// Windows' own ZIP folders write names in the OEM code page without the UTF-8 flag.
void TestOstrandUnpack::legacyCodePageNames()
{
    if (!hasTool(python()) || !hasTool(QStringLiteral("openssl")))
        QSKIP("python3 or openssl is not installed");
    QTemporaryDir tmp;
    const QStringList names{QStringLiteral("Übersicht äöü ß.txt"), QStringLiteral("Maßnahmen/Ärzte Öl.csv")};
    const QString archive = makeArchive(tmp.path(), QStringLiteral("alt"),
                                        QStringList{QStringLiteral("cp437"), QStringLiteral("%ZIP%")} + names);
    QVERIFY(!archive.isEmpty());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QCOMPARE(unpack(archive, out, kPass), QString());
    QMap<QString, QByteArray> expected{{QStringLiteral("Maßnahmen/"), {}}};
    for (const QString& name : names)
        expected.insert(name, (QStringLiteral("Inhalt von ") + name).toUtf8());
    const QString diff = compareTrees(expected, snapshot(out));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestOstrandUnpack::hostileEntries_data()
{
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QStringList>("fragments");
    auto file = [](const QString& name) {
        return QJsonObject{{"name", name}, {"kind", "file"}, {"data", "böse"}};
    };
    auto symlink = [](const QString& name, const QString& target) {
        return QJsonObject{{"name", name}, {"kind", "symlink"}, {"target", target}};
    };
    auto row = [&](const char* title, QJsonArray hostile, const QStringList& fragments) {
        hostile.prepend(file(QStringLiteral("harmlos.txt")));
        QTest::newRow(title) << QString::fromUtf8(QJsonDocument(hostile).toJson(QJsonDocument::Compact))
                             << fragments;
    };
    const QString outside = QStringLiteral("außerhalb des Zielverzeichnisses");
    row("parent folder", {file(QStringLiteral("../evil.txt"))}, {QStringLiteral("\"../evil.txt\""), outside});
    row("climbing inside a path", {file(QStringLiteral("unter/../../evil.txt"))},
        {QStringLiteral("unter/../../evil.txt"), outside});
    row("absolute path", {file(QStringLiteral("%OUTSIDE%/evil.txt"))},
        {QStringLiteral("/evil.txt"), outside});
    row("drive letter", {file(QStringLiteral("C:/evil.txt"))}, {QStringLiteral("C:/evil.txt"), outside});
    row("drive-relative name", {file(QStringLiteral("C:evil.txt"))}, {QStringLiteral("C:evil.txt"), outside});
    row("backslash climbing", {file(QStringLiteral("..\\evil.txt"))}, {QStringLiteral("evil.txt"), outside});
    row("symlink entry", {symlink(QStringLiteral("verweis"), QStringLiteral("%OUTSIDE%"))},
        {QStringLiteral("verweis"), QStringLiteral("symbolische Verweise")});
    row("file through a symlink",
        {symlink(QStringLiteral("verweis"), QStringLiteral("%OUTSIDE%")),
         file(QStringLiteral("verweis/evil.txt"))},
        {QStringLiteral("verweis"), QStringLiteral("symbolische Verweise")});
    row("same name twice", {file(QStringLiteral("doppelt.txt")), file(QStringLiteral("doppelt.txt"))},
        {QStringLiteral("doppelt.txt"), QStringLiteral("mehrfach")});
    row("file where a folder is needed", {file(QStringLiteral("a")), file(QStringLiteral("a/b.txt"))},
        {QStringLiteral("a/b.txt"), QStringLiteral("Widerspruch")});
}

void TestOstrandUnpack::hostileEntries()
{
    if (!hasTool(python()) || !hasTool(QStringLiteral("openssl")))
        QSKIP("python3 or openssl is not installed");
    QFETCH(QString, entries);
    QFETCH(QStringList, fragments);
    QTemporaryDir tmp;
    const QString outsideDir = tmp.filePath(QStringLiteral("draussen"));
    writeFile(outsideDir + QStringLiteral("/vorhanden.txt"), "bleibt");
    entries.replace(QStringLiteral("%OUTSIDE%"), outsideDir);
    const QString archive =
        makeArchive(tmp.path(), QStringLiteral("feind"), {QStringLiteral("entries"), QStringLiteral("%ZIP%"), entries});
    QVERIFY(!archive.isEmpty());
    const auto before = snapshot(tmp.path());

    const QString out = tmp.filePath(QStringLiteral("ausgabe"));
    const QString result = unpack(archive, out, kPass);
    QVERIFY2(!result.isEmpty(), "UnPack accepted a hostile archive");
    for (QString f : fragments)
        QVERIFY2(result.contains(f.replace(QStringLiteral("%OUTSIDE%"), outsideDir)), qPrintable(result));
    // The output folder did not exist: it is gone again, and nothing else changed.
    QVERIFY(!QFileInfo::exists(out));
    const QString diff = compareTrees(before, snapshot(tmp.path()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("evil.txt"))));
}

void TestOstrandUnpack::damagedArchives_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<double>("where"); // fraction of the file, or a byte offset when >= 1
    QTest::addColumn<QString>("replacement");
    QTest::newRow("wrong pass phrase") << Damage::WrongPassPhrase << 0.0 << QString();
    for (double at : {0.0, 8.0, 16.0, 24.0, 0.5, -8.0, -1.0})
        QTest::newRow(qPrintable(QStringLiteral("truncated at %1").arg(at)))
            << Damage::Truncate << at << QString();
    for (double at : {9.0, 0.3, 0.5, 0.7, -1.0})
        QTest::newRow(qPrintable(QStringLiteral("byte flipped at %1").arg(at)))
            << Damage::FlipByte << at << QString();
    QTest::newRow("empty file") << Damage::Replace << 0.0 << QStringLiteral("empty");
    QTest::newRow("text file") << Damage::Replace << 0.0 << QStringLiteral("text");
    QTest::newRow("random bytes") << Damage::Replace << 0.0 << QStringLiteral("random");
    QTest::newRow("unencrypted ZIP") << Damage::Replace << 0.0 << QStringLiteral("plainzip");
    QTest::newRow("encrypted text, not a ZIP") << Damage::Replace << 0.0 << QStringLiteral("encryptedtext");
    QTest::newRow("ZIP with a wrong CRC") << Damage::Replace << 0.0 << QStringLiteral("badcrc");
}

void TestOstrandUnpack::damagedArchives()
{
    QFETCH(Damage, damage);
    QFETCH(double, where);
    QFETCH(QString, replacement);
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    // Mostly one stored random file, so that damage in the middle hits file data that only the CRC
    // protects.
    buildTree(src, {QStringLiteral("zufall.bin:262144:r"), QStringLiteral("notiz.txt:3000:t")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    const QString archive = base + QStringLiteral(".zip.3des");
    QCOMPARE(pack({src + QStringLiteral("/zufall.bin"), src + QStringLiteral("/notiz.txt")}, base, kPass),
             QString());
    QByteArray bytes = readFile(archive);
    auto offset = [&](double w) {
        qint64 at = w < 0 ? bytes.size() + qint64(w) : (w < 1 ? qint64(bytes.size() * w) : qint64(w));
        return std::clamp<qint64>(at, 0, bytes.size() - 1);
    };

    QString pass = kPass;
    switch (damage) {
    case Damage::WrongPassPhrase:
        pass = QStringLiteral("antwort-schlüssel 7");
        break;
    case Damage::Truncate:
        bytes.truncate(where == 0.0 ? 0 : (where > 0 && where < 1 ? offset(where) / 8 * 8 : offset(where)));
        writeFile(archive, bytes);
        break;
    case Damage::FlipByte:
        bytes[offset(where)] = static_cast<char>(bytes[offset(where)] ^ 0x10);
        writeFile(archive, bytes);
        break;
    case Damage::Replace:
        if (replacement == QLatin1String("empty")) {
            writeFile(archive, {});
        } else if (replacement == QLatin1String("text")) {
            writeFile(archive, content(replacement, 5000, 't'));
        } else if (replacement == QLatin1String("random")) {
            writeFile(archive, content(replacement, 4096, 'r'));
        } else {
            if (!hasTool(QStringLiteral("openssl")) || !hasTool(python()))
                QSKIP("openssl or python3 is not installed");
            const QString plain = tmp.filePath(QStringLiteral("klar"));
            if (replacement == QLatin1String("encryptedtext")) {
                writeFile(plain, content(replacement, 5000, 't'));
                QVERIFY(encrypt(plain, archive));
            } else {
                ProcessResult made = replacement == QLatin1String("badcrc")
                                         ? run(python(), {makeZipScript(), QStringLiteral("badcrc"), plain})
                                         : run(python(), {makeZipScript(), QStringLiteral("tree"),
                                                          QStringLiteral("deflate"), src, plain});
                QVERIFY2(made.ok(), made.err.constData());
                if (replacement == QLatin1String("badcrc"))
                    QVERIFY(encrypt(plain, archive));
                else
                    QVERIFY(QFile::remove(archive) && QFile::copy(plain, archive));
            }
            QFile::remove(plain);
        }
        break;
    }

    const QString out = tmp.filePath(QStringLiteral("aus"));
    QVERIFY(QDir().mkpath(out));
    const auto before = snapshot(tmp.path());
    const QString result = unpack(archive, out, pass);
    QVERIFY2(!result.isEmpty(), "UnPack accepted a damaged archive");
    QVERIFY2(result.contains(archive), qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("beschädigt")), qPrintable(result));
    QVERIFY(QDir(out).isEmpty());
    const QString diff = compareTrees(before, snapshot(tmp.path()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// The right pass phrase on a damaged ZIP: the answer names the damage, never the pass phrase or
// the disk, and nothing is extracted.
void TestOstrandUnpack::damagedZipInside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("fragments");
    const QString damaged = QStringLiteral("ist beschädigt");
    const QString entry = QStringLiteral("\"bericht.csv\"");
    const QString notRegular = QStringLiteral("weder eine Datei noch ein Verzeichnis");
    QTest::newRow("central directory size 0")
        << QStringLiteral("directory-size-zero")
        << QStringList{damaged, QStringLiteral("Inhaltsverzeichnis: 1, davon lesbar: 0")};
    QTest::newRow("more entries announced than present")
        << QStringLiteral("entry-count-too-high")
        << QStringList{damaged, QStringLiteral("Inhaltsverzeichnis: 2, davon lesbar: 1")};
    QTest::newRow("broken central directory record")
        << QStringLiteral("central-signature") << QStringList{damaged, QStringLiteral("Inhaltsverzeichnis")};
    QTest::newRow("wrong size of a stored entry") << QStringLiteral("wrong-size-stored") << QStringList{damaged, entry};
    QTest::newRow("wrong size of a deflated entry")
        << QStringLiteral("wrong-size-deflated") << QStringList{damaged, entry};
    QTest::newRow("flipped bit in deflate data") << QStringLiteral("flipped-deflate-bit") << QStringList{damaged, entry};
    QTest::newRow("UTF-8 flag on a name that is not UTF-8")
        << QStringLiteral("invalid-utf8-name") << QStringList{damaged, QStringLiteral("kein gültiger UTF-8-Text")};
    QTest::newRow("FIFO") << QStringLiteral("fifo") << QStringList{QStringLiteral("\"rohr\""), notRegular};
    QTest::newRow("character device")
        << QStringLiteral("character-device") << QStringList{QStringLiteral("\"geraet\""), notRegular};
    QTest::newRow("block device") << QStringLiteral("block-device")
                                  << QStringList{QStringLiteral("\"platte\""), notRegular};
    QTest::newRow("socket") << QStringLiteral("socket") << QStringList{QStringLiteral("\"sockel\""), notRegular};
}

void TestOstrandUnpack::damagedZipInside()
{
    if (!hasTool(python()) || !hasTool(QStringLiteral("openssl")))
        QSKIP("python3 or openssl is not installed");
    QFETCH(QString, kind);
    QFETCH(QStringList, fragments);
    QTemporaryDir tmp;
    const QString archive =
        makeArchive(tmp.path(), QStringLiteral("kaputt"), {QStringLiteral("damaged"), kind, QStringLiteral("%ZIP%")});
    QVERIFY(!archive.isEmpty());
    const auto before = snapshot(tmp.path());

    const QString out = tmp.filePath(QStringLiteral("aus"));
    const QString result = unpack(archive, out, kPass);
    QVERIFY2(!result.isEmpty(), "UnPack accepted a damaged archive");
    QVERIFY2(result.contains(QLatin1Char('"') + archive + QLatin1Char('"')), qPrintable(result));
    for (const QString& f : fragments)
        QVERIFY2(result.contains(f), qPrintable(result));
    QVERIFY2(!result.contains(QStringLiteral("Passwort")), qPrintable(result));
    QVERIFY2(!result.contains(QStringLiteral("Ein-/Ausgabefehler")), qPrintable(result));
    QVERIFY(!QFileInfo::exists(out));
    const QString diff = compareTrees(before, snapshot(tmp.path()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// A ZIP without entries is valid: it unpacks to nothing, successfully.
void TestOstrandUnpack::emptyArchive()
{
    if (!hasTool(python()) || !hasTool(QStringLiteral("openssl")))
        QSKIP("python3 or openssl is not installed");
    QTemporaryDir tmp;
    const QString archive = makeArchive(tmp.path(), QStringLiteral("leer"),
                                        {QStringLiteral("damaged"), QStringLiteral("empty"), QStringLiteral("%ZIP%")});
    QVERIFY(!archive.isEmpty());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    QCOMPARE(unpack(archive, out, kPass), QString());
    QVERIFY(QFileInfo(out).isDir());
    QVERIFY(QDir(out).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    QVERIFY(unpack(archive, tmp.filePath(QStringLiteral("aus2")), QStringLiteral("anderes Passwort"))
                .contains(QStringLiteral("falsches Passwort")));
}

// Links in the user's own output path are the user's business; only links inside the archive are
// refused.
void TestOstrandUnpack::outputFolderBehindSymlink_data()
{
    QTest::addColumn<QString>("output");   // below the temporary folder
    QTest::addColumn<QString>("realDir");  // where the files must land
    QTest::newRow("existing folder through a link") << QStringLiteral("verweis") << QStringLiteral("echt");
    QTest::newRow("new folders below a link")
        << QStringLiteral("verweis/neu/tiefer") << QStringLiteral("echt/neu/tiefer");
    QTest::newRow("link to a link") << QStringLiteral("kette/aus") << QStringLiteral("echt/aus");
    QTest::newRow("link in the middle, then a climb")
        << QStringLiteral("verweis/neu/../aus") << QStringLiteral("echt/aus");
}

void TestOstrandUnpack::outputFolderBehindSymlink()
{
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links");
#else
    QFETCH(QString, output);
    QFETCH(QString, realDir);
    QTemporaryDir tmp;
    QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("echt"))));
    QVERIFY(QFile::link(tmp.filePath(QStringLiteral("echt")), tmp.filePath(QStringLiteral("verweis"))));
    QVERIFY(QFile::link(tmp.filePath(QStringLiteral("verweis")), tmp.filePath(QStringLiteral("kette"))));
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("a.txt:100:t"), QStringLiteral("ordner/b.bin:3000:r")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    QCOMPARE(pack({src + QStringLiteral("/a.txt"), src + QStringLiteral("/ordner")}, base, kPass), QString());

    QCOMPARE(unpack(base + QStringLiteral(".zip.3des"), tmp.filePath(output), kPass), QString());
    const QString diff = compareTrees(snapshot(src), snapshot(tmp.filePath(realDir)));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    // The links themselves are untouched.
    QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("verweis"))).isSymLink());
    QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("kette"))).isSymLink());
#endif
}

// A real failure of the disk still reads as one, with its cause.
void TestOstrandUnpack::diskFullIsReportedAsSuch()
{
#ifndef Q_OS_LINUX
    QSKIP("needs a small tmpfs");
#else
    QTemporaryDir tmp;
    const QString small = tmp.filePath(QStringLiteral("klein"));
    SmallDisk disk(small, QStringLiteral("256k"));
    if (!disk.mounted())
        QSKIP("cannot mount a small tmpfs here");
    QVERIFY(QFile::link(small, tmp.filePath(QStringLiteral("verweis"))));

    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("zufall.bin:1000000:r")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    QCOMPARE(pack({src + QStringLiteral("/zufall.bin")}, base, kPass), QString());
    const QString out = tmp.filePath(QStringLiteral("verweis/aus"));
    const QString result = unpack(base + QStringLiteral(".zip.3des"), out, kPass);
    QVERIFY2(result.contains(QStringLiteral("nicht genügend Speicherplatz")), qPrintable(result));
    QVERIFY2(result.contains(out), qPrintable(result));
    QVERIFY(QDir(small).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
#endif
}

void TestOstrandUnpack::existingFilesAreNotOverwritten()
{
    QTemporaryDir tmp;
    const QString src = tmp.filePath(QStringLiteral("quelle"));
    buildTree(src, {QStringLiteral("neu.txt:100:t"), QStringLiteral("notiz.txt:200:t")});
    const QString base = tmp.filePath(QStringLiteral("archiv"));
    QCOMPARE(pack({src + QStringLiteral("/neu.txt"), src + QStringLiteral("/notiz.txt")}, base, kPass),
             QString());
    const QString out = tmp.filePath(QStringLiteral("aus"));
    writeFile(out + QStringLiteral("/notiz.txt"), "meins");

    const QString result = unpack(base + QStringLiteral(".zip.3des"), out, kPass);
    QVERIFY2(result.contains(QStringLiteral("\"notiz.txt\"")) && result.contains(QStringLiteral("bereits")),
             qPrintable(result));
    QCOMPARE(readFile(out + QStringLiteral("/notiz.txt")), QByteArray("meins"));
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("notiz.txt")});
}

void TestOstrandUnpack::argumentErrors_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("no archive") << QStringLiteral("%NULL%") << QStringLiteral("%TMP%/aus") << kPass
                                << QStringLiteral("keine Archivdatei");
    QTest::newRow("no output folder") << QStringLiteral("%TMP%/archiv.zip.3des") << QString() << kPass
                                      << QStringLiteral("kein Zielverzeichnis");
    QTest::newRow("no pass phrase") << QStringLiteral("%TMP%/archiv.zip.3des") << QStringLiteral("%TMP%/aus")
                                    << QString() << QStringLiteral("kein Passwort");
    QTest::newRow("missing archive") << QStringLiteral("%TMP%/fehlt.zip.3des") << QStringLiteral("%TMP%/aus")
                                     << kPass << QStringLiteral("fehlt.zip.3des\" wurde nicht gefunden");
    QTest::newRow("archive is a folder") << QStringLiteral("%TMP%/ordner") << QStringLiteral("%TMP%/aus")
                                         << kPass << QStringLiteral("ist ein Verzeichnis");
    QTest::newRow("output is a file")
        << QStringLiteral("%TMP%/archiv.zip.3des") << QStringLiteral("%TMP%/ordner/datei") << kPass
        << QStringLiteral("ist kein Verzeichnis");
}

void TestOstrandUnpack::argumentErrors()
{
    QFETCH(QString, archive);
    QFETCH(QString, output);
    QFETCH(QString, pass);
    QFETCH(QString, fragment);
    QTemporaryDir tmp;
    writeFile(tmp.filePath(QStringLiteral("ordner/datei")), "x");
    writeFile(tmp.filePath(QStringLiteral("quelle.txt")), "inhalt");
    QCOMPARE(
        pack({tmp.filePath(QStringLiteral("quelle.txt"))}, tmp.filePath(QStringLiteral("archiv")), kPass),
        QString());
    archive.replace(QStringLiteral("%TMP%"), tmp.path());
    output.replace(QStringLiteral("%TMP%"), tmp.path());
    const auto before = snapshot(tmp.path());

    const QByteArray a = QFile::encodeName(archive), o = QFile::encodeName(output), p = pass.toUtf8();
    const char* r =
        UnPack(archive == QLatin1String("%NULL%") ? nullptr : a.constData(), o.constData(), p.constData());
    const QString result = QString::fromUtf8(r ? r : "");
    QVERIFY2(result.contains(fragment), qPrintable(result));
    const QString diff = compareTrees(before, snapshot(tmp.path()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

QTEST_GUILESS_MAIN(TestOstrandUnpack)
#include "tst_OstrandUnpack.moc"
