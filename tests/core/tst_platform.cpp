#include "platform/AppDirs.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "platform/Guarded.h"
#include "platform/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tolvane;
using namespace tolvane::testutil;

// A control with an event, and a handler that fails.
class Sender : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void picked(int row);
};

class Handlers : public QObject {
    Q_OBJECT
public:
    QList<int> rows;
    void pickedRow(int row)
    {
        rows << row;
        if (row < 0)
            throw FileError(FileError::AccessDenied);
    }
};

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyNeverDestroysTarget();
    void moveNeverReplaces();
    void sameFileUsesIdentity();
    void dialogFolderForm_data();
    void dialogFolderForm();
    void fileErrorTexts_data();
    void fileErrorTexts();
    void profileFileRules();
    void handlerErrorsReachTheGenericBox();
    void applicationDirectories();
};

void TestPlatform::copyNeverDestroysTarget()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("neu.key");
    const QString dst = dir.filePath("alt.key");
    QVERIFY(writeAll(src, QByteArray(5000, 'n')));
    QVERIFY(writeAll(dst, "alter Inhalt"));
    QString error;
    QVERIFY(!fs::copyFile(src, dst, false, &error));
    QCOMPARE(error, QStringLiteral("Die Datei existiert bereits."));
    QCOMPARE(readAll(dst), QByteArray("alter Inhalt"));

    // A copy that fails half-way (as on a full disk) leaves the old target whole.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tight = old;
    tight.rlim_cur = 1000;
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tight);
    const bool copied = fs::copyFile(src, dst, true, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    QVERIFY(!copied);
    QCOMPARE(readAll(dst), QByteArray("alter Inhalt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    QVERIFY(fs::copyFile(src, dst, true, &error));
    QCOMPARE(readAll(dst), QByteArray(5000, 'n'));
}

void TestPlatform::moveNeverReplaces()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("a"), "a"));
    QVERIFY(writeAll(dir.filePath("b"), "b"));
    QVERIFY(!fs::moveFile(dir.filePath("a"), dir.filePath("b")));
    QCOMPARE(readAll(dir.filePath("a")), QByteArray("a"));
    QCOMPARE(readAll(dir.filePath("b")), QByteArray("b"));
    QVERIFY(fs::moveFile(dir.filePath("a"), dir.filePath("c")));
    QVERIFY(!QFile::exists(dir.filePath("a")));
    QCOMPARE(readAll(dir.filePath("c")), QByteArray("a"));
}

void TestPlatform::sameFileUsesIdentity()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("Datei"), "x"));
    QVERIFY(writeAll(dir.filePath("datei"), "y"));
    QVERIFY(QDir(dir.path()).mkdir("sub"));
    QVERIFY(!fs::sameFile(dir.filePath("Datei"), dir.filePath("datei"))); // two files on this system
    QVERIFY(fs::sameFile(dir.filePath("Datei"), dir.filePath("sub/../Datei")));
    QVERIFY(::link(QFile::encodeName(dir.filePath("Datei")).constData(),
                   QFile::encodeName(dir.filePath("hart")).constData())
            == 0);
    QVERIFY(fs::sameFile(dir.filePath("Datei"), dir.filePath("hart")));
    QVERIFY(!fs::sameFile(dir.filePath("fehlt"), dir.filePath("Datei")));
}

void TestPlatform::dialogFolderForm_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("form");
    QTest::newRow("trailing separator") << "/daten/qs/" << "/daten/qs";
    QTest::newRow("none") << "/daten/qs" << "/daten/qs";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("drive root") << "C:/" << "C:/";
}

void TestPlatform::dialogFolderForm()
{
    QFETCH(QString, path);
    QFETCH(QString, form);
    QCOMPARE(fs::dialogFolderForm(path), form);
}

void TestPlatform::fileErrorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("2") << 2 << "Datei nicht gefunden";
    QTest::newRow("3") << 3 << "Ungültiger Dateiname";
    QTest::newRow("4") << 4 << "Zu viele geöffnete Dateien";
    QTest::newRow("5") << 5 << "Dateizugriff verweigert";
    QTest::newRow("100") << 100 << "Versuch hinter dem Dateiende zu lesen";
    QTest::newRow("101") << 101 << "Zu wenig Speicherplatz";
    QTest::newRow("106") << 106 << "Ungültige numerische Eingabe";
    QTest::newRow("other") << 32 << "E/A-Fehler 32";
}

void TestPlatform::fileErrorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(FileError(code).text(), text);
}

void TestPlatform::profileFileRules()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tolvane.ini");
    {
        ProfileFile ini(path);
        QCOMPARE(ini.read("E", "hh10203", "/home/x"), QStringLiteral("/home/x"));
        QVERIFY(ini.flush());
        QVERIFY(!QFile::exists(path)); // the file comes into being with the first write
        QVERIFY(ini.write("e", "HH10203", QStringLiteral("C:\\")));
        QVERIFY(ini.write("A", "ANTWORT", QStringLiteral("/Daten; \"Ä\" = 5 ")));
    }
    ProfileFile again(path);
    QCOMPARE(again.read("E", "hh10203", "x"), QStringLiteral("C:\\"));
    QCOMPARE(again.read("a", "antwort", "x"), QStringLiteral("/Daten; \"Ä\" = 5 ").trimmed());
    // Values are stored as they are: a backslash at the end is no escape.
    QVERIFY(readAll(path).contains("C:\\\n") || readAll(path).contains("C:\\\r\n"));
}

// An error in an event handler is shown where the handler runs; it never leaves the signal, and
// the next event is handled as usual.
void TestPlatform::handlerErrorsReachTheGenericBox()
{
    ScriptedDialogs dialogs;
    Sender sender;
    Handlers handlers;
    int clicks = 0;
    connectGuarded(&sender, &Sender::picked, &handlers, dialogs, &Handlers::pickedRow);
    connectGuarded(&sender, &Sender::picked, &handlers, dialogs, [&clicks] {
        ++clicks;
        throw TolvaneError(QStringLiteral("E/A-Fehler 32"));
    });
    bool returned = false;
    try {
        Q_EMIT sender.picked(-1);
        Q_EMIT sender.picked(3);
        returned = true;
    } catch (...) {
    }
    QVERIFY(returned);
    QCOMPARE(handlers.rows, (QList<int>{-1, 3}));
    QCOMPARE(clicks, 2);
    QStringList texts;
    for (const auto& box : dialogs.shown) {
        QCOMPARE(box.caption, QStringLiteral("Tolvane - Datencrypter"));
        texts << box.text;
    }
    QCOMPARE(texts, (QStringList{"Dateizugriff verweigert.", "E/A-Fehler 32.", "E/A-Fehler 32."}));
}

// A portable folder keeps everything beside the executable; a system install keeps the user's
// files in the per-user folder and loads the library from its private folder.
void TestPlatform::applicationDirectories()
{
    QTemporaryDir root;
    QTemporaryDir home;
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString bin = root.filePath("bin") + u'/';
    const QString privateDir = root.filePath("lib/tolvane") + u'/';
    const QString user = home.filePath("tolvane") + u'/';
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(privateDir));

    // Nothing installed yet (a build folder): portable.
    AppDirs dirs = AppDirs::forExecutableIn(bin);
    QCOMPARE(dirs.dataDir, bin);
    QCOMPARE(dirs.libraryDir, bin);
    // System install: the library only in the private folder.
    QVERIFY(writeAll(privateDir + "libOstrandcore.so", "x"));
    dirs = AppDirs::forExecutableIn(bin);
    QCOMPARE(dirs.dataDir, user);
    QCOMPARE(dirs.libraryDir, privateDir);
    QVERIFY(QFileInfo(user).isDir());
    // A library beside the executable makes the folder portable again.
    QVERIFY(writeAll(bin + "libOstrandcore.so", "x"));
    dirs = AppDirs::forExecutableIn(bin);
    QCOMPARE(dirs.dataDir, bin);
    QCOMPARE(dirs.libraryDir, bin);
    qputenv("XDG_DATA_HOME", oldXdg);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
