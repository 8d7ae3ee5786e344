#include "packer/u3Des.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
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

} // namespace

class TestU3Des : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void brokenLibrary_data();
    void brokenLibrary();
    void passesArgumentsAsGiven();
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
    QVERIFY(bridge.PackFiles("/qs/Export/t-hh10203-4", QStringLiteral("pässwort"),
                             {"/daten/Header.4", QStringLiteral("/daten/Müller.4")}, errorText));
    QCOMPARE(errorText, QStringLiteral("null|/daten/Header.4;/daten/Müller.4|/qs/Export/t-hh10203-4|pässwort"));
    QVERIFY(bridge.UnpackArchive("/qs/Antwort/v_a-hh10203-4.zip.3des", "geheim123",
                                 "/mail/a-hh10203-4.zip.3des", errorText));
    QCOMPARE(errorText, QStringLiteral("/mail/a-hh10203-4.zip.3des|/qs/Antwort/v_a-hh10203-4.zip.3des|geheim123"));
    QVERIFY(dialogs.shown.isEmpty());
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
    const QString real = builtLibrary(PackingBridge::libraryFileName());
    if (!QFile::exists(real))
        QSKIP("the packing library is not built");
    QTemporaryDir app;
    QVERIFY(QFile::copy(real, app.filePath(PackingBridge::libraryFileName())));
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

QTEST_GUILESS_MAIN(TestU3Des)
#include "tst_u3des.moc"
