#include "masterdata/MasterDataStore.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

class TestMasterDataStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void emptyDirectoryGivesEmptyStore();
    void storeOrderIgnoresCase();
    void failingFilesAreLeftOut();
    void findRegNrIsExactAndTakesTheLast();
    void listingsIncludeHiddenEntriesAndDirectories();
    void chooseDirectoryRemembersLastChoice();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString exe() const { return m_dir->filePath("tolvane"); }
    // A key file written by Tolvane itself for regNr, stored as fileName.
    void writeKey(const QString& regNr, const QString& fileName)
    {
        QVERIFY(writeKeyFile(m_dir->path(), regNr, {.fileName = fileName}));
    }
    void renameFile(const QString& from, const QString& to)
    {
        QVERIFY(QFile::rename(m_dir->filePath(from), m_dir->filePath(to)));
    }
    static QStringList regNrs(const MasterDataStore& store)
    {
        QStringList result;
        for (int i = 0; i < store.FCount(); ++i)
            result << store.record(i).FRegNr;
        return result;
    }
};

void TestMasterDataStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestMasterDataStore::emptyDirectoryGivesEmptyStore()
{
    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    // Every view of the store hears of each load.
    QSignalSpy first(&store, &MasterDataStore::loaded);
    QSignalSpy second(&store, &MasterDataStore::loaded);
    store.LoadKeyFiles();
    QCOMPARE(store.FCount(), 0);
    QCOMPARE(store.FindRegNr(QStringLiteral("hh10203")), -1);
    QCOMPARE(first.size(), 1);
    QCOMPARE(second.size(), 1);
    QVERIFY(dialogs.shown.isEmpty());
}

void TestMasterDataStore::storeOrderIgnoresCase()
{
    writeKey("hh10204", "hh10204.key");
    writeKey("hh10203", "hh10203.key");
    renameFile("hh10203.key", "HH10203.KEY");
    writeKey("hh10202", "hh10202.key");
    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    store.FCurrent = 2;
    store.LoadKeyFiles();
    QCOMPARE(regNrs(store), (QStringList{"hh10202", "hh10203", "hh10204"}));
    QCOMPARE(store.record(1).FKeyFileName, QStringLiteral("hh10203.key"));
    QCOMPARE(store.FCurrent, 0);
    QVERIFY(dialogs.shown.isEmpty());
}

void TestMasterDataStore::failingFilesAreLeftOut()
{
    writeKey("aa00001", "aa00001.key");
    writeKey("bb00002", "bb00002.key");
    renameFile("bb00002.key", "bb00003.key"); // stored name no longer matches
    QVERIFY(QFile::copy(dataFile("short.key"), m_dir->filePath("cc00004.key")));
    QVERIFY(writeAll(m_dir->filePath("dd00005.key"), QByteArray(4752, 'Z'))); // not a key file at all
    QVERIFY(QDir(m_dir->path()).mkdir("ee00006.key"));                       // a directory
    writeKey("ff00007", "ff00007.key");

    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    store.LoadKeyFiles();
    QCOMPARE(regNrs(store), (QStringList{"aa00001", "ff00007"}));

    const QString mismatch = QStringLiteral(
        "Der Key-Dateiname %1 stimmt nicht mit dem in der Keydatei hinterlegten Dateinamen überein. Der "
        "Datenschutz dieser Datei ist nicht mehr gewährleistet. Die unsichere Key-Datei wird aus dem "
        "Tolvane-Anwendungsverzeichnis gelöscht.");
    QCOMPARE(dialogs.shown.size(), 3);
    QCOMPARE(dialogs.shown[0].kind, Dialogs::Kind::Information);
    QCOMPARE(dialogs.shown[0].text, mismatch.arg(m_dir->filePath("bb00003.key")));
    QCOMPARE(dialogs.shown[1].kind, Dialogs::Kind::Error);
    QCOMPARE(dialogs.shown[1].caption, QStringLiteral("Fehler"));
    QCOMPARE(dialogs.shown[1].text, QStringLiteral("Versuch hinter dem Dateiende zu lesen"));
    QCOMPARE(dialogs.shown[2].text, mismatch.arg(m_dir->filePath("dd00005.key")));
    // Mismatched and foreign files leave the application directory into "Deleted Keyfiles", so a
    // damaged one can still be recovered; the truncated one stays for inspection.
    QCOMPARE(QDir(m_dir->filePath("Deleted Keyfiles")).entryList(QDir::Files),
             (QStringList{"bb00003.key", "dd00005.key"}));
    QVERIFY(!QFile::exists(m_dir->filePath("bb00003.key")));
    QVERIFY(!QFile::exists(m_dir->filePath("dd00005.key")));
    QVERIFY(QFile::exists(m_dir->filePath("cc00004.key")));
    QCOMPARE(store.leftOut(), (QStringList{m_dir->filePath("bb00003.key"), m_dir->filePath("cc00004.key"),
                                           m_dir->filePath("dd00005.key")}));

    // Where messages run together (the command line), the raised error names its file.
    dialogs.shown.clear();
    store.namePathInLoadErrors = true;
    store.LoadKeyFiles();
    QCOMPARE(dialogs.texts(),
             QStringList{m_dir->filePath("cc00004.key") + ": Versuch hinter dem Dateiende zu lesen"});
    QCOMPARE(store.leftOut(), QStringList{m_dir->filePath("cc00004.key")});
}

void TestMasterDataStore::findRegNrIsExactAndTakesTheLast()
{
    writeKey("hh10203", "hh10203.key");
    // An imported copy under another name that still carries the same number.
    writeKey("hh10203", "zz-kopie.key");
    writeKey("hh10209", "hh10209.key");
    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    store.LoadKeyFiles();
    QCOMPARE(regNrs(store), (QStringList{"hh10203", "hh10209", "hh10203"}));
    QCOMPARE(store.FindRegNr("hh10203"), 2);
    QCOMPARE(store.FindRegNr("hh10209"), 1);
    QCOMPARE(store.FindRegNr("HH10203"), -1);
    QCOMPARE(store.FindRegNr("hh1020"), -1);
    QCOMPARE(store.FindRegNr(""), -1);
}

void TestMasterDataStore::listingsIncludeHiddenEntriesAndDirectories()
{
    const QString d = m_dir->path() + u'/';
    QVERIFY(QDir(d).mkdir("daten.1"));
    for (const char* name : {"Header.1", "b.1", ".versteckt.1", "A.1", "c.2", "x.10"})
        QVERIFY(writeAll(d + name, "x"));
    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    QCOMPARE(store.ListFileNames(d, "*.1"), (QStringList{".versteckt.1", "A.1", "b.1", "daten.1", "Header.1"}));
    QCOMPARE(store.ListFiles(d, "header.*"), (QStringList{d + "Header.1"}));
    QCOMPARE(store.ListFiles(d + "fehlt/", "*.*"), QStringList());
}

void TestMasterDataStore::chooseDirectoryRemembersLastChoice()
{
    ScriptedDialogs dialogs;
    MasterDataStore store(exe(), dialogs);
    dialogs.expectChooseDirectory(QString());
    QCOMPARE(store.ChooseDirectory(QString()), QString());
    QCOMPARE(store.FLastDir, QString());
    dialogs.expectChooseDirectory(m_dir->filePath("qs"));
    QCOMPARE(store.ChooseDirectory(QString()), m_dir->filePath("qs") + u'/');
    dialogs.expectChooseDirectory(QString()); // cancelled: the last choice stays
    QCOMPARE(store.ChooseDirectory(QString()), QString());
    dialogs.expectChooseDirectory(m_dir->filePath("anders/"));
    QCOMPARE(store.ChooseDirectory(m_dir->filePath("vorschlag/")), m_dir->filePath("anders/"));
    QVERIFY(dialogs.scriptDone());
    QCOMPARE(dialogs.requests.size(), 4);
    QCOMPARE(dialogs.requests[0].startDir, QString());
    QCOMPARE(dialogs.requests[1].startDir, QString());
    QCOMPARE(dialogs.requests[2].startDir, m_dir->filePath("qs") + u'/');
    QCOMPARE(dialogs.requests[3].startDir, m_dir->filePath("vorschlag/"));
}

QTEST_GUILESS_MAIN(TestMasterDataStore)
#include "tst_masterdatastore.moc"
