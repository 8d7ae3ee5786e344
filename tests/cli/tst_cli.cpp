#include "masterdata/uCast.h"
#include "masterdata/uclassStamm.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace tolvane::testutil;

namespace {

using Result = CliResult;

const char* const kLibrary = "libOstrandcore.so";

// A stand-in for the packing library that answers with its arguments as the error text, the
// pass phrase in hex: "null|file list|archive base|pass phrase bytes".
void installEchoLibrary(const QString& appDir)
{
    QFile::remove(appDir + "/" + kLibrary);
    QVERIFY(QFile::copy(TOLVANE_BIN_DIR "/libfake_ostrand_echo.so", appDir + "/" + kLibrary));
}

// Runs tolvane-cli with arguments given as bytes, which QProcess cannot pass (it encodes
// QStrings): the shell's printf writes them.
Result runCliBytes(const QList<QByteArray>& args)
{
    QString script = QStringLiteral("exec '" TOLVANE_BIN_DIR "/tolvane-cli'");
    for (const QByteArray& arg : args) {
        QString octal;
        for (const char c : arg)
            octal += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
        script += QStringLiteral(" \"$(printf '%1')\"").arg(octal);
    }
    QProcess p;
    p.start("sh", {"-c", script});
    if (!p.waitForStarted() || !p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void usageErrors_data();
    void usageErrors();
    void keysListAndShow();
    void packAndUnpack();
    void keysNew_data();
    void keysNew();
    void keysSetFollowsTheKeyWindowRules();
    void passPhraseFromStdin_data();
    void passPhraseFromStdin();
    void packKeepsTheOldArchive_data();
    void packKeepsTheOldArchive();
    void keysListNamesFilesThatDidNotLoad();
    void undecodableFileNameIsNamed();
    void noPlainRecordIsEverWritten();

private:
    std::unique_ptr<QTemporaryDir> m_app;
    QString app() const { return m_app->path(); }
};

void TestCli::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    QVERIFY(m_app->isValid());
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"zaubern"};
    QTest::newRow("unknown option") << QStringList{"keys", "list", "--bunt"};
    QTest::newRow("yes and no") << QStringList{"--yes", "--no", "keys", "list"};
    QTest::newRow("option without value") << QStringList{"keys", "set", "hh10203", "--root"};
    QTest::newRow("show without number") << QStringList{"keys", "show"};
    QTest::newRow("pack without files") << QStringList{"pack", "basis"};
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    const Result r = runCli(QStringList{"--app-dir", app()} + args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("Aufruf: tolvane-cli"), qPrintable(r.err));
}

void TestCli::keysListAndShow()
{
    for (const char* name : {"issued1.key", "hh10203.key"})
        QVERIFY(QFile::copy(dataFile(name), m_app->filePath(name)));
    Result r = runCli({"--app-dir", app(), "keys", "list"});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList first = lines[0].split('\t');
    QCOMPARE(first.mid(0, 3), (QStringList{"hh10203", "hh10203.key", "eigene Keydatei"}));
    QCOMPARE(first.mid(4), (QStringList{"/qs/", "/qs/Export/", "/qs/Antwort/", "/qs/News/"}));
    QVERIFY(first[3].startsWith("Stand: ") && first[3] != "Stand: bisher keine Angaben");
    QCOMPARE(lines[1].split('\t').mid(0, 4),
             (QStringList{"vq00001", "issued1.key", "VQZ-Keydatei", "Stand: bisher keine Angaben"}));

    r = runCli({"--app-dir", app(), "keys", "show", "hh10203"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("Registriernummer: hh10203\n"));
    QVERIFY(r.out.contains("Passphrase:       (verborgen)\n"));
    QVERIFY(!r.out.contains("geheim123"));
    r = runCli({"--app-dir", app(), "keys", "show", "hh10203", "--show-passphrase"});
    QVERIFY(r.out.contains("Passphrase:       geheim123\n"));

    r = runCli({"--app-dir", app(), "keys", "show", "HH10203"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Fehler: Zur Registriernummer \"HH10203\" gibt es keine Keydatei.\n"));
}

void TestCli::packAndUnpack()
{
    const QString lib = QStringLiteral(TOLVANE_BIN_DIR "/") + kLibrary;
    if (!QFile::exists(lib))
        QSKIP("the packing library is not built");
    QTemporaryDir work;
    const auto pack = [&](const QString& answer, const QStringList& files) {
        return runCli(QStringList{"--app-dir", app(), answer, "pack", work.filePath("t-hh10203-4")} + files
                          + QStringList{"--passphrase-stdin"},
                      "geheim123\n");
    };
    const auto unpack = [&](const QString& out, const QByteArray& phrase) {
        return runCli({"--app-dir", app(), "unpack", work.filePath("t-hh10203-4.zip.3des"),
                       work.filePath(out), "--passphrase-stdin"},
                      phrase);
    };
    // Without the library beside it, the bridge's own message.
    QVERIFY(writeAll(work.filePath("Header.4"), "Kopf"));
    Result r = pack("--no", {work.filePath("Header.4")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Fehler: Function \"Pack\" oder Dll \"Ostrandcore.dll\" nicht gefunden.\n"));

    QVERIFY(QFile::copy(lib, m_app->filePath(kLibrary)));
    QVERIFY(QDir(work.path()).mkpath("sub/tiefer"));
    QVERIFY(writeAll(work.filePath("sub/tiefer/daten.4"), "Inhalt"));
    r = pack("--no", {work.filePath("Header.4"), work.filePath("sub")});
    QCOMPARE(r.code, 0);
    QVERIFY2(QFile::exists(work.filePath("t-hh10203-4.zip.3des")), qPrintable(r.err));

    // An existing archive is replaced only on Yes.
    r = pack("--no", {work.filePath("Header.4")});
    QCOMPARE(r.code, 1);

    r = unpack("aus", "geheim123\n");
    QCOMPARE(r.code, 0);
    QCOMPARE(readAll(work.filePath("aus/Header.4")), QByteArray("Kopf"));
    QCOMPARE(readAll(work.filePath("aus/sub/tiefer/daten.4")), QByteArray("Inhalt"));

    r = unpack("aus2", "falsch123\n");
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.startsWith("Fehler: "));
    QVERIFY(!QFileInfo::exists(work.filePath("aus2/Header.4")));

    // On Yes the new archive takes the place of the old one.
    QVERIFY(writeAll(work.filePath("Header.4"), "Neuer Kopf"));
    QCOMPARE(pack("--yes", {work.filePath("Header.4")}).code, 0);
    QCOMPARE(unpack("aus3", "geheim123\n").code, 0);
    QCOMPARE(QDir(work.filePath("aus3")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"Header.4"});
    QCOMPARE(readAll(work.filePath("aus3/Header.4")), QByteArray("Neuer Kopf"));
}

void TestCli::keysNew_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("trimmed and lower-cased") << "  HH10205 " << 0 << "hh10205.key" << "";
    QTest::newRow("too short") << "hh1020" << 1 << ""
                               << "Informationen: Die eingegeben Registriernummer \"hh1020\" - (Ländercode + "
                                  "Registriercode) muß 7-stellig sein.\n";
    QTest::newRow("too long") << "hh102055" << 1 << ""
                              << "Informationen: Die eingegeben Registriernummer \"hh102055\" - (Ländercode + "
                                 "Registriercode) muß 7-stellig sein.\n";
}

void TestCli::keysNew()
{
    QFETCH(QString, input);
    QFETCH(int, code);
    QFETCH(QString, file);
    QFETCH(QString, message);
    const Result r = runCli({"--app-dir", app(), "keys", "new", input});
    QCOMPARE(r.code, code);
    QCOMPARE(r.err, message);
    QCOMPARE(QDir(app()).entryList(QDir::Files), file.isEmpty() ? QStringList() : QStringList{file});
}

void TestCli::keysSetFollowsTheKeyWindowRules()
{
    QVERIFY(QFile::copy(dataFile("issued1.key"), m_app->filePath("issued1.key")));
    QCOMPARE(runCli({"--app-dir", app(), "keys", "new", "hh10203"}).code, 0);
    const QByteArray emptyRecord = readAll(m_app->filePath("hh10203.key"));
    // An existing key file is never replaced by an empty record.
    Result r = runCli({"--app-dir", app(), "keys", "new", "HH10203"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.startsWith("Warnung: Für die Registriernummer \"hh10203\" gibt es bereits die Key-Datei "));
    QCOMPARE(readAll(m_app->filePath("hh10203.key")), emptyRecord);

    r = runCli({"--app-dir", app(), "keys", "set", "hh10203", "--passphrase-stdin"}, "1234567\n");
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Informationen: Bitte geben Sie mindestens 8 zeichen für den "
                                   "Verschlüsselungscode an.\n"));
    QCOMPARE(readAll(m_app->filePath("hh10203.key")), emptyRecord);

    r = runCli({"--app-dir", app(), "keys", "set", "hh10203", "--passphrase-stdin", "--root", app()}, "12345678\n");
    QCOMPARE(r.code, 0);
    r = runCli({"--app-dir", app(), "keys", "show", "hh10203", "--show-passphrase"});
    QVERIFY(r.out.contains("Passphrase:       12345678\n"));
    QVERIFY(r.out.contains("Stammverzeichnis: " + app() + "/\n"));
    const QString keyStand = r.out.section("Passphrase-Stand: ", 1).section('\n', 0, 0);
    QVERIFY(!keyStand.isEmpty() && keyStand != "bisher keine Angaben");

    // A missing directory stops the save; changing only a directory keeps the pass phrase date.
    r = runCli({"--app-dir", app(), "keys", "set", "hh10203", "--news", app() + "/fehlt"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, "Fehler: Das angegebene Verzeichnis \"" + app() + "/fehlt/\" existiert nicht. Bitte prüfen Sie dies.\n");
    QTest::qWait(1100);
    QVERIFY(QDir(app()).mkdir("News"));
    QCOMPARE(runCli({"--app-dir", app(), "keys", "set", "hh10203", "--news", app() + "/News"}).code, 0);
    r = runCli({"--app-dir", app(), "keys", "show", "hh10203"});
    QCOMPARE(r.out.section("Passphrase-Stand: ", 1).section('\n', 0, 0), keyStand);
    QVERIFY(r.out.section("Verzeichnisse-Stand: ", 1).section('\n', 0, 0) != keyStand);
    QVERIFY(r.out.contains("News:             " + app() + "/News/\n"));

    // The pass phrase of an issued key file stays as the data-receiving body issued it.
    const QByteArray issued = readAll(m_app->filePath("issued1.key"));
    r = runCli({"--app-dir", app(), "keys", "set", "vq00001", "--passphrase-stdin"}, "anderesPasswort\n");
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Fehler: Die Passphrase einer VQZ-Keydatei kann nicht geändert werden.\n"));
    QCOMPARE(readAll(m_app->filePath("issued1.key")), issued);
}

void TestCli::passPhraseFromStdin_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("bytes"); // hex of what the library gets and the key file holds
    QTest::addColumn<QString>("message");  // when refused, without the caption
    QTest::addColumn<bool>(
        "passPhraseRule"); // refused by the pass phrase rule (the key window shows it as information)
    const QString invalid = QStringLiteral("Die Passphrase auf der Standardeingabe enthält Bytes, die in der "
                                           "Zeichenkodierung UTF-8 kein Zeichen bilden. Bitte geben Sie die "
                                           "Passphrase in UTF-8 ein.");
    // Windows-1252 on every platform: the receiving side derives the archive key from these bytes.
    QTest::newRow("umlaut") << QByteArray("P\xc3\xa4sswort1\n") << QByteArray("50e47373776f727431") << ""
                            << false;
    QTest::newRow("CRLF line end") << QByteArray("geheim123\r\nRest") << QByteArray("67656865696d313233")
                                   << "" << false;
    QTest::newRow("no line end") << QByteArray("geheim123") << QByteArray("67656865696d313233") << ""
                                 << false;
    // Replaced by U+FFFD, "P\xe4sswort1" and "P\xf6sswort1" would open each other's archives.
    QTest::newRow("Windows-1252 byte") << QByteArray("P\xe4sswort1\n") << QByteArray() << invalid << false;
    QTest::newRow("sequence cut off") << QByteArray("geheim12\xc3\n") << QByteArray() << invalid << false;
    // As a C string the library would see "abc".
    QTest::newRow("NUL")
        << QByteArray("abc\0defgh\n", 10) << QByteArray()
        << "Die Passphrase enthält ein Steuerzeichen (U+0000). Bitte wählen Sie eine Passphrase "
           "ohne Steuerzeichen."
        << true;
    QTest::newRow("outside Windows-1252")
        << QByteArray("P\xc4\x81sswort1\n") << QByteArray()
        << QStringLiteral(
               "Die Passphrase enthält das Zeichen \"ā\" (U+0101), das im Zeichensatz Windows-1252 nicht "
               "vorkommt. Die Passphrase wird in diesem Zeichensatz gespeichert und zur Verschlüsselung "
               "verwendet; bitte wählen Sie eine Passphrase ohne dieses Zeichen.")
        << true;
}

void TestCli::passPhraseFromStdin()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(bool, passPhraseRule);
    installEchoLibrary(app());
    QTemporaryDir work;
    QVERIFY(writeAll(work.filePath("Header.4"), "Kopf"));

    // pack and unpack: the echo library shows what it got, so it answers with an error text. A
    // refused pass phrase is refused as it is read, before the question about the existing archive.
    const QString archive = work.filePath("t-hh10203-4.zip.3des");
    QVERIFY(writeAll(archive, "alt"));
    Result r = runCli({"--app-dir", app(), "--yes", "pack", work.filePath("t-hh10203-4"),
                       work.filePath("Header.4"), "--passphrase-stdin"},
                      input);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, message.isEmpty()
                        ? "Bestätigung: Die Datei \"" + archive
                              + "\" existiert bereits. Soll sie ersetzt werden?\n-> Ja (--yes)\n"
                                "Fehler: null|"
                              + work.filePath("Header.4") + "|" + work.filePath("t-hh10203-4") + "|" + bytes
                              + "\n"
                        : "Fehler: " + message + "\n");
    r = runCli(
        {"--app-dir", app(), "unpack", work.filePath("Header.4"), work.filePath("aus"), "--passphrase-stdin"},
        input);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, message.isEmpty() ? "Fehler: " + work.filePath("Header.4") + "|" + work.filePath("aus")
                                            + "|" + bytes + "\n"
                                      : "Fehler: " + message + "\n");

    // keys set: the key window's rules, and the record holds the same bytes.
    QCOMPARE(runCli({"--app-dir", app(), "keys", "new", "hh10203"}).code, 0);
    const QByteArray before = readAll(m_app->filePath("hh10203.key"));
    r = runCli({"--app-dir", app(), "keys", "set", "hh10203", "--passphrase-stdin"}, input);
    if (message.isEmpty()) {
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        tolvane::TCast cast;
        const QByteArray plain = cast.decrypt(readAll(m_app->filePath("hh10203.key")));
        const int length = plain.at(tolvane::TStammRec::kKey + 141);
        QCOMPARE(plain.mid(tolvane::TStammRec::kKey + 142, length).toHex(), bytes);
    } else {
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, (passPhraseRule ? "Informationen: " : "Fehler: ") + message + "\n");
        QCOMPARE(readAll(m_app->filePath("hh10203.key")), before);
    }
}

void TestCli::packKeepsTheOldArchive_data()
{
    QTest::addColumn<QString>(
        "input"); // "=" the archive itself, "link" a symbolic link to it, "hard" a hard link
    QTest::newRow("packing fails") << "Header.4";
    QTest::newRow("input is the archive") << "=";
    QTest::newRow("input is a link to the archive") << "link";
    QTest::newRow("input is a hard link to the archive") << "hard";
}

void TestCli::packKeepsTheOldArchive()
{
    QFETCH(QString, input);
    installEchoLibrary(app()); // every pack "fails" with an error text
    QTemporaryDir work;
    const QString archive = work.filePath("t-hh10203-4.zip.3des");
    QVERIFY(writeAll(archive, "altes Archiv"));
    QVERIFY(writeAll(work.filePath("Header.4"), "Kopf"));
    QString file = work.filePath(input);
    if (input == u"=")
        file = archive;
    else if (input == u"link")
        QVERIFY(QFile::link(archive, file));
    else if (input == u"hard")
        QCOMPARE(::link(QFile::encodeName(archive).constData(), QFile::encodeName(file).constData()), 0);

    const Result r = runCli(
        {"--app-dir", app(), "--yes", "pack", work.filePath("t-hh10203-4"), file, "--passphrase-stdin"},
        "geheim123\n");
    QCOMPARE(r.code, 1);
    if (input == u"Header.4") {
        QCOMPARE(r.err, "Bestätigung: Die Datei \"" + archive
                            + "\" existiert bereits. Soll sie ersetzt werden?\n"
                              "-> Ja (--yes)\nFehler: null|"
                            + file + "|" + work.filePath("t-hh10203-4") + "|67656865696d313233\n");
    } else {
        QCOMPARE(r.err,
                 "Fehler: Die Datei \"" + file + "\" ist das Archiv \"" + archive
                     + "\", das geschrieben werden soll. Ein Archiv kann nicht sich selbst enthalten.\n");
    }
    QCOMPARE(readAll(archive), QByteArray("altes Archiv"));
}

void TestCli::keysListNamesFilesThatDidNotLoad()
{
    QVERIFY(QFile::copy(dataFile("hh10203.key"), m_app->filePath("hh10203.key")));
    QVERIFY(
        QFile::copy(dataFile("hh10203.key"), m_app->filePath("hh10204.key"))); // stored name does not match
    QVERIFY(QFile::copy(dataFile("short.key"), m_app->filePath("short.key")));
    Result r = runCli({"--app-dir", app(), "keys", "list"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.startsWith("hh10203\thh10203.key\t"));
    QCOMPARE(r.out.count('\n'), 1);
    QCOMPARE(r.err,
             "Informationen: Der Key-Dateiname " + m_app->filePath("hh10204.key")
                 + " stimmt nicht mit dem in der Keydatei hinterlegten Dateinamen überein. Der Datenschutz "
                   "dieser Datei ist nicht mehr gewährleistet. Die unsichere Key-Datei wird aus dem "
                   "Tolvane-Anwendungsverzeichnis gelöscht.\n"
                   "Fehler: "
                 + m_app->filePath("short.key") + ": Versuch hinter dem Dateiende zu lesen\n");
    QVERIFY(QFile::exists(m_app->filePath("Deleted Keyfiles/hh10204.key")));

    QVERIFY(QFile::remove(m_app->filePath("short.key")));
    r = runCli({"--app-dir", app(), "keys", "list"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QString());
}

void TestCli::undecodableFileNameIsNamed()
{
    QTemporaryDir work;
    const QByteArray dir = QFile::encodeName(work.path());
    const QByteArray name = dir + "/M\xe4ller.4"; // Windows-1252, not UTF-8
    QVERIFY(writeAll(QFile::decodeName(dir + "/ok.4"), "x"));
    const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    const Result r = runCliBytes({"--app-dir", QFile::encodeName(app()), "pack", dir + "/t-hh10203-4",
                                  dir + "/ok.4", name, "--passphrase-stdin"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err,
             "Fehler: Der Aufrufparameter \"" + work.path()
                 + "/M\\xE4ller.4\" ist kein gültiger Text in der "
                   "Zeichenkodierung UTF-8: das Byte 0xE4 an Stelle "
                 + QString::number(dir.size() + 3)
                 + " bildet kein Zeichen. tolvane-cli kann solche Datei- und Ordnernamen nicht verarbeiten; "
                   "bitte benennen Sie die Datei oder den Ordner um.\n");
    QVERIFY(!QFile::exists(work.filePath("t-hh10203-4.zip.3des")));
    QCOMPARE(::unlink(name.constData()), 0); // QTemporaryDir cannot name it either
}

void TestCli::noPlainRecordIsEverWritten()
{
    // strace sees every write the process makes; the plain record's stored name must never be among them.
    QProcess probe;
    probe.start("strace", {"-V"});
    if (!probe.waitForStarted() || !probe.waitForFinished() || probe.exitCode() != 0)
        QSKIP("strace is not installed");
    QVERIFY(QFile::copy(dataFile("hh10203.key"), m_app->filePath("hh10203.key")));
    QVERIFY(QDir(app()).mkdir("Export"));
    const QString trace = m_app->filePath("trace.txt");
    QProcess p;
    // LeakSanitizer cannot run under ptrace; a sanitizer build would otherwise fail here.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    p.setProcessEnvironment(env);
    p.start("strace", {"-f", "-e", "trace=write,pwrite64,writev", "-s", "100000", "-xx", "-o", trace,
                       TOLVANE_BIN_DIR "/tolvane-cli", "--app-dir", app(), "keys", "set", "hh10203", "--root", app(),
                       "--export", app() + "/Export", "--answer", app(), "--news", app()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray log = readAll(trace);
    QVERIFY(log.contains(") = 4752\n")); // the encrypted record was written
    // "\x0bhh10203.key" as strace prints it with -xx.
    QVERIFY(!log.contains("\\x0b\\x68\\x68\\x31\\x30\\x32\\x30\\x33\\x2e\\x6b\\x65\\x79"));
    QVERIFY(!log.contains("\\x07\\x68\\x68\\x31\\x30\\x32\\x30\\x33"));
    QCOMPARE(QDir(app()).entryList(QDir::Files), (QStringList{"hh10203.key", "trace.txt"}));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
