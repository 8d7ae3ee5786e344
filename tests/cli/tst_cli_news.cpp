#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane::testutil;

// tolvane-cli news drives the news area's own logic: the same names, questions and messages as
// the two groups of the window.
class TestCliNews : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void createsAndDecrypts();
    void overwriteQuestionAndSaveFolder();
    void chosenDirectoryAndFileManager();
    void failuresAndUsage_data();
    void failuresAndUsage();

private:
    CliResult cli(const QStringList& args) { return runCli(QStringList{"--app-dir", m_app->path()} + args); }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    QString opened() const { return m_tools.filePath("geoeffnet.txt"); }

    QTemporaryDir m_tools;
    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
};

const QMap<QString, QByteArray> kContent{{"Rundschreiben.txt", "Rundschreiben\n"}};

void TestCliNews::initTestCase()
{
    // A file manager that notes which folder it was asked to open.
    const QString script = m_tools.filePath("xdg-open");
    QVERIFY(writeAll(script, "#!/bin/sh\necho \"$1\" >> '" + opened().toUtf8() + "'\n"));
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", m_tools.path().toUtf8() + ':' + qgetenv("PATH"));
}

void TestCliNews::init()
{
    QFile::remove(opened());
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    for (const char* dir : {"quelle", "News", "Post", "Anders"})
        QVERIFY(QDir(data()).mkpath(dir));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .newsDir = data("News/")}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10204", {.desKey = "zweite-456", .newsDir = data("Fehlt/")}));
    QVERIFY(installPackingLibrary(m_app->path()));
    QVERIFY(writeAll(data("quelle/Bericht.txt"), "Bericht\n"));
    QVERIFY(writeAll(data("quelle/Daten.csv"), "a;b\n1;2\n"));
}

void TestCliNews::createsAndDecrypts()
{
    const QString file = data("News/n-hh10203-Info_12_2002.zip.3des");
    CliResult r = cli({"news", "create", "hh10203", "--description", "Info-12-2002",
                       data("quelle/Bericht.txt"), data("quelle/Daten.csv")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, file + '\t' + data("News/v_n-hh10203-Info_12_2002.zip.3des") + '\n');
    QCOMPARE(r.err, "Informationen: Newsdatei \"" + file + "\" wurde erfolgreich erstellt.\n");
    QCOMPARE(openWithStandardTools(file, "geheim-123"),
             (QMap<QString, QByteArray>{{"Bericht.txt", "Bericht\n"}, {"Daten.csv", "a;b\n1;2\n"}}));

    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Antwort.zip.3des"), kContent, "geheim-123"));
    r = cli({"news", "decrypt", data("Post/n-hh10203-Antwort.zip.3des"), file});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, data("News/v_n-hh10203-Antwort.zip.3des") + '\n' +
                        data("News/v_n-hh10203-Info_12_2002.zip.3des_1") + '\n');
    QCOMPARE(r.err, QString());
    QCOMPARE(filesBelow(data("News/v_n-hh10203-Antwort.zip.3des")), kContent);
    QCOMPARE(filesBelow(data("News/v_n-hh10203-Info_12_2002.zip.3des_1")).keys(),
             (QStringList{"Bericht.txt", "Daten.csv"}));
    QVERIFY(!QFile::exists(opened()));
}

void TestCliNews::overwriteQuestionAndSaveFolder()
{
    const QString file = data("News/n-hh10203-Info.zip.3des");
    const QStringList args{"news", "create", "hh10203", "--description", "Info", data("quelle/Bericht.txt")};
    QCOMPARE(cli(args).code, 0);
    const QByteArray first = readAll(file);
    CliResult r = cli(QStringList{"--no"} + args);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err,
             "Bestätigung: Die Datei \"n-hh10203-Info.zip.3des existiert bereits, soll diese überschrieben "
             "werden?\n-> Nein (--no)\n");
    QCOMPARE(r.out, QString());
    QCOMPARE(readAll(file), first);
    r = cli(QStringList{"--yes"} + args);
    QCOMPARE(r.code, 0);
    QVERIFY(readAll(file) != first); // a new salt
    QVERIFY(QFileInfo(data("News/v_n-hh10203-Info.zip.3des_1")).isDir());

    // Without a news directory --target answers the save dialog; there is no archive folder.
    r = cli({"news", "create", "hh10204", "--description", "Info", data("quelle/Bericht.txt"), "--target",
             data("Anders")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, data("Anders/n-hh10204-Info.zip.3des") + "\t\n");
    QCOMPARE(QDir(data("Anders")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"n-hh10204-Info.zip.3des"});
    // Without it the save dialog counts as cancelled.
    r = cli({"news", "create", "hh10204", "--description", "Zwei", data("quelle/Bericht.txt")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
}

void TestCliNews::chosenDirectoryAndFileManager()
{
    QVERIFY(makeWithStandardTools(data("Post/n-hh10204-Info.zip.3des"), kContent, "zweite-456"));
    CliResult r = cli({"news", "decrypt", data("Post/n-hh10204-Info.zip.3des"), "--choose-dir",
                       data("Anders"), "--explorer"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QString folder = data("Anders/v_n-hh10204-Info.zip.3des");
    QCOMPARE(r.out, folder + '\n');
    QCOMPARE(r.err,
             QStringLiteral("Informationen: Bitte wählen Sie ein Ausgabepfad für die entschlüsselten Dateien "
                            "aus.\n"));
    QCOMPARE(filesBelow(folder), kContent);
    QTRY_COMPARE(readAll(opened()), folder.toUtf8() + '\n');

    // Without a chosen folder the file is not decrypted.
    r = cli({"news", "decrypt", data("Post/n-hh10204-Info.zip.3des")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());

    // A library error is shown, and fails the command; the output folder is still printed.
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Falsch.zip.3des"), kContent, "anders-789"));
    r = cli({"news", "decrypt", data("Post/n-hh10203-Falsch.zip.3des")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, data("News/v_n-hh10203-Falsch.zip.3des") + '\n');
    QCOMPARE(r.err, "Fehler: Die Datei \"" + data("Post/n-hh10203-Falsch.zip.3des") +
                        "\" konnte nicht entschlüsselt werden: falsches Passwort oder beschädigte Datei.\n");
    QTest::qWait(200);
    QCOMPARE(readAll(opened()), folder.toUtf8() + '\n'); // no file manager without --explorer
}

void TestCliNews::failuresAndUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    QTest::newRow("no action") << QStringList{"news"} << 2 << QString();
    QTest::newRow("unknown action") << QStringList{"news", "send"} << 2 << QString();
    QTest::newRow("no description") << QStringList{"news", "create", "hh10203", "@quelle/Bericht.txt"} << 2
                                    << QString();
    QTest::newRow("no file") << QStringList{"news", "create", "hh10203", "--description", "Info"} << 2
                             << QString();
    QTest::newRow("nothing to decrypt") << QStringList{"news", "decrypt"} << 2 << QString();
    QTest::newRow("unknown number") << QStringList{"news",          "create", "hh99999",
                                                   "--description", "Info",   "@quelle/Bericht.txt"}
                                    << 1
                                    << "Fehler: Zur Registriernummer \"hh99999\" gibt es keine Keydatei.\n";
    QTest::newRow("description with a folder")
        << QStringList{"news", "create", "hh10203", "--description", "../Info", "@quelle/Bericht.txt"} << 1
        << "Fehler: Die Dateibezeichnung darf keines der Zeichen \\ / : * ? \" < > | und keine Steuerzeichen "
           "enthalten.\n";
    QTest::newRow("no key record for the news file")
        << QStringList{"news", "decrypt", "@Post/n-hh99999-Info.zip.3des"} << 1
        << "Fehler: Für die Registriernummer \"hh99999\" sind keine Stammdaten vorhanden, keine "
           "Entschlüsselung "
           "möglich.\n";
}

void TestCliNews::failuresAndUsage()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, err);
    for (QString& a : args) {
        if (a.startsWith(u'@'))
            a = data(a.mid(1));
    }
    const CliResult r = cli(args);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, QString());
    if (!err.isEmpty())
        QCOMPARE(r.err, err);
    QVERIFY(QDir(data("News")).isEmpty());
    QVERIFY(!QFileInfo::exists(data("quelle/Info")));
}

QTEST_GUILESS_MAIN(TestCliNews)
#include "tst_cli_news.moc"
