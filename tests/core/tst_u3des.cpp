#include "packer/u3Des.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

const QString kPackNotFound = QStringLiteral("Function \"Pack\" oder Dll \"Ostrandcore.dll\" nicht gefunden.");
const QString kUnPackNotFound = QStringLiteral("Function \"UnPack \" oder dll \"Ostrandcore.dll\" nicht gefunden.");
const QString kPackRaised =
    QStringLiteral("Beim Aufruf der Funktion \"Pack\" der Ostrandcore.dll ist ein \r\nFehler aufgetreten.");
const QString kUnPackRaised =
    QStringLiteral("Beim Aufruf der Funktion \"UnPack\" der Ostrandcore.dll ist ein \r\nFehler aufgetreten.");

QString builtLibrary(const QString& fileName)
{
    return QStringLiteral(TOLVANE_BIN_DIR "/") + fileName;
}

// Puts the built packing library into appDir; false when it is not built.
bool installRealLibrary(const QTemporaryDir& app)
{
    const QString real = builtLibrary(PackingBridge::libraryFileName());
    if (!QFile::exists(real))
        return false;
    QFile::copy(real, app.filePath(PackingBridge::libraryFileName())); // a failure shows as "nicht gefunden"
    return true;
}

} // namespace

class TestU3Des : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void brokenLibrary_data();
    void brokenLibrary();
    void passesArgumentsAsGiven();
    void refusedBeforeTheCall_data();
    void refusedBeforeTheCall();
    void umlautPassPhraseOpensWithOpenssl();
    void libraryInWorkingDirectoryIsNotUsed();
    void realLibraryRoundTrip();
};

void TestU3Des::brokenLibrary_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("packMessage");
    QTest::addColumn<QString>("unpackMessage");
    QTest::newRow("missing") << QString() << kPackNotFound << kUnPackNotFound;
    QTest::newRow("not a library") << "garbage" << kPackNotFound << kUnPackNotFound;
    QTest::newRow("no such export") << "libfake_ostrand_noexport.so" << kPackNotFound << kUnPackNotFound;
    QTest::newRow("call raises") << "libfake_ostrand_throws.so" << kPackRaised << kUnPackRaised;
}

void TestU3Des::brokenLibrary()
{
    QFETCH(QString, library);
    QFETCH(QString, packMessage);
    QFETCH(QString, unpackMessage);
    QTemporaryDir app;
    const QString target = app.filePath(PackingBridge::libraryFileName());
    if (library == u"garbage")
        QVERIFY(writeAll(target, "MZ this is no library"));
    else if (!library.isEmpty())
        QVERIFY(QFile::copy(builtLibrary(library), target));

    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QList<bool> busy;
    bridge.busy = [&busy](bool on) { busy << on; };
    QString errorText = QStringLiteral("alt");
    QVERIFY(!bridge.PackFiles(app.filePath("t-hh10203-4"), "geheim123", {app.filePath("a.4")}, errorText));
    QCOMPARE(errorText, QString());
    QVERIFY(!bridge.UnpackArchive(app.filePath("v_x"), "geheim123", app.filePath("a.zip.3des"), errorText));
    QCOMPARE(dialogs.shown.size(), 2);
    QCOMPARE(dialogs.shown[0].kind, Dialogs::Kind::Error);
    QCOMPARE(dialogs.shown[0].text, packMessage);
    QCOMPARE(dialogs.shown[1].kind, Dialogs::Kind::Error);
    QCOMPARE(dialogs.shown[1].text, unpackMessage);
    QCOMPARE(busy, (QList<bool>{true, false, true, false}));
}

void TestU3Des::passesArgumentsAsGiven()
{
    QTemporaryDir app;
    QVERIFY(QFile::copy(builtLibrary("libfake_ostrand_echo.so"), app.filePath(PackingBridge::libraryFileName())));
    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QString errorText;
    // Paths in the platform's encoding (UTF-8 here), the pass phrase (shown in hex) in Windows-1252.
    QVERIFY(bridge.PackFiles("/qs/Export/t-hh10203-4", QStringLiteral("pässwort€"),
                             {"/daten/Header.4", QStringLiteral("/daten/Müller.4")}, errorText));
    QCOMPARE(
        errorText,
        QStringLiteral("null|/daten/Header.4;/daten/Müller.4|/qs/Export/t-hh10203-4|70e47373776f727480"));
    QVERIFY(bridge.UnpackArchive(QStringLiteral("/qs/Antwort/v_a-hh10203-4.zip.3des"),
                                 QStringLiteral("Grüße"), "/mail/a-hh10203-4.zip.3des", errorText));
    QCOMPARE(errorText,
             QStringLiteral("/mail/a-hh10203-4.zip.3des|/qs/Antwort/v_a-hh10203-4.zip.3des|4772fcdf65"));
    QVERIFY(dialogs.shown.isEmpty());
}

void TestU3Des::refusedBeforeTheCall_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("passPhrase");
    QTest::addColumn<QString>("packMessage");
    QTest::addColumn<QString>("unpackMessage"); // unpacking the first file; empty: it is called
    const QString semicolon = QStringLiteral(
        "Die Datei \"%1\" kann nicht verpackt werden: ihr Pfad enthält ein Semikolon (\";\"), das die "
        "Packbibliothek als Trennzeichen zwischen Dateien liest. Bitte benennen Sie die Datei oder ihren "
        "Ordner "
        "um.");
    const QString control = QStringLiteral("Die Passphrase enthält ein Steuerzeichen (%1). Bitte wählen Sie "
                                           "eine Passphrase ohne Steuerzeichen.");
    // Only the file list is split at ";": an archive path with one is passed on.
    QTest::newRow("semicolon in a file name") << QStringList{"/x/semi/a.txt", "/x/semi/report;b.txt"}
                                              << "geheim123" << semicolon.arg("/x/semi/report;b.txt") << "";
    QTest::newRow("semicolon in a folder name")
        << QStringList{"/x/se;mi/a.txt"} << "geheim123" << semicolon.arg("/x/se;mi/a.txt") << "";
    QTest::newRow("character outside Windows-1252")
        << QStringList{"/x/a.txt"} << QStringLiteral("Pāsswort1")
        << QStringLiteral(
               "Die Passphrase enthält das Zeichen \"ā\" (U+0101), das im Zeichensatz Windows-1252 "
               "nicht vorkommt. Die Passphrase wird in diesem Zeichensatz gespeichert und zur "
               "Verschlüsselung verwendet; bitte wählen Sie eine Passphrase ohne dieses Zeichen.")
        << "=";
    // The library would see the C string "abc" and encrypt with it.
    QTest::newRow("NUL") << QStringList{"/x/a.txt"} << QString::fromLatin1("abc\0defgh", 9)
                         << control.arg("U+0000") << "=";
    QTest::newRow("tab") << QStringList{"/x/a.txt"} << "geheim\t123" << control.arg("U+0009") << "=";
}

void TestU3Des::refusedBeforeTheCall()
{
    QFETCH(QStringList, files);
    QFETCH(QString, passPhrase);
    QFETCH(QString, packMessage);
    QFETCH(QString, unpackMessage);
    if (unpackMessage == u"=")
        unpackMessage = packMessage;
    QTemporaryDir app;
    QVERIFY(
        QFile::copy(builtLibrary("libfake_ostrand_echo.so"), app.filePath(PackingBridge::libraryFileName())));
    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QList<bool> busy;
    bridge.busy = [&busy](bool on) { busy << on; };

    QString errorText = QStringLiteral("alt");
    QVERIFY(!bridge.PackFiles("/x/t-hh10203-4", passPhrase, files, errorText));
    QCOMPARE(errorText, QString());
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].kind, Dialogs::Kind::Error);
    QCOMPARE(dialogs.shown[0].text, packMessage);
    QCOMPARE(busy, QList<bool>()); // the library was never called

    dialogs.clear();
    errorText = QStringLiteral("alt");
    const bool called = bridge.UnpackArchive("/x/v_a", passPhrase, files.first(), errorText);
    QCOMPARE(called, unpackMessage.isEmpty());
    QCOMPARE(dialogs.texts(), unpackMessage.isEmpty() ? QStringList() : QStringList{unpackMessage});
    if (called)
        QCOMPARE(errorText, files.first() + "|/x/v_a|" + passPhrase.toLatin1().toHex());
}

void TestU3Des::libraryInWorkingDirectoryIsNotUsed()
{
    QTemporaryDir app;
    QTemporaryDir planted;
    QVERIFY(QFile::copy(builtLibrary("libfake_ostrand_echo.so"), planted.filePath(PackingBridge::libraryFileName())));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(planted.path()));
    qputenv("LD_LIBRARY_PATH", planted.path().toUtf8());
    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QString errorText;
    const bool called = bridge.PackFiles("x", "geheim123", {"y"}, errorText);
    QDir::setCurrent(previous);
    QVERIFY(!called);
    QCOMPARE(dialogs.texts(), QStringList{kPackNotFound});
}

void TestU3Des::realLibraryRoundTrip()
{
    QTemporaryDir app;
    if (!installRealLibrary(app))
        QSKIP("the packing library is not built");
    QTemporaryDir work;
    const QString src = work.filePath("Header.4");
    const QString data = work.filePath(QStringLiteral("Daten äöü.4"));
    QVERIFY(writeAll(src, "Kopfzeile\n"));
    QVERIFY(writeAll(data, QByteArray(100000, 'q')));
    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QString errorText;
    QVERIFY(bridge.PackFiles(work.filePath("t-hh10203-4"), "geheim123", {src, data}, errorText));
    QCOMPARE(errorText, QString());
    QVERIFY(QFile::exists(work.filePath("t-hh10203-4.zip.3des")));

    const QString out = work.filePath("v_t-hh10203-4.zip.3des");
    QVERIFY(bridge.UnpackArchive(out, "geheim123", work.filePath("t-hh10203-4.zip.3des"), errorText));
    QCOMPARE(errorText, QString());
    QCOMPARE(readAll(out + "/Header.4"), QByteArray("Kopfzeile\n"));
    QCOMPARE(readAll(out + QStringLiteral("/Daten äöü.4")), QByteArray(100000, 'q'));

    // A wrong pass phrase is the library's error text, not a failed call.
    QVERIFY(bridge.UnpackArchive(work.filePath("v_falsch"), "falsch!!", work.filePath("t-hh10203-4.zip.3des"),
                                 errorText));
    QVERIFY(!errorText.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
}

// The receiving side derives the archive key from the Windows-1252 bytes of the pass phrase, as
// openssl does from the bytes of a pass phrase file.
void TestU3Des::umlautPassPhraseOpensWithOpenssl()
{
    QTemporaryDir app;
    if (!installRealLibrary(app))
        QSKIP("the packing library is not built");
    QTemporaryDir work;
    QVERIFY(writeAll(work.filePath("Header.4"), "Kopfzeile\n"));
    ScriptedDialogs dialogs;
    PackingBridge bridge(app.path(), dialogs);
    QString errorText;
    QVERIFY(bridge.PackFiles(work.filePath("t-hh10203-4"), QStringLiteral("Pässwort1"),
                             {work.filePath("Header.4")}, errorText));
    QCOMPARE(errorText, QString());

    const auto decrypt = [&](const QByteArray& passBytes) {
        const QString pw = work.filePath("pw");
        writeAll(pw, passBytes);
        QProcess openssl;
        openssl.start("openssl", {"enc", "-d", "-des-ede3-cbc", "-pbkdf2", "-iter", "100000", "-md", "sha256",
                                  "-pass", "file:" + pw, "-in", work.filePath("t-hh10203-4.zip.3des")});
        if (!openssl.waitForStarted() || !openssl.waitForFinished(60000) || openssl.exitCode() != 0)
            return QByteArray();
        return openssl.readAllStandardOutput();
    };
    QVERIFY(decrypt("P\xe4sswort1").startsWith("PK\x03\x04"));
    QVERIFY(!decrypt("P\xc3\xa4sswort1").startsWith("PK\x03\x04"));
}

QTEST_GUILESS_MAIN(TestU3Des)
#include "tst_u3des.moc"
