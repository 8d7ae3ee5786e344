#include "masterdata/uclassStamm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

class TestCliKeyFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void importAsksBeforeReplacing_data();
    void importAsksBeforeReplacing();
    void importOfAFileThatDoesNotLoadFails();
    void exportFollowsTheNameRule_data();
    void exportFollowsTheNameRule();
    void deleteKeepsEveryCopy();

private:
    using Result = CliResult;
    Result cli(QStringList args)
    {
        return runCli(QStringList{QStringLiteral("--app-dir"), m_app->path()} + args);
    }
    QString app(const QString& name) const { return m_app->filePath(name); }
    // A key file of regNr with the pass phrase desKey, written into dir.
    void writeKey(const QString& dir, const QString& regNr, const QString& desKey)
    {
        QVERIFY(writeKeyFile(dir, regNr, {.desKey = desKey}));
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_outside;
};

void TestCliKeyFiles::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_outside = std::make_unique<QTemporaryDir>();
    QVERIFY(m_app->isValid() && m_outside->isValid());
}

void TestCliKeyFiles::importAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("--no") << "--no" << false;
    QTest::newRow("--yes") << "--yes" << true;
}

void TestCliKeyFiles::importAsksBeforeReplacing()
{
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    writeKey(m_app->path(), "hh10203", "vereinbart-alt");
    const QByteArray existing = readAll(app("hh10203.key"));
    writeKey(m_outside->path(), "hh10203", "vereinbart-neu");
    writeKey(m_outside->path(), "hh10204", "zweite-datei");
    const QString newer = m_outside->filePath("hh10203.key");
    const Result r = cli({answer, "keys", "import", newer, m_outside->filePath("hh10204.key")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QStringLiteral("Bestätigung: Die zu importierende Stammdatei existiert bereits, soll diese "
                                   "wirklich überschrieben werden?\n")
                        + (replaced ? "-> Ja (--yes)\n" : "-> Nein (--no)\n"));
    QCOMPARE(readAll(app("hh10203.key")), replaced ? readAll(newer) : existing);
    QCOMPARE(readAll(app("hh10204.key")), readAll(m_outside->filePath("hh10204.key")));
    QCOMPARE(r.out, app("hh10203.key") + '\n' + app("hh10204.key") + '\n');
}

void TestCliKeyFiles::importOfAFileThatDoesNotLoadFails()
{
    // An exported copy under another name no longer matches the name stored inside it.
    writeKey(m_outside->path(), "hh10203", "vereinbart");
    QVERIFY(QFile::rename(m_outside->filePath("hh10203.key"), m_outside->filePath("backup.key")));
    Result r = cli({"keys", "import", m_outside->filePath("backup.key")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("stimmt nicht mit dem in der Keydatei hinterlegten Dateinamen"), qPrintable(r.err));
    QVERIFY(!QFile::exists(app("backup.key")));
    QVERIFY(QFile::exists(m_outside->filePath("backup.key")));

    r = cli({"keys", "import", m_outside->filePath("fehlt.key")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("Fehler: Die Key-Datei konnte nicht eingelesen werden.\n"));
}

void TestCliKeyFiles::exportFollowsTheNameRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("key") << "sicherung.key" << true;
    QTest::newRow("KEY") << "sicherung.KEY" << false;
    QTest::newRow("no extension") << "sicherung" << false;
}

void TestCliKeyFiles::exportFollowsTheNameRule()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    writeKey(m_app->path(), "hh10203", "vereinbart");
    const QString target = m_outside->filePath(name);
    const Result r = cli({"keys", "export", "hh10203", target});
    QCOMPARE(r.code, written ? 0 : 1);
    if (written) {
        QCOMPARE(readAll(target), readAll(app("hh10203.key")));
        QCOMPARE(r.out, target + '\n');
    } else {
        QCOMPARE(r.err, QStringLiteral("Informationen: Die Datei konnte nicht exportiert werden, da kein korrekter "
                                       "Dateinname angegeben wurde.\n"));
        QVERIFY(QDir(m_outside->path()).isEmpty());
    }
    QCOMPARE(cli({"keys", "export", "xx99999", target}).code, 1);
}

void TestCliKeyFiles::deleteKeepsEveryCopy()
{
    writeKey(m_app->path(), "hh10203", "erste-passphrase");
    const QByteArray first = readAll(app("hh10203.key"));
    Result r = cli({"--no", "keys", "delete", "hh10203"});
    QCOMPARE(r.code, 1);
    QCOMPARE(readAll(app("hh10203.key")), first);

    r = cli({"--yes", "keys", "delete", "hh10203"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, app("Deleted Keyfiles/hh10203.key") + '\n');
    QVERIFY(!QFile::exists(app("hh10203.key")));

    writeKey(m_app->path(), "hh10203", "zweite-passphrase");
    const QByteArray second = readAll(app("hh10203.key"));
    r = cli({"--yes", "keys", "delete", "hh10203"});
    QCOMPARE(r.code, 0);
    QVERIFY(!QFile::exists(app("hh10203.key")));
    QCOMPARE(readAll(app("Deleted Keyfiles/hh10203.key")), first);
    const QString moved = r.out.trimmed();
    QVERIFY2(moved.startsWith(app("Deleted Keyfiles/")) && moved.endsWith("/hh10203.key"), qPrintable(moved));
    QCOMPARE(readAll(moved), second);
}

QTEST_GUILESS_MAIN(TestCliKeyFiles)
#include "tst_cli_keyfiles.moc"
