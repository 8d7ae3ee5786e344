#include "platform/FileSystem.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "support/WorkAreaFixture.h"
#include "workareas/news/NewsArea.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

using Answer = Dialogs::Answer;
using Creation = NewsArea::Creation;
using Files = QMap<QString, QByteArray>;

const QString kNoRegNr = QStringLiteral(
    "Bitte wählen Sie die Registriernummer des zu verschlüsselnden Datenexports aus! Ist diese nicht in der "
    "Auswahlliste enthalten, importieren Sie die unter dem Punkt \"Stammdaten\" die sogenannte Keydatei "
    "Ihrer datenengegennehmenden Stelle.");
const QString kNoSources = QStringLiteral("Bitte wählen Sie zunächst zu verschlüsselnde Dateien aus.");
const QString kNoDescription = QStringLiteral("Bitte geben Sie eine Dateibezeichnung an.");
const QString kBadDescription = QStringLiteral(
    "Die Dateibezeichnung darf keines der Zeichen \\ / : * ? \" < > | und keine Steuerzeichen enthalten.");
const QByteArray kPassPhrase = "geheim-123";
const Files kContent{{"Antwort.csv", "Fall;Ergebnis\n1;ok\n"}, {"sub/Bericht.txt", "Bericht"}};

QString overwrite(const QString& name)
{
    return QStringLiteral("Die Datei \"%1 existiert bereits, soll diese überschrieben werden?").arg(name);
}

QString created(const QString& file)
{
    return QStringLiteral("Newsdatei \"%1\" wurde erfolgreich erstellt.").arg(file);
}

// Everything below dir: files with their content, folders as "name/".
Files treeOf(const QString& dir)
{
    Files tree;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(dir).relativeFilePath(path);
        if (it.fileInfo().isDir())
            tree.insert(name + u'/', {});
        else
            tree.insert(name, readAll(path));
    }
    return tree;
}

// Scripted dialogs whose save dialog can also create a folder, as a user can in it.
class TestDialogs : public ScriptedDialogs {
public:
    QString folderMadeInSaveDialog;
    QString saveFile(const FileDialogOptions& options) override
    {
        if (!folderMadeInSaveDialog.isEmpty())
            QDir().mkpath(folderMadeInSaveDialog);
        return ScriptedDialogs::saveFile(options);
    }
};

} // namespace

// The news area with the real packing library: news files that the receiving side opens with
// the standard tools, and news files it made with them that unpack here.
class TestNewsArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void addingAndRemovingSourceFiles();
    void createdNewsFilesOpenWithTheStandardTools_data();
    void createdNewsFilesOpenWithTheStandardTools();
    void testsInTheirOrder();
    void refusedDescriptions_data();
    void refusedDescriptions();
    void sourceFilesOfOneName_data();
    void sourceFilesOfOneName();
    void secondCreationAsksAndNumbersFolders();
    void failedPackKeepsTheOldNewsFile();
    void missingNewsDirectory();
    void newsDirectoryMadeInTheSaveDialog();
    void emptyPassPhrase();
    void registrationNumberWithoutKeyRecord();
    void resetAndEnteringTheArea();
    void newsFilesFromTheStandardToolsUnpack();
    void runsEndAtTheFirstFailure_data();
    void runsEndAtTheFirstFailure();
    void dottedDescriptionFailsTheNameRules();
    void explorerOnlyWhenTicked();

private:
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    QString news(const QString& name = {}) const { return data("News/") + name; }
    void writeSource(const QString& path, const QByteArray& content = {})
    {
        QVERIFY(writeAll(data(path), content.isEmpty() ? path.toUtf8() + " Inhalt" : content));
    }
    // Chooses the registration number at index and adds the files (paths below the data folder).
    void prepare(const QStringList& paths, const QString& description, int regNr = 0)
    {
        m_area->chooseRegNr(regNr);
        QStringList files;
        for (const QString& p : paths)
            files << data(p);
        m_dialogs.expectOpenFiles(files);
        m_area->bitbtnNwsGetFilesClick();
        m_area->setDescription(description);
    }
    // The inputs a refused or failed creation must leave as they were.
    void verifyInputsKept(const QStringList& paths, const QString& description)
    {
        QStringList files;
        for (const QString& p : paths)
            files << data(p);
        QCOMPARE(m_area->sourceFiles(), files);
        QCOMPARE(m_area->description(), description);
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    TestDialogs m_dialogs;
    int m_focusGetFiles = 0;
    int m_focusDescription = 0;
    std::unique_ptr<WorkAreaFixture> m_fixture;
    std::unique_ptr<NewsArea> m_area;
};

void TestNewsArea::init()
{
    m_area.reset();
    m_fixture.reset();
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    m_dialogs.folderMadeInSaveDialog.clear();
    for (const char* dir : {"quelle", "News", "Post", "Anders"})
        QVERIFY(QDir(data()).mkpath(dir));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = kPassPhrase, .newsDir = news()}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10204", {.desKey = "zweite-456", .newsDir = data("Fehlt/")}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10205", {.desKey = "", .newsDir = news()}));
    QVERIFY(installPackingLibrary(m_app->path()));
    m_fixture = std::make_unique<WorkAreaFixture>(m_app->path(), m_dialogs);
    QCOMPARE(m_fixture->store.FCount(), 3);
    m_area = std::make_unique<NewsArea>(m_fixture->services);
    m_focusGetFiles = m_focusDescription = 0;
    m_area->onFocusNwsGetFiles = [this] { ++m_focusGetFiles; };
    m_area->onFocusNewsBezeichnung = [this] { ++m_focusDescription; };
    m_area->reset();
    m_area->setRegNrList({"hh10203", "hh10204", "hh10205"});
    writeSource("quelle/Bericht.txt", "Bericht\n");
    writeSource("quelle/Daten.bin", QByteArray(200000, '\x5a') + "Ende");
}

void TestNewsArea::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
}

void TestNewsArea::addingAndRemovingSourceFiles()
{
    m_area->bitbtnNwsGetFilesClick();
    QCOMPARE(m_dialogs.texts(), QStringList{kNoRegNr});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);
    QVERIFY(m_dialogs.requests.isEmpty());

    m_area->chooseRegNr(0);
    QCOMPARE(m_area->newsPath(), news());
    m_dialogs.expectOpenFiles({data("quelle/Bericht.txt"), data("quelle/Daten.bin")});
    m_area->bitbtnNwsGetFilesClick();
    const ScriptedDialogs::Request& request = m_dialogs.requests.last();
    QCOMPARE(request.options.title, QString());
    QCOMPARE(request.options.filter, QStringLiteral("Alle Dateien (*.*)"));
    QCOMPARE(request.options.initialDir, fs::defaultDialogFolder());
    QVERIFY(request.options.multiSelect);
    QVERIFY(request.options.mustExist);
    // The dialog's folder, per registration number, in dialog folder form.
    QCOMPARE(m_fixture->settings.read("N", "hh10203", "-"), data("quelle"));
    QCOMPARE(m_fixture->settings.read("N", "hh10204", "-"), QStringLiteral("-"));

    // The same file again is appended; the dialog opens where the last files came from.
    m_dialogs.expectOpenFiles({data("quelle/Bericht.txt")});
    m_area->bitbtnNwsGetFilesClick();
    QCOMPARE(m_dialogs.requests.last().options.initialDir, data("quelle"));
    QCOMPARE(m_area->sourceFiles(),
             (QStringList{data("quelle/Bericht.txt"), data("quelle/Daten.bin"), data("quelle/Bericht.txt")}));
    m_dialogs.expectOpenFiles({});
    m_area->bitbtnNwsGetFilesClick();
    QCOMPARE(m_area->sourceFiles().size(), 3);

    m_area->bitbtnClick(); // nothing selected
    QCOMPARE(m_area->sourceFiles().size(), 3);
    for (int left = 2; left >= 0; --left) {
        m_area->chooseSourceFile(0);
        m_area->bitbtnClick();
        QCOMPARE(m_area->sourceFiles().size(), left);
        QCOMPARE(m_area->erzeugenEnabled(), left > 0);
    }
    // Dropped files go the same way: only plain files that exist, after the same test.
    m_area->dropSourceFiles(
        NewsArea::sourceFilesOf({data("quelle"), data("fehlt.txt"), data("quelle/Daten.bin")}));
    QCOMPARE(m_area->sourceFiles(), QStringList{data("quelle/Daten.bin")});
    QVERIFY(m_area->erzeugenEnabled());
    m_area->chooseRegNr(-1);
    m_area->dropSourceFiles({data("quelle/Bericht.txt")});
    QCOMPARE(m_dialogs.texts(), (QStringList{kNoRegNr, kNoRegNr}));
    QCOMPARE(m_area->sourceFiles(), QStringList{data("quelle/Daten.bin")});
}

void TestNewsArea::createdNewsFilesOpenWithTheStandardTools_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("hyphens become underscores") << "Info-12-2002"
                                                << "n-hh10203-Info_12_2002.zip.3des";
    QTest::newRow("blanks, umlauts and case stay") << " Rundschreiben März Übersicht "
                                                   << "n-hh10203- Rundschreiben März Übersicht .zip.3des";
    QTest::newRow("dots stay") << "info.old"
                               << "n-hh10203-info.old.zip.3des";
}

void TestNewsArea::createdNewsFilesOpenWithTheStandardTools()
{
    QFETCH(QString, description);
    QFETCH(QString, fileName);
    prepare({"quelle/Bericht.txt", "quelle/Daten.bin"}, description);
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    QCOMPARE(m_dialogs.texts(), QStringList{created(news(fileName))});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);

    const Files sources{{"Bericht.txt", "Bericht\n"}, {"Daten.bin", readAll(data("quelle/Daten.bin"))}};
    QCOMPARE(openWithStandardTools(news(fileName), kPassPhrase), sources);
    QCOMPARE(filesBelow(news("v_" + fileName)), sources);
    QCOMPARE(m_area->created().newsFile, news(fileName));
    QCOMPARE(m_area->created().archiveFolder, news("v_" + fileName));
    QCOMPARE(m_fixture->explored, QStringList{news()});
    QCOMPARE(m_area->newsPath(), news());
    QVERIFY(m_area->sourceFiles().isEmpty());
    QVERIFY(m_area->description().isEmpty());
    QVERIFY(m_area->erzeugenEnabled());
    // The sources stay where they are, and nothing else is written.
    QCOMPARE(treeOf(data("quelle")).size(), 2);
    QCOMPARE(treeOf(news()).keys(),
             (QStringList{fileName, "v_" + fileName + "/", "v_" + fileName + "/Bericht.txt",
                          "v_" + fileName + "/Daten.bin"}));
}

void TestNewsArea::testsInTheirOrder()
{
    const Files before = treeOf(data());
    // Nothing given: only the source list is reported.
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(), QStringList{kNoSources});
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QCOMPARE(m_focusGetFiles, 1);

    prepare({"quelle/Bericht.txt"}, "-");
    m_area->setDescription({});
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts().last(), kNoDescription);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QCOMPARE(m_focusDescription, 1);

    m_area->setDescription("Info");
    m_area->chooseRegNr(-1);
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(), (QStringList{kNoSources, kNoDescription, kNoRegNr}));
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Information);
    QCOMPARE(m_focusGetFiles + m_focusDescription, 2);
    QCOMPARE(treeOf(data()), before);
    QVERIFY(m_fixture->explored.isEmpty());
}

void TestNewsArea::refusedDescriptions_data()
{
    QTest::addColumn<QString>("description");
    QTest::newRow("slash") << "Info/12";
    QTest::newRow("parent folder") << "..\\Info";
    QTest::newRow("colon") << "Info:12";
    QTest::newRow("tab") << "Info\t12";
    QTest::newRow("line feed") << "Info\n";
    QTest::newRow("wildcards and quotes") << "Info*?\"<>|";
}

void TestNewsArea::refusedDescriptions()
{
    QFETCH(QString, description);
    prepare({"quelle/Bericht.txt"}, description);
    const Files data = treeOf(m_data->path());
    const Files app = treeOf(m_app->path());
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(), QStringList{kBadDescription});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(m_focusDescription, 1);
    QCOMPARE(treeOf(m_data->path()), data);
    QCOMPARE(treeOf(m_app->path()), app);
    QVERIFY(m_fixture->explored.isEmpty());
    verifyInputsKept({"quelle/Bericht.txt"}, description);
}

void TestNewsArea::sourceFilesOfOneName_data()
{
    const QString twoFiles =
        "Die Dateien \"@1\" und \"@2\" haben denselben Dateinamen (Groß- und Kleinschreibung "
        "zählen nicht). Eine Newsdatei kann jeden Dateinamen nur einmal aufnehmen; bitte "
        "entfernen Sie eine der beiden Dateien aus der Liste.";
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("text"); // @1 and @2: the two entries
    QTest::newRow("two folders") << QStringList{"quelle/Daten.bin", "quelle/Bericht.txt",
                                                "Anders/Bericht.txt"}
                                 << 1 << 2 << twoFiles;
    QTest::newRow("letter case only")
        << QStringList{"quelle/Bericht.txt", "quelle/Daten.bin", "Anders/BERICHT.TXT"} << 0 << 2 << twoFiles;
    QTest::newRow("umlaut in other case")
        << QStringList{"quelle/Übersicht.txt", "Anders/übersicht.TXT"} << 0 << 1 << twoFiles;
    QTest::newRow("one file twice")
        << QStringList{"quelle/Bericht.txt", "quelle/Bericht.txt"} << 0 << 1
        << "Die Datei \"@2\" steht zweimal in der Liste. Eine Newsdatei kann jeden Dateinamen nur einmal "
           "aufnehmen; bitte entfernen Sie einen der beiden Einträge aus der Liste.";
}

void TestNewsArea::sourceFilesOfOneName()
{
    QFETCH(QStringList, files);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, text);
    for (const QString& f : files) {
        if (!QFile::exists(data(f)))
            writeSource(f);
    }
    prepare(files, "Info");
    const Files before = treeOf(m_data->path());
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(),
             QStringList{text.replace("@1", data(files.at(first))).replace("@2", data(files.at(second)))});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(treeOf(m_data->path()), before);
    verifyInputsKept(files, "Info");
    // The later one is selected, ready for "Datei aus Liste entfernen"; then it goes through.
    QCOMPARE(m_area->sourceSelection(), second);
    m_area->bitbtnClick();
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    QCOMPARE(treeOf(news("v_n-hh10203-Info.zip.3des")).size(), files.size() - 1);
}

void TestNewsArea::secondCreationAsksAndNumbersFolders()
{
    prepare({"quelle/Bericht.txt"}, "Info");
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    const QByteArray first = readAll(news("n-hh10203-Info.zip.3des"));

    writeSource("quelle/Bericht.txt", "Bericht, zweite Fassung\n");
    prepare({"quelle/Bericht.txt"}, "Info");
    m_dialogs.expectQuestion(overwrite("n-hh10203-Info.zip.3des"), Answer::No);
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Cancelled);
    QCOMPARE(readAll(news("n-hh10203-Info.zip.3des")), first);
    QVERIFY(!QFileInfo::exists(news("v_n-hh10203-Info.zip.3des_1")));
    verifyInputsKept({"quelle/Bericht.txt"}, "Info");

    m_dialogs.expectQuestion(overwrite("n-hh10203-Info.zip.3des"), Answer::Yes);
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    QCOMPARE(openWithStandardTools(news("n-hh10203-Info.zip.3des"), kPassPhrase),
             (Files{{"Bericht.txt", "Bericht, zweite Fassung\n"}}));
    QCOMPARE(filesBelow(news("v_n-hh10203-Info.zip.3des_1")),
             (Files{{"Bericht.txt", "Bericht, zweite Fassung\n"}}));
    QCOMPARE(filesBelow(news("v_n-hh10203-Info.zip.3des")), (Files{{"Bericht.txt", "Bericht\n"}}));
    QCOMPARE(m_dialogs.texts().last(), created(news("n-hh10203-Info.zip.3des")));
}

void TestNewsArea::failedPackKeepsTheOldNewsFile()
{
    QVERIFY(writeAll(news("n-hh10203-Info.zip.3des"), "das alte Archiv"));
    writeSource("quelle/Weg.txt");
    prepare({"quelle/Bericht.txt", "quelle/Weg.txt"}, "Info");
    // The file goes away after it was added: the library fails on it.
    QVERIFY(QFile::remove(data("quelle/Weg.txt")));
    m_dialogs.expectQuestion(overwrite("n-hh10203-Info.zip.3des"), Answer::Yes);
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Failed);
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QVERIFY2(m_dialogs.shown.last().text.contains(data("quelle/Weg.txt")),
             qPrintable(m_dialogs.shown.last().text));
    QCOMPARE(readAll(news("n-hh10203-Info.zip.3des")), QByteArray("das alte Archiv"));
    QCOMPARE(treeOf(news()).keys(), QStringList{"n-hh10203-Info.zip.3des"});
    verifyInputsKept({"quelle/Bericht.txt", "quelle/Weg.txt"}, "Info");
    QVERIFY(m_fixture->explored.isEmpty());
}

void TestNewsArea::missingNewsDirectory()
{
    prepare({"quelle/Bericht.txt"}, "Info");
    m_area->chooseRegNr(1);
    QCOMPARE(m_area->newsPath(), data("Fehlt/"));
    m_dialogs.expectSaveFile({});
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Cancelled);
    QVERIFY(m_dialogs.shown.isEmpty());
    verifyInputsKept({"quelle/Bericht.txt"}, "Info");

    // Only the folder of the chosen path counts.
    m_dialogs.expectSaveFile(data("Anders/anderer Name.3des"));
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    const ScriptedDialogs::Request& request = m_dialogs.requests.last();
    QCOMPARE(request.options.filter, QStringLiteral("3DES - Dateien (*.3des)"));
    QCOMPARE(request.options.initialDir, fs::defaultDialogFolder());
    QCOMPARE(request.options.initialName, QStringLiteral("n-hh10204-Info.zip.3des"));
    QCOMPARE(m_dialogs.texts(), QStringList{created(data("Anders/n-hh10204-Info.zip.3des"))});
    QCOMPARE(openWithStandardTools(data("Anders/n-hh10204-Info.zip.3des"), "zweite-456").keys(),
             QStringList{"Bericht.txt"});
    QCOMPARE(treeOf(data("Anders")).keys(), QStringList{"n-hh10204-Info.zip.3des"});
    QVERIFY(!QFileInfo::exists(data("Fehlt")));
    QCOMPARE(m_area->created().archiveFolder, QString());
    QCOMPARE(m_area->newsPath(), data("Anders/"));
    QCOMPARE(m_fixture->explored, QStringList{data("Anders/")});
}

void TestNewsArea::newsDirectoryMadeInTheSaveDialog()
{
    // The user makes the news directory in the save dialog but saves elsewhere: the archive folder
    // and a copy of the news file go into the news directory all the same.
    prepare({"quelle/Bericht.txt"}, "Info", 1);
    m_dialogs.folderMadeInSaveDialog = data("Fehlt");
    m_dialogs.expectSaveFile(data("Anders/n-hh10204-Info.zip.3des"));
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    QCOMPARE(readAll(data("Fehlt/n-hh10204-Info.zip.3des")), readAll(data("Anders/n-hh10204-Info.zip.3des")));
    QCOMPARE(filesBelow(data("Fehlt/v_n-hh10204-Info.zip.3des")), (Files{{"Bericht.txt", "Bericht\n"}}));
    QCOMPARE(m_area->created().newsFile, data("Anders/n-hh10204-Info.zip.3des"));
    QCOMPARE(m_area->created().archiveFolder, data("Fehlt/v_n-hh10204-Info.zip.3des"));
}

void TestNewsArea::emptyPassPhrase()
{
    prepare({"quelle/Bericht.txt"}, "Info", 2);
    const Files before = treeOf(m_data->path());
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(),
             QStringList{"Für die Registriernummer \"hh10205\" wurde kein Schlüsselcode in den Stammdaten "
                         "hinterlegt. Ohne Schlüsselcode kann keine Newsdatei erstellt werden."});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(treeOf(m_data->path()), before);
    verifyInputsKept({"quelle/Bericht.txt"}, "Info");
}

// The list mirrors the store only until the store changes: an entry without a key record, and no
// entry at all, read no record and count as no choice.
void TestNewsArea::registrationNumberWithoutKeyRecord()
{
    m_area->setRegNrList({"hh99999", "hh10203"});
    m_area->chooseRegNr(0);
    QCOMPARE(m_area->newsPath(), QString());
    m_area->bitbtnNwsGetFilesClick();
    QCOMPARE(m_dialogs.texts(), QStringList{kNoRegNr});

    prepare({"quelle/Bericht.txt"}, "Info", 1);
    QCOMPARE(m_area->newsPath(), news());
    m_area->chooseRegNr(0);
    QCOMPARE(m_area->newsPath(), QString());
    const Files before = treeOf(m_data->path());
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Refused);
    QCOMPARE(m_dialogs.texts(), (QStringList{kNoRegNr, kNoRegNr}));
    QCOMPARE(treeOf(m_data->path()), before);

    m_area->chooseRegNr(1);
    QCOMPARE(m_area->newsPath(), news());
    m_area->chooseRegNr(-1);
    QCOMPARE(m_area->newsPath(), QString());
}

void TestNewsArea::resetAndEnteringTheArea()
{
    prepare({"quelle/Bericht.txt"}, "Info");
    m_area->setOpenExplorer(false);
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Info.zip.3des"), kContent, kPassPhrase));
    QVERIFY(m_area->DecryptNewsFile(data("Post/n-hh10203-Info.zip.3des")));
    // The shared reset empties the list only.
    m_area->reset();
    QVERIFY(m_area->regNrList().isEmpty());
    QCOMPARE(m_area->regNrIndex(), -1);
    QCOMPARE(m_area->newsPath(), news());
    QCOMPARE(m_area->outputPath(), news("v_n-hh10203-Info.zip.3des"));
    verifyInputsKept({"quelle/Bericht.txt"}, "Info");

    m_area->setRegNrList({"hh10203", "hh10204", "hh10205"});
    m_area->chooseRegNr(0);
    m_area->chooseSourceFile(0);
    m_area->bitbtnClick();
    QVERIFY(!m_area->erzeugenEnabled());
    m_area->enterArea();
    QCOMPARE(m_area->regNrList().size(), 3);
    QCOMPARE(m_area->regNrIndex(), -1);
    QCOMPARE(m_area->newsPath(), QString());
    QCOMPARE(m_area->outputPath(), QString());
    QCOMPARE(m_area->description(), QString());
    QVERIFY(m_area->sourceFiles().isEmpty());
    QVERIFY(!m_area->erzeugenEnabled()); // not touched
    QVERIFY(!m_area->openExplorer());    // the user's choice stays
}

void TestNewsArea::newsFilesFromTheStandardToolsUnpack()
{
    const QString name = "n-hh10203-INFO_12_2002.zip.3des";
    QVERIFY(makeWithStandardTools(data("Post/") + name, kContent, kPassPhrase));
    m_dialogs.expectOpenFiles({data("Post/") + name});
    m_area->bitbtnNwsEntschluesselnClick();
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    const ScriptedDialogs::Request& request = m_dialogs.requests.first();
    QCOMPARE(request.options.title, QString());
    QCOMPARE(request.options.filter, QStringLiteral("3DES - Dateien (*.3des)"));
    QCOMPARE(request.options.initialDir, fs::defaultDialogFolder());
    QVERIFY(request.options.multiSelect);
    QVERIFY(!request.options.mustExist);
    QCOMPARE(m_fixture->settings.read("N", "NEWS", "-"), data("Post"));

    QCOMPARE(filesBelow(news("v_") + name), kContent);
    QCOMPARE(readAll(news(name)), readAll(data("Post/") + name));
    QCOMPARE(m_area->outputPath(), news("v_") + name);
    QCOMPARE(m_fixture->explored, QStringList{news("v_") + name});
    QCOMPARE(m_area->decrypted().size(), 1);

    // Chosen from the news directory itself, here through a link: no question, no copy, and the
    // file stays.
    QVERIFY(QFile::link(news().chopped(1), data("Verweis")));
    m_dialogs.expectOpenFiles({data("Verweis/") + name});
    m_area->bitbtnNwsEntschluesselnClick();
    QVERIFY(m_dialogs.shown.isEmpty());
    QCOMPARE(m_dialogs.requests.last().options.initialDir, data("Post"));
    QCOMPARE(m_fixture->settings.read("N", "NEWS", "-"), data("Verweis"));
    QCOMPARE(filesBelow(news("v_") + name + "_1"), kContent);
    QCOMPARE(readAll(news(name)), readAll(data("Post/") + name));
    QCOMPARE(m_area->outputPath(), news("v_") + name + "_1");
}

void TestNewsArea::runsEndAtTheFirstFailure_data()
{
    QTest::addColumn<QString>("second");    // the second of three news files in Post
    QTest::addColumn<QByteArray>("phrase"); // its pass phrase; empty: the file is not there
    QTest::addColumn<QStringList>("texts"); // what is shown ("@" stands for the Post folder)
    QTest::addColumn<bool>("third");        // whether the third file is unpacked

    QTest::newRow("no key record")
        << "n-hh99999-Zwei.zip.3des" << kPassPhrase
        << QStringList{"Für die Registriernummer \"hh99999\" sind keine Stammdaten vorhanden, keine "
                       "Entschlüsselung möglich."}
        << false;
    QTest::newRow("empty pass phrase")
        << "n-hh10205-Zwei.zip.3des" << kPassPhrase
        << QStringList{"Für die Registriernummer \"hh10205\" wurde kein Schlüsselcode in den Stammdaten "
                       "hinterlegt. Keine Entschlüsselung möglich."}
        << false;
    QTest::newRow("copy declined") << "n-hh10203-Eins.zip.3des" << kPassPhrase
                                   << QStringList{overwrite("n-hh10203-Eins.zip.3des")} << false;
    QTest::newRow("wrong pass phrase goes on")
        << "n-hh10203-Zwei.zip.3des" << QByteArray("anders-456")
        << QStringList{"Die Datei \"@n-hh10203-Zwei.zip.3des\" konnte nicht entschlüsselt werden: falsches "
                       "Passwort oder beschädigte Datei."}
        << true;
    QTest::newRow("missing file goes on")
        << "n-hh10203-Zwei.zip.3des" << QByteArray()
        << QStringList{"Die Archivdatei \"@n-hh10203-Zwei.zip.3des\" wurde nicht gefunden."} << true;
}

void TestNewsArea::runsEndAtTheFirstFailure()
{
    QFETCH(QString, second);
    QFETCH(QByteArray, phrase);
    QFETCH(QStringList, texts);
    QFETCH(bool, third);
    for (QString& t : texts)
        t.replace(u'@', data("Post/"));
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Eins.zip.3des"), kContent, kPassPhrase));
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Drei.zip.3des"), kContent, kPassPhrase));
    if (!phrase.isEmpty() && !QFile::exists(data("Post/") + second))
        QVERIFY(makeWithStandardTools(data("Post/") + second, kContent, phrase));
    m_dialogs.expectOpenFiles(
        {data("Post/n-hh10203-Eins.zip.3des"), data("Post/") + second, data("Post/n-hh10203-Drei.zip.3des")});
    if (texts.first().startsWith("Die Datei \"n-"))
        m_dialogs.expectQuestion(texts.first(), Answer::No);
    m_area->bitbtnNwsEntschluesselnClick();
    QCOMPARE(m_dialogs.texts(), texts);
    QCOMPARE(filesBelow(news("v_n-hh10203-Eins.zip.3des")), kContent);
    QCOMPARE(QFileInfo::exists(news("v_n-hh10203-Drei.zip.3des")), third);
    QCOMPARE(m_area->decrypted().size(), third ? 3 : 1);
    QCOMPARE(m_area->outputPath(),
             third ? news("v_n-hh10203-Drei.zip.3des") : news("v_n-hh10203-Eins.zip.3des"));
    QCOMPARE(m_fixture->explored.size(), third ? 3 : 1);
    if (third)
        QCOMPARE(m_area->decrypted().at(1).errorText, texts.first());
}

void TestNewsArea::dottedDescriptionFailsTheNameRules()
{
    prepare({"quelle/Bericht.txt"}, "info.old");
    QCOMPARE(m_area->bitbtnNwsErzeugenClick(), Creation::Created);
    m_dialogs.clear();
    QVERIFY(!m_area->DecryptNewsFile(news("n-hh10203-info.old.zip.3des")));
    QCOMPARE(m_dialogs.texts(),
             QStringList{"Der Zip-Teil der Dateiendung \"n-hh10203-info.old.zip.3des\" wurde "
                         "nicht korrekt angegeben. Richtig wäre z.B. "
                         "\"n-hh10203-INFO_12_2002.zip.3des\""});
    QCOMPARE(m_area->outputPath(), QString());
    QVERIFY(!QFileInfo::exists(news("v_n-hh10203-info.old.zip.3des_1")));
}

void TestNewsArea::explorerOnlyWhenTicked()
{
    QVERIFY(m_area->openExplorer()); // ticked at start
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Info.zip.3des"), kContent, kPassPhrase));
    m_area->setOpenExplorer(false);
    m_area->dropNewsFiles(
        NewsArea::newsFilesOf({data("quelle/Bericht.txt"), data("Post/n-hh10203-Info.zip.3des")}));
    QVERIFY(m_fixture->explored.isEmpty());
    QCOMPARE(m_area->outputPath(), news("v_n-hh10203-Info.zip.3des"));
    QCOMPARE(m_fixture->settings.read("N", "NEWS", "-"), data("Post"));

    m_area->setOpenExplorer(true);
    m_dialogs.expectOpenFiles({data("Post/n-hh10203-Info.zip.3des")});
    m_dialogs.expectQuestion(overwrite("n-hh10203-Info.zip.3des"), Answer::Yes);
    m_area->bitbtnNwsEntschluesselnClick();
    QCOMPARE(m_fixture->explored, QStringList{news("v_n-hh10203-Info.zip.3des_1")});
}

QTEST_GUILESS_MAIN(TestNewsArea)
#include "tst_newsarea.moc"
