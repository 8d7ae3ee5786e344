#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane::testutil;

// tolvane-cli answer decrypt runs the answer area's dialog run over the files given, with its
// messages on stderr and one line per unpacked file on stdout.
class TestCliAnswer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void names_data();
    void names();
    void repeatedRunsAndSeveralFiles();
    void libraryMissing();
    void usage_data();
    void usage();

private:
    CliResult cli(const QStringList& args) { return runCli(QStringList{"--app-dir", m_app->path()} + args); }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    // "@" stands for the data folder.
    QString expand(QString text) const { return text.replace(u'@', data()); }
    void make(const QString& name, const QByteArray& passPhrase = "geheim-123")
    {
        QVERIFY(makeWithStandardTools(data("Post/") + name, {{"Antwort.csv", name.toUtf8()}}, passPhrase));
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
};

void TestCliAnswer::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    for (const char* dir : {"Post", "Antwort", "gewaehlt"})
        QVERIFY(QDir(data()).mkpath(dir));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .answerDir = data("Antwort/")}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10204", {.desKey = "geheim-123"}));
    QVERIFY(installPackingLibrary(m_app->path()));
}

void TestCliAnswer::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString chooseFolder =
        "Informationen: Bitte wählen Sie ein Ausgabepfad für die entschlüsselten Dateien aus.\n";
    QTest::newRow("lower case") << "a-hh10203-4.zip.3des" << QStringList() << 0
                                << "a-hh10203-4.zip.3des\t@Antwort/v_a-hh10203-4.zip.3des\n"
                                << "";
    QTest::newRow("capitals") << "A-HH10203-4.ZIP.3DES" << QStringList() << 0
                              << "A-HH10203-4.ZIP.3DES\t@Antwort/v_A-HH10203-4.ZIP.3DES\n"
                              << "";
    QTest::newRow("transaction number")
        << "A-HH10203-X.ZIP.3DES" << QStringList() << 1 << ""
        << "Informationen: Die Transaktionsnummer \"x\" ist nicht nummerisch angegeben. Richtig wäre z.B. "
           "\"a-hh10203-4.zip.3des\"\n";
    QTest::newRow("news file")
        << "n-hh10203-4.zip.3des" << QStringList() << 1 << ""
        << "Informationen: Die Nameskonvention der Antwortdatei \"n-hh10203-4.zip.3des\" "
           "ist nicht korrekt. Richtig wäre z.B. \"a-hh10203-4.zip.3des\"\n";
    QTest::newRow("no key record") << "a-hh99999-4.zip.3des" << QStringList() << 1 << ""
                                   << "Fehler: Für die Registriernummer \"hh99999\" sind keine Stammdaten "
                                      "vorhanden, keine Entschlüsselung möglich.\n";
    QTest::newRow("missing file")
        << "-a-hh10203-7.zip.3des" << QStringList() << 1 << ""
        << "Fehler: Die angegeben Datei \"@Post/a-hh10203-7.zip.3des\" existiert nicht! "
           "[Abbruch]\n";
    QTest::newRow("no answer directory: skipped")
        << "a-hh10204-4.zip.3des" << QStringList() << 1 << "" << chooseFolder;
    QTest::newRow("no answer directory: --choose-dir")
        << "a-hh10204-4.zip.3des" << QStringList{"--choose-dir", "@gewaehlt"} << 0
        << "a-hh10204-4.zip.3des\t@gewaehlt/v_a-hh10204-4.zip.3des\n"
        << chooseFolder;
}

void TestCliAnswer::names()
{
    QFETCH(QString, name);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    // A leading "-" marks a file that is not there.
    if (name.startsWith(u'-'))
        name.remove(0, 1);
    else
        make(name);
    for (QString& o : options)
        o = expand(o);
    const CliResult r = cli(QStringList{"answer", "decrypt", data("Post/") + name} + options);
    QCOMPARE(r.err, expand(err));
    QCOMPARE(r.out, expand(out));
    QCOMPARE(r.code, code);
    if (code == 0) {
        const QString folder = expand(out).section(u'\t', 1).trimmed();
        QCOMPARE(filesBelow(folder), (QMap<QString, QByteArray>{{"Antwort.csv", name.toUtf8()}}));
    }
}

void TestCliAnswer::repeatedRunsAndSeveralFiles()
{
    make("a-hh10203-4.zip.3des");
    const QString file = data("Post/a-hh10203-4.zip.3des");
    QCOMPARE(cli({"answer", "decrypt", file}).code, 0);
    const QString question = "Bestätigung: Die Datei \"a-hh10203-4.zip.3des existiert bereits, soll diese "
                             "überschrieben werden?\n";
    CliResult r = cli({"--no", "answer", "decrypt", file});
    QCOMPARE(r.err, question + "-> Nein (--no)\n");
    QCOMPARE(r.out, QString());
    QCOMPARE(r.code, 1);
    r = cli({"--yes", "answer", "decrypt", file});
    QCOMPARE(r.err, question + "-> Ja (--yes)\n");
    QCOMPARE(r.out, expand("a-hh10203-4.zip.3des\t@Antwort/v_a-hh10203-4.zip.3des_1\n"));
    QCOMPARE(r.code, 0);

    // A missing file in the middle is skipped; a wrong pass phrase is reported and still listed.
    make("a-hh10203-5.zip.3des", "anders-456");
    make("a-hh10203-6.zip.3des");
    r = cli({"answer", "decrypt", data("Post/a-hh10203-5.zip.3des"), data("Post/a-hh10203-9.zip.3des"),
             data("Post/a-hh10203-6.zip.3des")});
    QCOMPARE(r.out, expand("a-hh10203-5.zip.3des\t@Antwort/v_a-hh10203-5.zip.3des\n"
                           "a-hh10203-6.zip.3des\t@Antwort/v_a-hh10203-6.zip.3des\n"));
    QVERIFY2(r.err.startsWith("Fehler: Die Datei \"" + data("Post/a-hh10203-5.zip.3des") + "\"") &&
                 r.err.endsWith(expand("Fehler: Die angegeben Datei \"@Post/a-hh10203-9.zip.3des\" existiert "
                                       "nicht! [Abbruch]\n")),
             qPrintable(r.err));
    QCOMPARE(r.code, 1);
}

// The file is listed with its (empty) folder, but nothing was unpacked.
void TestCliAnswer::libraryMissing()
{
    make("a-hh10203-4.zip.3des");
    QVERIFY(QFile::remove(m_app->filePath("libOstrandcore.so")));
    const CliResult r = cli({"answer", "decrypt", data("Post/a-hh10203-4.zip.3des")});
    QCOMPARE(r.err,
             QStringLiteral("Fehler: Function \"UnPack \" oder dll \"Ostrandcore.dll\" nicht gefunden.\n"));
    QCOMPARE(r.out, expand("a-hh10203-4.zip.3des\t@Antwort/v_a-hh10203-4.zip.3des\n"));
    QCOMPARE(r.code, 1);
}

void TestCliAnswer::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no subcommand") << QStringList{"answer"};
    QTest::newRow("unknown subcommand") << QStringList{"answer", "entschluesseln", "x.zip.3des"};
    QTest::newRow("no file") << QStringList{"answer", "decrypt"};
    QTest::newRow("--choose-dir without a folder") << QStringList{"answer", "decrypt", "x", "--choose-dir"};
}

void TestCliAnswer::usage()
{
    QFETCH(QStringList, args);
    const CliResult r = cli(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("answer decrypt DATEI... [--choose-dir ORDNER]"), qPrintable(r.err));
    QCOMPARE(r.out, QString());
}

QTEST_GUILESS_MAIN(TestCliAnswer)
#include "tst_cli_answer.moc"
