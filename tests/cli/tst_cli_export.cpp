#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane::testutil;

// tolvane-cli export drives the export area's own logic: the same transactions, questions and
// messages as the window, for a nightly export.
class TestCliExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void exportsEveryTransaction();
    void overwriteQuestionOnTheConsole();
    void failuresAndUsage_data();
    void failuresAndUsage();

private:
    CliResult cli(const QStringList& args) { return runCli(QStringList{"--app-dir", m_app->path()} + args); }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
};

void TestCliExport::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(data()).mkpath("quelle"));
    QVERIFY(QDir(data()).mkpath("Export"));
    QVERIFY(QDir(data()).mkpath("anders"));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .exportDir = data("Export/")}));
    QVERIFY(installPackingLibrary(m_app->path()));
    for (const char* name : {"Header.4", "Daten.4", "Header.5", "Header.txt"})
        QVERIFY(writeAll(data("quelle/") + name, QByteArray(name) + " Inhalt"));
}

void TestCliExport::exportsEveryTransaction()
{
    const CliResult r = cli({"export", "hh10203", data("quelle/Header.5"), data("quelle/Header.4")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(r.out, data("Export/t-hh10203-4.zip.3des") + '\t' + data("Export/v_t-hh10203-4.zip.3des") +
                        '\n' + data("Export/t-hh10203-5.zip.3des") + '\t' +
                        data("Export/v_t-hh10203-5.zip.3des") + '\n');
    QCOMPARE(openWithStandardTools(data("Export/t-hh10203-4.zip.3des"), "geheim-123").keys(),
             (QStringList{"Daten.4", "Header.4"}));
    QCOMPARE(filesBelow(data("Export/v_t-hh10203-5.zip.3des")).keys(), QStringList{"Header.5"});

    // --target answers "ändern".
    const CliResult other = cli({"export", "hh10203", data("quelle/Header.4"), "--target", data("anders")});
    QVERIFY2(other.code == 0, qPrintable(other.err));
    QVERIFY(QFile::exists(data("anders/t-hh10203-4.zip.3des")));
}

void TestCliExport::overwriteQuestionOnTheConsole()
{
    QVERIFY(cli({"export", "hh10203", data("quelle/Header.4")}).code == 0);
    const QByteArray first = readAll(data("Export/t-hh10203-4.zip.3des"));
    const QString question = "Bestätigung: Die Datei \"" + data("Export/t-hh10203-4.zip.3des") +
                             "\" existiert bereits, soll diese überschrieben werden?\n";
    CliResult r = cli({"--no", "export", "hh10203", data("quelle/Header.4")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, question + "-> Nein (--no)\n");
    QCOMPARE(r.out, QString());
    QCOMPARE(readAll(data("Export/t-hh10203-4.zip.3des")), first);
    r = cli({"--yes", "export", "hh10203", data("quelle/Header.4")});
    QCOMPARE(r.code, 0);
    QVERIFY(readAll(data("Export/t-hh10203-4.zip.3des")) != first); // a new salt
    QVERIFY(QFileInfo(data("Export/v_t-hh10203-4.zip.3des_1")).isDir());
}

void TestCliExport::failuresAndUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    QTest::newRow("unknown number") << QStringList{"export", "hh99999", "Header.4"} << 1
                                    << "Fehler: Zur Registriernummer \"hh99999\" gibt es keine Keydatei.\n";
    QTest::newRow("not an integer") << QStringList{"export", "hh10203", "@quelle/Header.txt"} << 1
                                    << "Tolvane - Datencrypter: 'txt' ist kein gültiger Integerwert.\n";
    QTest::newRow("missing target")
        << QStringList{"export", "hh10203", "@quelle/Header.4", "--target", "@fehlt"} << 1
        << "Informationen: Bevor Sie Ihre Exportdateien verschlüsseln, geben Sie bitte "
           "einen gültigen Ausgabepfad an.\n";
    QTest::newRow("no file") << QStringList{"export", "hh10203"} << 2 << QString();
}

void TestCliExport::failuresAndUsage()
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
    if (!err.isEmpty())
        QCOMPARE(r.err, err);
    QVERIFY(QDir(data("Export")).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliExport)
#include "tst_cli_export.moc"
