#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "support/WorkAreaFixture.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/export/ExportArea.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

using Controls = ExportArea::Controls;
using Generation = ExportArea::Generation;
using Answer = Dialogs::Answer;

const QString kNoRegNr = QStringLiteral(
    "Bitte wählen Sie die Registriernummer des zu verschlüsselnden Datenexports aus! Ist diese nicht in der "
    "Auswahlliste enthalten, importieren Sie die unter dem Punkt \"Stammdaten\" die sogenannte Keydatei "
    "Ihrer "
    "datenengegennehmenden Stelle.");
const QString kNoTarget = QStringLiteral(
    "Bevor Sie Ihre Exportdateien verschlüsseln, geben Sie bitte einen gültigen Ausgabepfad an.");
const QByteArray kPassPhrase = "geheim-123";

QString overwrite(const QString& file)
{
    return QStringLiteral("Die Datei \"%1\" existiert bereits, soll diese überschrieben werden?").arg(file);
}

Controls controls(bool erzeugen, bool del, bool search, bool openDir, bool view)
{
    return Controls{erzeugen, del, search, openDir, view};
}

} // namespace

class TestExportArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void transactions_data();
    void transactions();
    void noRegistrationNumber();
    void dialogFolderPerRegistrationNumber();
    void numberThatIsNotAnIntegerDiscardsTheSelection();
    void stateTable();
    void removingFiles();
    void generationWritesFilesTheOtherSideCanOpen();
    void repeatedGenerationAsksAndNumbersFolders();
    void noStopsTheGeneration();
    void failedPackKeepsTheOldTransactionFile();
    void missingTargetDirectory();
    void archiveFolderThatCannotBeCreated();
    void entriesThatAreNotPlainFiles();
    void targetDirectoryChangedAndOpened();
    void umlautPassPhraseOpensOnTheOtherSide();

private:
    QString dataDir() const { return m_data->path() + u'/'; }
    QString source(const QString& name = {}) const { return dataDir() + QStringLiteral("quelle/") + name; }
    QString target(const QString& name = {}) const { return dataDir() + QStringLiteral("Export/") + name; }
    void writeSource(const QString& name, const QByteArray& content = {})
    {
        QVERIFY(writeAll(source(name), content.isEmpty() ? name.toUtf8() + " Inhalt" : content));
    }
    // Chooses the registration number at index and the given files of the source folder.
    void choose(const QStringList& names, int regNr = 0)
    {
        m_area->chooseRegNr(regNr);
        QStringList paths;
        for (const QString& n : names)
            paths << source(n);
        m_dialogs.expectOpenFiles(paths);
        m_area->bitbtnGetTransaktionClick();
    }
    QStringList transactionNames() const
    {
        QStringList names;
        for (const TTransaktion& t : m_area->selection().ExpTransaktionen)
            names << t.TrName;
        return names;
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<WorkAreaFixture> m_fx;
    std::unique_ptr<ExportArea> m_area;
};

void TestExportArea::init()
{
    m_area.reset();
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    QVERIFY(QDir(dataDir()).mkpath("quelle"));
    QVERIFY(QDir(dataDir()).mkpath("Export"));
    QVERIFY(QDir(dataDir()).mkpath("Export2"));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = kPassPhrase, .exportDir = target()}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10204",
                         {.desKey = "zweite-456", .exportDir = dataDir() + "Export2/"}));
    QVERIFY(installPackingLibrary(m_app->path()));
    m_fx = std::make_unique<WorkAreaFixture>(m_app->path(), m_dialogs);
    m_area = std::make_unique<ExportArea>(m_fx->services);
    m_area->reset();
    m_area->setRegNrList({"hh10203", "hh10204"});
}

void TestExportArea::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
}

void TestExportArea::transactions_data()
{
    QTest::addColumn<QStringList>("present");    // files of the source folder
    QTest::addColumn<QStringList>("chosen");     // files chosen in the dialog
    QTest::addColumn<QStringList>("lines");      // lbExpTransaktionen
    QTest::addColumn<QStringList>("names");      // TrName of each transaction
    QTest::addColumn<QList<int>>("numbers");     // TrNr of each transaction
    QTest::addColumn<QStringList>("firstFiles"); // TrDateinamen of transaction 0

    QTest::newRow("text order, not numeric order")
        << QStringList{"Header.1", "Header.2", "Header.10", "Daten.2"}
        << QStringList{"Header.2", "Header.10", "Header.1"}
        << QStringList{"hh10203 - Transaktion 1", "hh10203 - Transaktion 10", "hh10203 - Transaktion 2"}
        << QStringList{"t-hh10203-1", "t-hh10203-10", "t-hh10203-2"} << QList<int>{1, 10, 2}
        << QStringList{"Header.1"};
    QTest::newRow("leading zeros stay in the name")
        << QStringList{"Header.007", "Daten.007", "Header.7"} << QStringList{"Header.007"}
        << QStringList{"hh10203 - Transaktion 007"} << QStringList{"t-hh10203-007"} << QList<int>{7}
        << QStringList{"Daten.007", "Header.007"};
    QTest::newRow("eleven digits: the file itself is not in its transaction")
        << QStringList{"Header.12345678901", "Daten.1234567890"} << QStringList{"Header.12345678901"}
        << QStringList{"hh10203 - Transaktion 1234567890"} << QStringList{"t-hh10203-1234567890"}
        << QList<int>{1234567890} << QStringList{"Daten.1234567890"};
    QTest::newRow("duplicates are not merged")
        << QStringList{"Header.5", "Daten.5"} << QStringList{"Header.5", "Daten.5"}
        << QStringList{"hh10203 - Transaktion 5", "hh10203 - Transaktion 5"}
        << QStringList{"t-hh10203-5", "t-hh10203-5"} << QList<int>{5, 5}
        << QStringList{"Daten.5", "Header.5"};
    QTest::newRow("hidden files and sub-directories belong to it")
        << QStringList{"Header.5", ".versteckt.5", "x.5/"} << QStringList{"Header.5"}
        << QStringList{"hh10203 - Transaktion 5"} << QStringList{"t-hh10203-5"} << QList<int>{5}
        << QStringList{".versteckt.5", "Header.5", "x.5"};
    QTest::newRow("hexadecimal number")
        << QStringList{"Header.$1F"} << QStringList{"Header.$1F"} << QStringList{"hh10203 - Transaktion $1F"}
        << QStringList{"t-hh10203-$1F"} << QList<int>{31} << QStringList{"Header.$1F"};
}

void TestExportArea::transactions()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, numbers);
    QFETCH(QStringList, firstFiles);
    for (const QString& name : present) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir(source()).mkdir(name.chopped(1)));
        else
            writeSource(name);
    }
    choose(chosen);
    QCOMPARE(m_area->transactionLines(), lines);
    QCOMPARE(transactionNames(), names);
    QList<int> trNrs;
    for (const TTransaktion& t : m_area->selection().ExpTransaktionen) {
        trNrs << t.TrNr;
        QCOMPARE(t.TrDateinamen.size(), t.TrDateien.size());
        for (int j = 0; j < t.TrDateinamen.size(); ++j)
            QCOMPARE(t.TrDateien.at(j), source(t.TrDateinamen.at(j)));
    }
    QCOMPARE(trNrs, numbers);
    QCOMPARE(m_area->selection().ExpAnzahl, chosen.size());
    QCOMPARE(m_area->selection().ExpRegNr, QStringLiteral("hh10203"));
    QCOMPARE(m_area->selection().ExpDesKey, QString::fromLatin1(kPassPhrase));
    QCOMPARE(m_area->transactionSelection(), 0);
    QCOMPARE(m_area->fileLines(), firstFiles);
    QCOMPARE(m_area->sourcePath(), source());

    const auto& request = m_dialogs.requests.first();
    QCOMPARE(request.options.title, QStringLiteral("Auswählen des zu verschlüsselnden Datenexports"));
    QCOMPARE(request.options.filter, QStringLiteral("Header - Dateien (Header.*);;Alle Dateien (*.*)"));
    QVERIFY(request.options.multiSelect);
    QVERIFY(!request.options.mustExist);
}

void TestExportArea::noRegistrationNumber()
{
    writeSource("Header.5");
    m_area->bitbtnGetTransaktionClick();
    QCOMPARE(m_dialogs.texts(), QStringList{kNoRegNr});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);
    QVERIFY(m_dialogs.requests.isEmpty());

    // A cancelled dialog changes nothing.
    choose({"Header.5"});
    m_dialogs.expectOpenFiles({});
    m_area->bitbtnGetTransaktionClick();
    QCOMPARE(m_area->transactionLines(), QStringList{"hh10203 - Transaktion 5"});
    QVERIFY(m_area->controls().erzeugenVisible);
}

void TestExportArea::dialogFolderPerRegistrationNumber()
{
    writeSource("Header.5");
    m_area->chooseRegNr(0);
    QCOMPARE(m_area->sourcePath(), fs::defaultDialogFolder());
    QCOMPARE(m_area->targetPath(), target());
    choose({"Header.5"});
    QCOMPARE(m_dialogs.requests.first().options.initialDir, fs::defaultDialogFolder());
    // Stored in dialog folder form, under the registration number.
    QCOMPARE(m_fx->settings.read("E", "hh10203", "-"), QDir::toNativeSeparators(source().chopped(1)));
    QCOMPARE(m_fx->settings.read("E", "hh10204", "-"), QStringLiteral("-"));

    m_area->chooseRegNr(1);
    QCOMPARE(m_area->sourcePath(), fs::defaultDialogFolder());
    QCOMPARE(m_area->targetPath(), dataDir() + "Export2/");
    m_area->chooseRegNr(0);
    QCOMPARE(m_area->sourcePath(), source().chopped(1));
    m_dialogs.expectOpenFiles({});
    m_area->bitbtnGetTransaktionClick();
    QCOMPARE(m_dialogs.requests.last().options.initialDir, source().chopped(1));
}

void TestExportArea::numberThatIsNotAnIntegerDiscardsTheSelection()
{
    writeSource("Header.5");
    writeSource("Header.txt");
    writeSource("Ohne");
    choose({"Header.5"});
    for (const auto& [name, text] : {std::pair{"Header.txt", "'txt' ist kein gültiger Integerwert"},
                                     std::pair{"Ohne", "'' ist kein gültiger Integerwert"}}) {
        m_dialogs.expectOpenFiles({source("Header.5"), source(name)});
        try {
            m_area->bitbtnGetTransaktionClick();
            QFAIL("no error for a number that is not an integer");
        } catch (const TolvaneError& e) {
            QCOMPARE(e.text(), QString::fromUtf8(text));
        }
        QCOMPARE(m_area->selection().ExpAnzahl, 0);
        QVERIFY(m_area->selection().ExpTransaktionen.isEmpty());
        QVERIFY(m_area->transactionLines().isEmpty());
        QVERIFY(m_area->fileLines().isEmpty());
        QVERIFY(!m_area->controls().erzeugenVisible);
        QVERIFY(!m_area->controls().deleteEnabled);
        QCOMPARE(m_fx->settings.read("E", "hh10203", "-"), QDir::toNativeSeparators(source().chopped(1)));
        // Nothing can be generated from it.
        QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::NothingToDo);
    }
}

void TestExportArea::stateTable()
{
    writeSource("Header.4");
    writeSource("Header.5");
    // reset: hidden, disabled, disabled, (untouched), hidden
    QCOMPARE(m_area->controls(), controls(false, false, false, true, false));
    m_area->chooseRegNr(0);
    QCOMPARE(m_area->controls(), controls(false, false, false, false, true));
    choose({"Header.4", "Header.5"});
    QCOMPARE(m_area->controls(), controls(true, true, true, true, true));
    // Another registration number empties the lists but keeps the selection.
    m_area->chooseRegNr(1);
    QCOMPARE(m_area->controls(), controls(false, false, true, false, true));
    QVERIFY(m_area->transactionLines().isEmpty());
    QVERIFY(m_area->fileLines().isEmpty());
    QCOMPARE(m_area->targetPath(), dataDir() + "Export2/");
    QCOMPARE(m_area->selection().ExpAnzahl, 2);
    m_area->reset();
    QCOMPARE(m_area->controls(), controls(false, false, false, false, false));
    QVERIFY(m_area->regNrList().isEmpty());
    QVERIFY(m_area->targetPath().isEmpty());
    QVERIFY(m_area->sourcePath().isEmpty());
    QCOMPARE(m_area->selection().ExpAnzahl, 2);

    m_area->setRegNrList({"hh10203", "hh10204"});
    choose({"Header.4", "Header.5"});
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QCOMPARE(m_area->controls(), controls(false, false, false, true, true));
    QVERIFY(m_area->transactionLines().isEmpty());
    QCOMPARE(m_area->viewRoot(), target());
    QCOMPARE(m_area->viewRefreshes(), 1);
}

void TestExportArea::removingFiles()
{
    writeSource("Header.1");
    writeSource("Header.2");
    writeSource("Daten.2");
    choose({"Header.1", "Header.2"});
    m_area->bitbtnDeleteClick(); // nothing selected
    QCOMPARE(m_area->fileLines(), QStringList{"Header.1"});
    // The only file of transaction 1 goes while transaction 2 still has files.
    m_area->chooseFile(0);
    m_area->bitbtnDeleteClick();
    QVERIFY(m_area->fileLines().isEmpty());
    QVERIFY(!m_area->controls().erzeugenVisible);
    m_area->chooseTransaction(1);
    QCOMPARE(m_area->fileLines(), (QStringList{"Daten.2", "Header.2"}));
    m_area->chooseFile(0);
    m_area->bitbtnDeleteClick();
    QCOMPARE(m_area->fileLines(), QStringList{"Header.2"});
    QCOMPARE(m_area->selection().ExpTransaktionen.at(1).TrDateien, QStringList{source("Header.2")});
    QVERIFY(QFile::exists(source("Daten.2"))); // only the list changes

    // A removed file is neither packed nor copied; the emptied transaction goes to the library
    // as it is, which refuses an empty list.
    m_dialogs.expectOpenFiles({source("Header.2")});
    m_area->bitbtnGetTransaktionClick();
    m_area->chooseFile(0);
    m_area->bitbtnDeleteClick();
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QCOMPARE(openWithStandardTools(target("t-hh10203-2.zip.3des"), kPassPhrase).keys(),
             QStringList{"Header.2"});
    QCOMPARE(filesBelow(target("v_t-hh10203-2.zip.3des")).keys(), QStringList{"Header.2"});
}

void TestExportArea::generationWritesFilesTheOtherSideCanOpen()
{
    writeSource("Header.4", "Kopf 4\n");
    writeSource("Daten.4", QByteArray(300000, 'x') + "Ende");
    writeSource("Header.5", "Kopf 5\n");
    writeSource("Header.007", "Kopf 7\n");
    choose({"Header.4", "Header.5", "Header.007"});
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));

    const QMap<QString, QByteArray> four{{"Daten.4", readAll(source("Daten.4"))}, {"Header.4", "Kopf 4\n"}};
    QCOMPARE(openWithStandardTools(target("t-hh10203-4.zip.3des"), kPassPhrase), four);
    QCOMPARE(filesBelow(target("v_t-hh10203-4.zip.3des")), four);
    QCOMPARE(openWithStandardTools(target("t-hh10203-5.zip.3des"), kPassPhrase).keys(),
             QStringList{"Header.5"});
    QCOMPARE(openWithStandardTools(target("t-hh10203-007.zip.3des"), kPassPhrase).keys(),
             QStringList{"Header.007"});
    QCOMPARE(filesBelow(target("v_t-hh10203-7.zip.3des")).keys(), QStringList{"Header.007"});
    QCOMPARE(m_area->written().size(), 3);
    // Text order: 007 comes first.
    QCOMPARE(m_area->written().at(0).transactionFile, target("t-hh10203-007.zip.3des"));
    QCOMPARE(m_area->written().at(0).archiveFolder, target("v_t-hh10203-7.zip.3des"));
    // The export files stay where they are.
    QVERIFY(QFile::exists(source("Daten.4")));
    QVERIFY(m_area->transactionLines().isEmpty());
    QVERIFY(!m_area->controls().erzeugenVisible);
}

void TestExportArea::repeatedGenerationAsksAndNumbersFolders()
{
    writeSource("Header.5");
    writeSource("Daten.5");
    // Two transactions of one name: the second replaces what the first has just written.
    choose({"Header.5", "Daten.5"});
    m_dialogs.expectQuestion(overwrite(target("t-hh10203-5.zip.3des")), Answer::Yes);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QVERIFY(QFileInfo(target("v_t-hh10203-5.zip.3des")).isDir());
    QVERIFY(QFileInfo(target("v_t-hh10203-5.zip.3des_1")).isDir());

    QVERIFY(QDir(target()).rename("v_t-hh10203-5.zip.3des_1", "v_t-hh10203-5.zip.3des_2"));
    choose({"Header.5"});
    m_dialogs.expectQuestion(overwrite(target("t-hh10203-5.zip.3des")), Answer::Yes);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    // The free "_1" is used while "_2" exists.
    QCOMPARE(filesBelow(target("v_t-hh10203-5.zip.3des_1")).keys(), (QStringList{"Daten.5", "Header.5"}));
    choose({"Header.5"});
    m_dialogs.expectQuestion(overwrite(target("t-hh10203-5.zip.3des")), Answer::Yes);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QVERIFY(QFileInfo(target("v_t-hh10203-5.zip.3des_3")).isDir());
    QCOMPARE(m_dialogs.shown.size(), 3); // the questions only
}

void TestExportArea::noStopsTheGeneration()
{
    for (const char* name : {"Header.1", "Header.2", "Header.3"})
        writeSource(name);
    QVERIFY(writeAll(target("t-hh10203-2.zip.3des"), "alt"));
    choose({"Header.1", "Header.2", "Header.3"});
    m_dialogs.expectQuestion(overwrite(target("t-hh10203-2.zip.3des")), Answer::No);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Stopped);
    QVERIFY(QFile::exists(target("t-hh10203-1.zip.3des")));
    QVERIFY(QFileInfo(target("v_t-hh10203-1.zip.3des")).isDir());
    QCOMPARE(readAll(target("t-hh10203-2.zip.3des")), QByteArray("alt"));
    QVERIFY(!QFileInfo::exists(target("v_t-hh10203-2.zip.3des")));
    QVERIFY(!QFileInfo::exists(target("t-hh10203-3.zip.3des")));
    // The work area is unchanged, so ">> 3DES" can be pressed again.
    QCOMPARE(m_area->transactionLines().size(), 3);
    QVERIFY(m_area->controls().erzeugenVisible);
    QCOMPARE(m_area->viewRefreshes(), 0);
}

void TestExportArea::failedPackKeepsTheOldTransactionFile()
{
    writeSource("Header.4");
    QVERIFY(writeAll(target("t-hh10203-4.zip.3des"), "das alte Archiv"));
    choose({"Header.4"});
    // The file goes away after the selection: the library fails on it.
    QVERIFY(QFile::remove(source("Header.4")));
    m_dialogs.expectQuestion(overwrite(target("t-hh10203-4.zip.3des")), Answer::Yes);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Stopped);
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QVERIFY2(m_dialogs.shown.last().text.contains("Header.4"), qPrintable(m_dialogs.shown.last().text));
    QCOMPARE(readAll(target("t-hh10203-4.zip.3des")), QByteArray("das alte Archiv"));
    QVERIFY(!QFileInfo::exists(target("v_t-hh10203-4.zip.3des")));
    QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"t-hh10203-4.zip.3des"});
    QCOMPARE(m_area->transactionLines().size(), 1);
}

void TestExportArea::missingTargetDirectory()
{
    writeSource("Header.4");
    int focus = 0;
    m_area->onFocusSearchExport = [&focus] { ++focus; };
    choose({"Header.4"});
    QVERIFY(QDir(target()).removeRecursively());
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Stopped);
    QCOMPARE(m_dialogs.texts(), QStringList{kNoTarget});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);
    QCOMPARE(focus, 1);
    QVERIFY(!QFileInfo::exists(target()));
}

void TestExportArea::archiveFolderThatCannotBeCreated()
{
    writeSource("Header.4");
    // A file bears the folder's name.
    QVERIFY(writeAll(target("v_t-hh10203-4.zip.3des"), "im Weg"));
    choose({"Header.4"});
    try {
        m_area->bitbtnErzeugenClick();
        QFAIL("no error for an archive folder that cannot be created");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("E/A-Fehler 183"));
    }
    QVERIFY(QFile::exists(target("t-hh10203-4.zip.3des")));
    QCOMPARE(m_area->transactionLines().size(), 1);
    QVERIFY(m_area->controls().erzeugenVisible);
}

void TestExportArea::entriesThatAreNotPlainFiles()
{
    writeSource("Header.5");
    QVERIFY(QDir(source()).mkpath("x.5/innen"));
    QVERIFY(writeAll(source("x.5/innen/a.txt"), "tief"));
    choose({"Header.5"});
    QCOMPARE(m_area->fileLines(), (QStringList{"Header.5", "x.5"}));
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    // The folder is packed with what is inside; it cannot be copied as a file and is skipped.
    QCOMPARE(openWithStandardTools(target("t-hh10203-5.zip.3des"), kPassPhrase).keys(),
             (QStringList{"Header.5", "x.5/innen/a.txt"}));
    QCOMPARE(filesBelow(target("v_t-hh10203-5.zip.3des")).keys(), QStringList{"Header.5"});

    // A dangling link: the library's message names it, and nothing is written.
    QVERIFY(QFile::link(source("fehlt"), source("kaputt.6")));
    writeSource("Header.6");
    choose({"Header.6"});
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Stopped);
    QCOMPARE(m_dialogs.shown.size(), 1);
    QVERIFY2(m_dialogs.shown.first().text.contains("kaputt.6"), qPrintable(m_dialogs.shown.first().text));
    QVERIFY(!QFileInfo::exists(target("t-hh10203-6.zip.3des")));
    QVERIFY(QFile::exists(source("Header.6")));
}

void TestExportArea::targetDirectoryChangedAndOpened()
{
    writeSource("Header.4");
    choose({"Header.4"});
    m_dialogs.expectChooseDirectory(dataDir() + "Export2");
    m_area->bitbtnSearchExportClick();
    QCOMPARE(m_area->targetPath(), dataDir() + "Export2/");
    QCOMPARE(m_area->viewRoot(), dataDir() + "Export2/");
    m_area->bitbtnExpOpenDirClick();
    QCOMPARE(m_fx->explored, QStringList{dataDir() + "Export2/"});
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    QVERIFY(QFile::exists(dataDir() + "Export2/t-hh10203-4.zip.3des"));
    QVERIFY(!QFile::exists(target("t-hh10203-4.zip.3des")));

    // Cancelled: the target directory is empty, the view hidden, and opening does nothing.
    m_dialogs.expectChooseDirectory({});
    m_area->bitbtnSearchExportClick();
    QVERIFY(m_area->targetPath().isEmpty());
    QVERIFY(!m_area->controls().viewVisible);
    m_area->bitbtnExpOpenDirClick();
    QCOMPARE(m_fx->explored.size(), 1);
    // The key record keeps its export directory.
    QCOMPARE(m_fx->store.record(0).FDirs.VExport(), target());
}

// The receiving side derives its key from the pass phrase's Windows-1252 bytes, on every platform.
void TestExportArea::umlautPassPhraseOpensOnTheOtherSide()
{
    const QString phrase = QStringLiteral("Prüfstelle-Ä1ß");
    QVERIFY(writeKeyFile(m_app->path(), "hh10205", {.desKey = phrase, .exportDir = target()}));
    m_fx->store.LoadKeyFiles();
    m_area->setRegNrList({"hh10203", "hh10204", "hh10205"});
    writeSource("Header.4", "Kopf");
    choose({"Header.4"}, 2);
    QCOMPARE(m_area->selection().ExpDesKey, phrase);
    QCOMPARE(m_area->bitbtnErzeugenClick(), Generation::Completed);
    const QByteArray ansi = "Pr\xfc"
                            "fstelle-\xc4"
                            "1\xdf";
    QCOMPARE(openWithStandardTools(target("t-hh10205-4.zip.3des"), ansi),
             (QMap<QString, QByteArray>{{"Header.4", "Kopf"}}));
    QVERIFY(openWithStandardTools(target("t-hh10205-4.zip.3des"), phrase.toUtf8()).isEmpty());
}

QTEST_GUILESS_MAIN(TestExportArea)
#include "tst_exportarea.moc"
