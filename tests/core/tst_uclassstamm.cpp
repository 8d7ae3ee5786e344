#include "common/Ansi.h"
#include "masterdata/uCast.h"
#include "masterdata/uclassStamm.h"
#include "platform/FileError.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

const QString kMismatch = QStringLiteral(
    "Der Key-Dateiname %1 stimmt nicht mit dem in der Keydatei hinterlegten Dateinamen überein. Der "
    "Datenschutz dieser Datei ist nicht mehr gewährleistet. Die unsichere Key-Datei wird aus dem "
    "Tolvane-Anwendungsverzeichnis gelöscht.");

QByteArray plainOf(const QString& keyFile)
{
    TCast cast;
    return cast.decrypt(readAll(keyFile));
}

// Every file below dir, so tests can assert that nothing else was left behind.
QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestUClassStamm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void newRecordHasExactContents();
    void readsIndependentKeyFiles_data();
    void readsIndependentKeyFiles();
    void rewriteKeepsEveryBlock_data();
    void rewriteKeepsEveryBlock();
    void fileNameCheck_data();
    void fileNameCheck();
    void foreignFileIsRejectedAndRetired();
    void damagedNameKeepsThePassPhrase();
    void failedMoveLeavesTheFile();
    void shortRecordRaisesEndOfFile();
    void missingFileFailsSilently();
    void stalePlainCopyIsRemoved();
    void failedWriteKeepsPreviousKeyFile();
    void writtenKeyFileOpensWithOpenssl();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString exe() const { return m_dir->filePath("tolvane"); }
    QString copyFixture(const QString& name, const QString& as)
    {
        const QString target = m_dir->filePath(as);
        QFile::remove(target);
        if (!QFile::copy(dataFile(name), target))
            return {};
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }
};

void TestUClassStamm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestUClassStamm::newRecordHasExactContents()
{
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QStringLiteral("hh10203"), exe(), QString(), ok, dialogs);
    QVERIFY(ok);
    QCOMPARE(rec.FKeyFileName, QStringLiteral("hh10203.key"));
    QCOMPARE(rec.FAppDir, m_dir->path() + u'/');
    const double before = dateTimeToOleDate(QDateTime::currentDateTime());
    QVERIFY(rec.WriteKeyFile(QStringLiteral("hh10203.key")));
    const double after = dateTimeToOleDate(QDateTime::currentDateTime());
    QCOMPARE(filesIn(m_dir->path()), QStringList{"hh10203.key"});
    QVERIFY(dialogs.shown.isEmpty());

    const QByteArray key = readAll(m_dir->filePath("hh10203.key"));
    QCOMPARE(key.size(), 4752);
    const QByteArray plain = plainOf(m_dir->filePath("hh10203.key"));
    QByteArray expected(4744, '\0');
    expected.replace(1, 12, QByteArray("\x0bhh10203.key", 12));
    expected.replace(942, 8, QByteArray("\x07hh10203", 8));
    QCOMPARE(plain.left(4744).toHex(), expected.toHex());
    const double writeDate = record::dateValue(plain, 4744);
    QVERIFY(writeDate >= before - 1e-6 && writeDate <= after + 1e-6);
}

void TestUClassStamm::readsIndependentKeyFiles_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("regNr");
    QTest::addColumn<QString>("desKey");
    QTest::addColumn<bool>("issued");
    QTest::addColumn<QStringList>("dirs");
    QTest::newRow("plain") << "hh10203.key" << "hh10203" << "geheim123" << false
                           << QStringList{"/qs/", "/qs/Export/", "/qs/Antwort/", "/qs/News/"};
    QTest::newRow("issuer mark 1") << "issued1.key" << "vq00001" << "VQZPASSPHRASE12345678901" << true
                                   << QStringList{"", "", "", ""};
    QTest::newRow("issuer mark 2 only") << "issued2.key" << "vq00002" << "zweite" << true
                                        << QStringList{"", "", "", ""};
    QTest::newRow("windows-1252, cut at 200")
        << "ansi.key" << "ab12345" << QStringLiteral("pässwörd€") << false
        << QStringList{QStringLiteral("/Qualität/Übersicht ") + QString(180, u'x'), QStringLiteral("/Daten€/Export/"),
                       "", QStringLiteral("/Ö/")};
    // Only the stored file name is checked; the record is listed under its own number.
    QTest::newRow("other registration number") << "otherreg.key" << "zz99999" << "" << false
                                               << QStringList{"", "", "", ""};
    QTest::newRow("longer plain content") << "long.key" << "lo12345" << "" << false << QStringList{"", "", "", ""};
}

void TestUClassStamm::readsIndependentKeyFiles()
{
    QFETCH(QString, fixture);
    QFETCH(QString, regNr);
    QFETCH(QString, desKey);
    QFETCH(bool, issued);
    QFETCH(QStringList, dirs);
    const QString path = copyFixture(fixture, fixture);
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(ok);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(rec.FRegNr, regNr);
    QCOMPARE(rec.FKeyFileName, fixture);
    QCOMPARE(rec.FKey.DesKey(), desKey);
    QCOMPARE(rec.FIssued, issued);
    QCOMPARE((QStringList{rec.FDirs.VRootDir(), rec.FDirs.VExport(), rec.FDirs.VAntwort(), rec.FDirs.VNews()}), dirs);
    QCOMPARE(filesIn(m_dir->path()), QStringList{fixture});
    if (fixture == "hh10203.key") {
        QCOMPARE(rec.FDirs.DirsDate(), 45000.25);
        QCOMPARE(rec.FKey.KeyDate(), 44999.75);
        QVERIFY(rec.FDirs.DirsChanged());
        QVERIFY(rec.FKey.KeyChanged());
    }
}

void TestUClassStamm::rewriteKeepsEveryBlock_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::newRow("every byte of the extra blocks set") << "issued1.key";
    QTest::newRow("issuer mark 2") << "issued2.key";
    QTest::newRow("windows-1252") << "ansi.key";
}

void TestUClassStamm::rewriteKeepsEveryBlock()
{
    QFETCH(QString, fixture);
    const QString path = copyFixture(fixture, fixture);
    const QByteArray original = plainOf(path);
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(ok);
    QVERIFY(rec.WriteKeyFile(fixture));
    const QByteArray rewritten = plainOf(path);
    QCOMPARE(rewritten.size(), 4752);
    // Everything but the write date stays byte for byte; byte 0 is the recomputed issued flag.
    QCOMPARE(rewritten.mid(1, 4743).toHex(), original.mid(1, 4743).toHex());
    QCOMPARE(int(rewritten.at(0)), rec.FIssued ? 1 : 0);

    bool ok2 = false;
    TStamm again(QString(), exe(), path, ok2, dialogs);
    QVERIFY(ok2);
    QCOMPARE(again.FDirs, rec.FDirs);
    QCOMPARE(again.FKey, rec.FKey);
    QCOMPARE(again.FExtra1, rec.FExtra1);
    QCOMPARE(again.FExtra2, rec.FExtra2);
    QCOMPARE(again.FExtra3, rec.FExtra3);
}

void TestUClassStamm::fileNameCheck_data()
{
    QTest::addColumn<QString>("renamedTo");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("same name") << "hh10203.key" << true;
    QTest::newRow("upper case") << "HH10203.KEY" << true;
    QTest::newRow("other number") << "hh10204.key" << false;
}

void TestUClassStamm::fileNameCheck()
{
    QFETCH(QString, renamedTo);
    QFETCH(bool, accepted);
    const QString path = copyFixture("hh10203.key", renamedTo);
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QCOMPARE(ok, accepted);
    if (accepted) {
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(rec.FKeyFileName, QStringLiteral("hh10203.key"));
        QVERIFY(QFile::exists(path));
    } else {
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].kind, Dialogs::Kind::Information);
        QCOMPARE(dialogs.shown[0].text, kMismatch.arg(path));
        // Out of the application directory, but kept as the key window keeps deleted key files.
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readAll(m_dir->filePath("Deleted Keyfiles/") + renamedTo), readAll(dataFile("hh10203.key")));
    }
    QVERIFY(!QFile::exists(path + ".bkp"));
}

void TestUClassStamm::foreignFileIsRejectedAndRetired()
{
    const QString path = m_dir->filePath("fremd.key");
    QByteArray junk(4752, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919) >> 3);
    QVERIFY(writeAll(path, junk));
    ScriptedDialogs dialogs;
    bool ok = true;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(!ok);
    QCOMPARE(dialogs.texts(), QStringList{kMismatch.arg(path)});
    QVERIFY(filesIn(m_dir->path()).isEmpty());
    QCOMPARE(readAll(m_dir->filePath("Deleted Keyfiles/fremd.key")), junk);
}

// One flipped bit in the stored name fails the name check, yet the file still holds the pass
// phrase agreed with the data-receiving body: it must survive, also beside an older copy.
void TestUClassStamm::damagedNameKeepsThePassPhrase()
{
    TCast cast;
    QByteArray plain = plainOf(dataFile("hh10203.key"));
    plain[TStammRec::kKeyFileName + 3] =
        char(plain[TStammRec::kKeyFileName + 3] ^ 0x01); // hh10203 -> hh00203
    const QByteArray damaged = cast.encrypt(plain);
    const QString path = m_dir->filePath("hh10203.key");
    const QString deleted = m_dir->filePath("Deleted Keyfiles/");
    QVERIFY(QDir(m_dir->path()).mkpath("Deleted Keyfiles"));
    QVERIFY(writeAll(deleted + "hh10203.key", "ältere Kopie"));
    QVERIFY(writeAll(path, damaged));

    ScriptedDialogs dialogs;
    bool ok = true;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(!ok);
    QCOMPARE(dialogs.texts(), QStringList{kMismatch.arg(path)});
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readAll(deleted + "hh10203.key"), QByteArray("ältere Kopie"));
    const QStringList sub = QDir(deleted).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(sub.size(), 1);
    const QByteArray kept = readAll(deleted + sub.first() + "/hh10203.key");
    QCOMPARE(kept, damaged);
    QCOMPARE(TStammRec::parse(cast.decrypt(kept)).key.DesKey(), QStringLiteral("geheim123"));
}

void TestUClassStamm::failedMoveLeavesTheFile()
{
    const QString path = copyFixture("hh10203.key", "hh10204.key");
    // A file takes the folder's name, so the folder cannot be created.
    QVERIFY(writeAll(m_dir->filePath("Deleted Keyfiles"), "x"));
    ScriptedDialogs dialogs;
    bool ok = true;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(!ok);
    QCOMPARE(dialogs.shown.size(), 2);
    QCOMPARE(dialogs.shown[0].text, kMismatch.arg(path));
    QCOMPARE(dialogs.shown[1].kind, Dialogs::Kind::Error);
    QCOMPARE(dialogs.shown[1].text,
             QStringLiteral("Die Key-Datei \"") + path + QStringLiteral("\" konnte nicht nach \"")
                 + m_dir->filePath("Deleted Keyfiles/hh10204.key")
                 + QStringLiteral("\" verschoben werden (E/A-Fehler 183). Sie bleibt "
                                  "im Anwendungsverzeichnis."));
    QCOMPARE(readAll(path), readAll(dataFile("hh10203.key")));
}

void TestUClassStamm::shortRecordRaisesEndOfFile()
{
    const QString path = copyFixture("short.key", "short.key");
    ScriptedDialogs dialogs;
    bool ok = true;
    try {
        TStamm rec(QString(), exe(), path, ok, dialogs);
        QFAIL("a short record must raise");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("Versuch hinter dem Dateiende zu lesen"));
    }
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(filesIn(m_dir->path()), QStringList{"short.key"});
}

void TestUClassStamm::missingFileFailsSilently()
{
    ScriptedDialogs dialogs;
    bool ok = true;
    TStamm rec(QString(), exe(), m_dir->filePath("nix.key"), ok, dialogs);
    QVERIFY(!ok);
    QVERIFY(dialogs.shown.isEmpty());
}

void TestUClassStamm::stalePlainCopyIsRemoved()
{
    const QString path = copyFixture("hh10203.key", "hh10203.key");
    QVERIFY(writeAll(path + ".bkp", "plain leftovers"));
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(ok);
    QVERIFY(!QFile::exists(path + ".bkp"));
    QVERIFY(writeAll(path + ".bkp", "plain leftovers"));
    QVERIFY(rec.WriteKeyFile("hh10203.key"));
    QCOMPARE(filesIn(m_dir->path()), QStringList{"hh10203.key"});
}

void TestUClassStamm::failedWriteKeepsPreviousKeyFile()
{
    const QString path = copyFixture("hh10203.key", "hh10203.key");
    const QByteArray before = readAll(path);
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QString(), exe(), path, ok, dialogs);
    QVERIFY(ok);
    rec.FKey.setDesKey(QStringLiteral("neuesPasswort"));

    // Let every write beyond 1000 bytes fail, as on a full disk.
    struct rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit tight = old;
    tight.rlim_cur = 1000;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = rec.WriteKeyFile("hh10203.key");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].kind, Dialogs::Kind::Information);
    QVERIFY2(dialogs.shown[0].text.startsWith(QStringLiteral("Datei \"") + QDir::toNativeSeparators(path)
                                               + QStringLiteral("\" kann nicht erstellt werden. ")),
             qPrintable(dialogs.shown[0].text));
    QCOMPARE(readAll(path), before);
    QCOMPARE(filesIn(m_dir->path()), QStringList{"hh10203.key"});
}

void TestUClassStamm::writtenKeyFileOpensWithOpenssl()
{
    // Read back by the openssl tool, with the key and IV of the construction, not by our code.
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QStringLiteral("hh10203"), exe(), QString(), ok, dialogs);
    rec.FKey.setDesKey(QStringLiteral("Grüße-123"));
    rec.FDirs.setDir(TStammDirs::Export, QStringLiteral("/Qualität/Export/"));
    QVERIFY(rec.WriteKeyFile("hh10203.key"));

    QProcess openssl;
    openssl.start("openssl", {"enc", "-d", "-des-ede3-cbc", "-nopad", "-K",
                              "522c0f192fcc4ab20e114085a997e181e6bea3e300000000", "-iv", "cfc43800585e7ced", "-in",
                              m_dir->filePath("hh10203.key")});
    if (!openssl.waitForStarted())
        QSKIP("openssl is not installed");
    QVERIFY(openssl.waitForFinished());
    QCOMPARE(openssl.exitCode(), 0);
    const QByteArray plain = openssl.readAllStandardOutput();
    QCOMPARE(plain.size(), 4752);
    QCOMPARE(plain.mid(1, 12), QByteArray("\x0bhh10203.key"));
    QCOMPARE(plain.mid(942, 8), QByteArray("\x07hh10203"));
    QCOMPARE(plain.mid(1061, 10), QByteArray("\x09Gr\xfc\xdf" "e-123"));
    QCOMPARE(plain.mid(306, 18), QByteArray("\x11/Qualit\xe4t/Export/"));
}

QTEST_GUILESS_MAIN(TestUClassStamm)
#include "tst_uclassstamm.moc"
