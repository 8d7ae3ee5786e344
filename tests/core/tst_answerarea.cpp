#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "support/WorkAreaFixture.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/AnswerArea.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

using Controls = AnswerArea::Controls;
using Answer = Dialogs::Answer;
using Kind = Dialogs::Kind;

const QByteArray kPassPhrase = "geheim-123";
const QString kChooseFolder =
    QStringLiteral("Bitte wählen Sie ein Ausgabepfad für die entschlüsselten Dateien aus.");

QString copyQuestion(const QString& name)
{
    return QStringLiteral("Die Datei \"%1 existiert bereits, soll diese überschrieben werden?").arg(name);
}

QString noPassPhrase(const QString& regNr)
{
    return QStringLiteral(
               "Für die Registriernummer \"%1\" wurde kein Schlüsselcode in den Stammdaten hinterlegt. "
               "Keine Entschlüsselung möglich.")
        .arg(regNr);
}

// What an answer file of the data-receiving body holds: text, binary bytes and a sub-folder.
QMap<QString, QByteArray> content(const QString& tag)
{
    QByteArray binary;
    for (int i = 0; i < 256; ++i)
        binary.append(char(i));
    return {{"Auswertung.csv", "Fall;Ergebnis\r\n1;" + tag.toUtf8() + "\r\n"},
            {"Anlagen/Tabelle.bin", binary + tag.toUtf8()}};
}

const Controls kFinalDisplay{true, true, true};
const Controls kResetState{true, false, false};

} // namespace

// The answer area's runs over answer files made by the standard tools, unpacked by the real
// packing library.
class TestAnswerArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dialogRunUnpacksByteForByte();
    void cancelledDialogChangesNothing();
    void repeatedRunAsksAndNumbersTheFolder();
    void yesKeepsTheOldCopyUntilTheNewOneIsComplete();
    void threeFilesWithTheSecondFailing_data();
    void threeFilesWithTheSecondFailing();
    void fileChosenFromTheAnswerDirectoryItself();
    void emptyPassPhraseWithAnExistingCopy();
    void wrongPassPhrase();
    void missingAnswerDirectory();
    void outputFolderThatCannotBeCreatedEndsTheRun();
    void singleFileRun();
    void listClickExplorerAndReset();
    void droppedFilesRunWithoutTheDialog();

private:
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    QString post(const QString& name = {}) const { return data("Post/") + name; }
    QString answers(const QString& name = {}) const { return data("Antwort/") + name; }
    void makeAnswerFile(const QString& name, const QByteArray& passPhrase = kPassPhrase)
    {
        QVERIFY(makeWithStandardTools(post(name), content(name), passPhrase));
    }
    // A dialog run over these files (of the folder Post unless given in full); script scripts
    // what the run will ask after the file dialog.
    void choose(const QStringList& names, const std::function<void()>& script = {})
    {
        QStringList paths;
        for (const QString& n : names)
            paths << (QDir::isAbsolutePath(n) ? n : post(n));
        m_dialogs.expectOpenFiles(paths);
        if (script)
            script();
        m_area->bitbtnSearchAntwortClick();
    }
    QString iniText() const { return QString::fromUtf8(readAll(m_app->filePath("tolvane.ini"))); }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    // Every stAntUnterPfad text the panel was shown, in order.
    QStringList m_subFolderTexts;
    std::unique_ptr<WorkAreaFixture> m_fx;
    std::unique_ptr<AnswerArea> m_area;
};

void TestAnswerArea::init()
{
    m_area.reset();
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    m_subFolderTexts.clear();
    QVERIFY(QDir(data()).mkpath("Post"));
    QVERIFY(QDir(data()).mkpath("Antwort"));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = kPassPhrase, .answerDir = answers()}));
    // No answer directory, and no pass phrase.
    QVERIFY(writeKeyFile(m_app->path(), "hh10204", {.desKey = kPassPhrase}));
    QVERIFY(writeKeyFile(m_app->path(), "hh10205", {.answerDir = answers()}));
    QVERIFY(installPackingLibrary(m_app->path()));
    m_fx = std::make_unique<WorkAreaFixture>(m_app->path(), m_dialogs);
    QCOMPARE(m_fx->store.FCount(), 3);
    m_area = std::make_unique<AnswerArea>(m_fx->services);
    m_area->onChanged = [this] {
        if (m_subFolderTexts.value(m_subFolderTexts.size() - 1, QStringLiteral("-")) !=
            m_area->subFolderText())
            m_subFolderTexts << m_area->subFolderText();
    };
    m_area->reset();
}

void TestAnswerArea::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
}

void TestAnswerArea::dialogRunUnpacksByteForByte()
{
    makeAnswerFile("a-hh10203-4.zip.3des");
    makeAnswerFile("A-HH10203-5.ZIP.3DES");
    choose({"a-hh10203-4.zip.3des", "A-HH10203-5.ZIP.3DES"});
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));

    const FileDialogOptions& options = m_dialogs.requests.first().options;
    QCOMPARE(options.title, QStringLiteral("Auswählen der verschlüsselten Antwortdatei"));
    QCOMPARE(options.filter, QStringLiteral("Triple-DES-Dateien (*.3des)"));
    QCOMPARE(options.initialDir, fs::defaultDialogFolder());
    QVERIFY(options.multiSelect);
    QVERIFY(options.mustExist);
    // The folder is remembered without its trailing separator.
    QCOMPARE(m_fx->settings.read("A", "ANTWORT", QString()), post().chopped(1));

    QCOMPARE(m_area->fileLines(), (QStringList{"a-hh10203-4.zip.3des", "A-HH10203-5.ZIP.3DES"}));
    QCOMPARE(m_area->fileSelection(), 1);
    QCOMPARE(m_area->outputFolders(),
             (QStringList{answers("v_a-hh10203-4.zip.3des"), answers("v_A-HH10203-5.ZIP.3DES")}));
    for (const QString name : {"a-hh10203-4.zip.3des", "A-HH10203-5.ZIP.3DES"}) {
        QCOMPARE(filesBelow(answers("v_" + name)), content(name));
        QCOMPARE(readAll(answers(name)), readAll(post(name)));
    }
    QVERIFY(m_area->lastRun().allUnpacked());

    // The final display: the last file's folder, the directory with its separator, the folder's
    // name without one. While a file was being unpacked its name showed with a separator.
    QCOMPARE(m_area->controls(), kFinalDisplay);
    QCOMPARE(m_area->viewRoot(), answers("v_A-HH10203-5.ZIP.3DES"));
    QCOMPARE(m_area->directoryText(), answers());
    QCOMPARE(m_area->subFolderText(), QStringLiteral("v_A-HH10203-5.ZIP.3DES"));
    QCOMPARE(m_subFolderTexts, (QStringList{"", "v_a-hh10203-4.zip.3des/", "v_A-HH10203-5.ZIP.3DES/",
                                            "v_A-HH10203-5.ZIP.3DES"}));

    // The next run opens where the last one chose.
    m_dialogs.expectOpenFiles({});
    m_area->bitbtnSearchAntwortClick();
    QCOMPARE(m_dialogs.requests.last().options.initialDir, post().chopped(1));
}

void TestAnswerArea::cancelledDialogChangesNothing()
{
    makeAnswerFile("a-hh10203-4.zip.3des");
    choose({"a-hh10203-4.zip.3des"});
    QVERIFY(QFile::remove(m_app->filePath("tolvane.ini")));
    m_dialogs.expectOpenFiles({});
    m_area->bitbtnSearchAntwortClick();
    QCOMPARE(m_area->fileLines(), QStringList{"a-hh10203-4.zip.3des"});
    QCOMPARE(m_area->outputFolders(), QStringList{answers("v_a-hh10203-4.zip.3des")});
    QCOMPARE(m_area->controls(), kFinalDisplay);
    QVERIFY(!QFile::exists(m_app->filePath("tolvane.ini")));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestAnswerArea::repeatedRunAsksAndNumbersTheFolder()
{
    makeAnswerFile("A-HH10203-4.ZIP.3DES");
    choose({"A-HH10203-4.ZIP.3DES"});
    // Yes: the next folder, the copy renewed.
    QVERIFY(writeAll(answers("A-HH10203-4.ZIP.3DES"), "alte Kopie"));
    choose({"A-HH10203-4.ZIP.3DES"},
           [this] { m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::Yes); });
    QCOMPARE(m_dialogs.shown.last().kind, Kind::Confirmation);
    QCOMPARE(m_area->outputFolders(), QStringList{answers("v_A-HH10203-4.ZIP.3DES_1")});
    QCOMPARE(m_area->subFolderText(), QStringLiteral("v_A-HH10203-4.ZIP.3DES_1"));
    QCOMPARE(filesBelow(answers("v_A-HH10203-4.ZIP.3DES_1")), content("A-HH10203-4.ZIP.3DES"));
    QCOMPARE(readAll(answers("A-HH10203-4.ZIP.3DES")), readAll(post("A-HH10203-4.ZIP.3DES")));

    // No: the run ends, the copy stays, no folder is made.
    QVERIFY(writeAll(answers("A-HH10203-4.ZIP.3DES"), "alte Kopie"));
    choose({"A-HH10203-4.ZIP.3DES"},
           [this] { m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::No); });
    QCOMPARE(m_area->fileLines(), QStringList());
    QCOMPARE(m_area->outputFolders(), QStringList());
    QVERIFY(m_area->lastRun().ended);
    QCOMPARE(readAll(answers("A-HH10203-4.ZIP.3DES")), QByteArray("alte Kopie"));
    QVERIFY(!QFileInfo::exists(answers("v_A-HH10203-4.ZIP.3DES_2")));
}

void TestAnswerArea::yesKeepsTheOldCopyUntilTheNewOneIsComplete()
{
    QVERIFY(makeWithStandardTools(post("a-hh10203-4.zip.3des"), {{"gross.bin", QByteArray(200000, 'x')}},
                                  kPassPhrase));
    QVERIFY(writeAll(answers("a-hh10203-4.zip.3des"), "die alte Kopie"));
    // A file size limit makes the copy fail halfway, as a full disk would.
    withFileSizeLimit(100, [this] {
        choose({"a-hh10203-4.zip.3des"},
               [this] { m_dialogs.expectQuestion(copyQuestion("a-hh10203-4.zip.3des"), Answer::Yes); });
    });
    QCOMPARE(readAll(answers("a-hh10203-4.zip.3des")), QByteArray("die alte Kopie"));
    // The file is listed all the same: the library read the chosen file, not the copy.
    QCOMPARE(m_area->fileLines(), QStringList{"a-hh10203-4.zip.3des"});
    m_dialogs.shown.clear();
}

void TestAnswerArea::threeFilesWithTheSecondFailing_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("message"); // "@" stands for the second file's full path
    QTest::addColumn<bool>("ends");
    QTest::newRow("missing file: skip") << "a-hh10203-2.zip.3des"
                                        << "Die angegeben Datei \"@\" existiert nicht! [Abbruch]" << false;
    QTest::newRow("wrong name: end")
        << "a-hh10203-zwei.zip.3des"
        << "Die Transaktionsnummer \"zwei\" ist nicht nummerisch angegeben. Richtig wäre z.B. "
           "\"a-hh10203-4.zip.3des\""
        << true;
    QTest::newRow("no key record: skip")
        << "a-hh99999-2.zip.3des"
        << "Für die Registriernummer \"hh99999\" sind keine Stammdaten vorhanden, keine Entschlüsselung "
           "möglich."
        << false;
    QTest::newRow("no answer directory, chooser cancelled: skip")
        << "a-hh10204-2.zip.3des" << kChooseFolder << false;
    QTest::newRow("empty pass phrase: skip") << "a-hh10205-2.zip.3des" << noPassPhrase("hh10205") << false;
    QTest::newRow("copy kept: end") << "a-hh10203-2.zip.3des" << copyQuestion("a-hh10203-2.zip.3des") << true;
}

void TestAnswerArea::threeFilesWithTheSecondFailing()
{
    QFETCH(QString, second);
    QFETCH(QString, message);
    QFETCH(bool, ends);
    const QString tag = QTest::currentDataTag();
    makeAnswerFile("a-hh10203-1.zip.3des");
    makeAnswerFile("a-hh10203-3.zip.3des");
    if (!tag.startsWith("missing"))
        makeAnswerFile(second);
    if (tag.startsWith("copy kept"))
        QVERIFY(writeAll(answers(second), "Kopie"));
    choose({"a-hh10203-1.zip.3des", second, "a-hh10203-3.zip.3des"}, [&] {
        if (tag.startsWith("no answer directory"))
            m_dialogs.expectChooseDirectory({});
        if (tag.startsWith("copy kept"))
            m_dialogs.expectQuestion(message, Answer::No);
    });

    message.replace(u'@', post(second));
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    const QString first = answers("v_a-hh10203-1.zip.3des");
    const QString third = answers("v_a-hh10203-3.zip.3des");
    QCOMPARE(m_area->lastRun().ended, ends);
    QVERIFY(!m_area->lastRun().allUnpacked());
    QVERIFY(!QFileInfo::exists(answers("v_" + second)));
    if (ends) {
        // The third file is not touched, and the display is what the first file's steps left.
        QCOMPARE(m_area->fileLines(), QStringList{"a-hh10203-1.zip.3des"});
        QCOMPARE(m_area->fileSelection(), 0);
        QCOMPARE(m_area->outputFolders(), QStringList{first});
        QVERIFY(!QFileInfo::exists(third));
        QVERIFY(!QFileInfo::exists(answers("a-hh10203-3.zip.3des")));
        QCOMPARE(m_area->controls(), kResetState);
        QCOMPARE(m_area->directoryText(), answers());
        QCOMPARE(m_area->subFolderText(), QStringLiteral("v_a-hh10203-1.zip.3des/"));
    } else {
        QCOMPARE(m_area->fileLines(), (QStringList{"a-hh10203-1.zip.3des", "a-hh10203-3.zip.3des"}));
        QCOMPARE(m_area->fileSelection(), 1);
        QCOMPARE(m_area->outputFolders(), (QStringList{first, third}));
        QCOMPARE(filesBelow(third), content("a-hh10203-3.zip.3des"));
        QCOMPARE(m_area->controls(), kFinalDisplay);
        QCOMPARE(m_area->viewRoot(), third);
        QCOMPARE(m_area->subFolderText(), QStringLiteral("v_a-hh10203-3.zip.3des"));
        QCOMPARE(m_area->lastRun().unpackedCleanly, 2);
    }
}

void TestAnswerArea::fileChosenFromTheAnswerDirectoryItself()
{
    QVERIFY(makeWithStandardTools(answers("a-hh10203-4.zip.3des"), content("x"), kPassPhrase));
    const QByteArray original = readAll(answers("a-hh10203-4.zip.3des"));
    // The directory reached through a link and through a path of another spelling: neither is a
    // second file, so nothing is asked, copied or deleted.
    QVERIFY(QFile::link(answers().chopped(1), data("Verknuepfung")));
    choose({data("Verknuepfung/a-hh10203-4.zip.3des"), data("Post/../Antwort/a-hh10203-4.zip.3des"),
            answers("a-hh10203-4.zip.3des")});
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    QCOMPARE(m_area->outputFolders(),
             (QStringList{answers("v_a-hh10203-4.zip.3des"), answers("v_a-hh10203-4.zip.3des_1"),
                          answers("v_a-hh10203-4.zip.3des_2")}));
    for (const QString& folder : m_area->outputFolders())
        QCOMPARE(filesBelow(folder), content("x"));
    QCOMPARE(readAll(answers("a-hh10203-4.zip.3des")), original);
    QCOMPARE(QDir(answers()).entryList(QDir::Files), QStringList{"a-hh10203-4.zip.3des"});
}

void TestAnswerArea::emptyPassPhraseWithAnExistingCopy()
{
    makeAnswerFile("a-hh10205-4.zip.3des");
    QVERIFY(writeAll(answers("a-hh10205-4.zip.3des"), "Kopie"));
    // The dialog run reports the missing pass phrase and asks nothing.
    choose({"a-hh10205-4.zip.3des"});
    QCOMPARE(m_dialogs.texts(), QStringList{noPassPhrase("hh10205")});
    QCOMPARE(m_dialogs.shown.last().kind, Kind::Error);

    // The single-file run asks about the copy first; Yes deletes nothing before a new copy.
    m_dialogs.clear();
    m_dialogs.expectQuestion(copyQuestion("a-hh10205-4.zip.3des"), Answer::Yes);
    QVERIFY(!m_area->DecryptAnswerFile(post("a-hh10205-4.zip.3des"), true));
    QCOMPARE(m_dialogs.texts(), (QStringList{copyQuestion("a-hh10205-4.zip.3des"), noPassPhrase("hh10205")}));
    QCOMPARE(readAll(answers("a-hh10205-4.zip.3des")), QByteArray("Kopie"));
    QCOMPARE(QDir(answers()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(m_fx->explored.isEmpty());
}

void TestAnswerArea::wrongPassPhrase()
{
    makeAnswerFile("a-hh10203-4.zip.3des", "anders-456");
    makeAnswerFile("a-hh10203-5.zip.3des");
    choose({"a-hh10203-4.zip.3des", "a-hh10203-5.zip.3des"});
    QCOMPARE(m_dialogs.shown.size(), 1);
    QCOMPARE(m_dialogs.shown.first().kind, Kind::Error);
    const QString text = m_dialogs.shown.first().text;
    QVERIFY2(text.startsWith("Die Datei \"" + post("a-hh10203-4.zip.3des") + "\"") &&
                 text.contains("falsches Passwort oder beschädigte Datei"),
             qPrintable(text));
    // Listed with its empty folder; the run goes on.
    QCOMPARE(m_area->fileLines(), (QStringList{"a-hh10203-4.zip.3des", "a-hh10203-5.zip.3des"}));
    QVERIFY(QDir(answers("v_a-hh10203-4.zip.3des")).isEmpty());
    QCOMPARE(filesBelow(answers("v_a-hh10203-5.zip.3des")), content("a-hh10203-5.zip.3des"));
    QCOMPARE(m_area->lastRun().unpackedCleanly, 1);
    QVERIFY(!m_area->lastRun().allUnpacked());
}

void TestAnswerArea::missingAnswerDirectory()
{
    makeAnswerFile("a-hh10204-4.zip.3des");
    makeAnswerFile("a-hh10204-5.zip.3des");
    QVERIFY(QDir(data()).mkpath("gewaehlt"));
    // The chooser starts at the record's (empty) directory; the folder chosen serves this file only.
    choose({"a-hh10204-4.zip.3des", "a-hh10204-5.zip.3des"}, [this] {
        m_dialogs.expectChooseDirectory(data("gewaehlt"));
        m_dialogs.expectChooseDirectory({});
    });
    QCOMPARE(m_dialogs.texts(), (QStringList{kChooseFolder, kChooseFolder}));
    QCOMPARE(m_dialogs.shown.first().kind, Kind::Information);
    QCOMPARE(m_area->outputFolders(), QStringList{data("gewaehlt/v_a-hh10204-4.zip.3des")});
    QCOMPARE(m_area->directoryText(), data("gewaehlt/"));
    QCOMPARE(filesBelow(data("gewaehlt/v_a-hh10204-4.zip.3des")), content("a-hh10204-4.zip.3des"));
    QVERIFY(!QFileInfo::exists(data("gewaehlt/v_a-hh10204-5.zip.3des")));
    m_fx->store.LoadKeyFiles();
    QCOMPARE(m_fx->store.record(m_fx->store.FindRegNr("hh10204")).FDirs.VAntwort(), QString());
}

void TestAnswerArea::outputFolderThatCannotBeCreatedEndsTheRun()
{
    for (const char* name : {"a-hh10203-1.zip.3des", "a-hh10203-2.zip.3des", "a-hh10203-3.zip.3des"})
        makeAnswerFile(name);
    // A file bears the output folder's name.
    QVERIFY(writeAll(answers("v_a-hh10203-2.zip.3des"), "im Weg"));
    m_dialogs.expectOpenFiles(
        {post("a-hh10203-1.zip.3des"), post("a-hh10203-2.zip.3des"), post("a-hh10203-3.zip.3des")});
    try {
        m_area->bitbtnSearchAntwortClick();
        QFAIL("no error for an output folder that cannot be created");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("E/A-Fehler 183"));
    }
    QCOMPARE(m_area->fileLines(), QStringList{"a-hh10203-1.zip.3des"});
    QVERIFY(m_area->lastRun().ended);
    QCOMPARE(m_area->controls(), kResetState);
    QVERIFY(!QFileInfo::exists(answers("v_a-hh10203-3.zip.3des")));
    QVERIFY(!QFileInfo::exists(answers("a-hh10203-3.zip.3des")));

    // The single-file run ends there as well.
    QVERIFY_THROWS_EXCEPTION(FileError, m_area->DecryptAnswerFile(post("a-hh10203-2.zip.3des"), true));
    QVERIFY(m_fx->explored.isEmpty());
}

void TestAnswerArea::singleFileRun()
{
    makeAnswerFile("A-HH10203-4.ZIP.3DES");
    int shows = 0;
    m_area->onShowArea = [&shows] { ++shows; };
    QVERIFY(m_area->DecryptAnswerFile(post("A-HH10203-4.ZIP.3DES"), true));
    QCOMPARE(shows, 1);
    QVERIFY(m_dialogs.shown.isEmpty());
    const QString folder = answers("v_A-HH10203-4.ZIP.3DES");
    QCOMPARE(filesBelow(folder), content("A-HH10203-4.ZIP.3DES"));
    QCOMPARE(m_area->fileLines(), QStringList{"A-HH10203-4.ZIP.3DES"});
    QCOMPARE(m_area->outputFolders(), QStringList{folder});
    QCOMPARE(m_area->fileSelection(), -1);
    QCOMPARE(m_area->controls(), kFinalDisplay);
    QCOMPARE(m_area->viewRoot(), folder);
    // The texts stay as the steps left them: the folder's name with its separator.
    QCOMPARE(m_area->directoryText(), answers());
    QCOMPARE(m_area->subFolderText(), QStringLiteral("v_A-HH10203-4.ZIP.3DES/"));
    QCOMPARE(m_fx->explored, QStringList{folder});

    // Not started from the command line: nothing is opened. The question comes as in a dialog run.
    m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::Yes);
    QVERIFY(m_area->DecryptAnswerFile(post("A-HH10203-4.ZIP.3DES"), false));
    QCOMPARE(m_area->outputFolders(), QStringList{folder + "_1"});
    QCOMPARE(m_fx->explored.size(), 1);

    // Failures return false and leave the list empty.
    m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::No);
    QVERIFY(!m_area->DecryptAnswerFile(post("A-HH10203-4.ZIP.3DES"), true));
    QCOMPARE(m_area->fileLines(), QStringList());
    QCOMPARE(m_area->outputFolders(), QStringList());
    QVERIFY(!m_area->DecryptAnswerFile(post("x-hh10203-4.zip.3des"), true));
    QVERIFY(!m_area->DecryptAnswerFile(post("a-hh10203-9.zip.3des"), true));
    QCOMPARE(m_dialogs.shown.last().text,
             "Die angegeben Datei \"" + post("a-hh10203-9.zip.3des") + "\" existiert nicht! [Abbruch]");
    QCOMPARE(m_fx->explored.size(), 1);
    QCOMPARE(shows, 5);
}

void TestAnswerArea::listClickExplorerAndReset()
{
    for (const char* name : {"a-hh10203-1.zip.3des", "a-hh10203-2.zip.3des"})
        makeAnswerFile(name);
    choose({"a-hh10203-1.zip.3des", "a-hh10203-2.zip.3des"});
    m_area->chooseFile(0);
    QCOMPARE(m_area->fileSelection(), 0);
    QCOMPARE(m_area->viewRoot(), answers("v_a-hh10203-1.zip.3des"));
    QCOMPARE(m_area->directoryText(), answers());
    QCOMPARE(m_area->subFolderText(), QStringLiteral("v_a-hh10203-1.zip.3des"));
    m_area->bitbtnAntOpenExplorerClick();
    QCOMPARE(m_fx->explored, QStringList{answers("v_a-hh10203-1.zip.3des")});

    m_area->reset();
    QCOMPARE(m_area->fileLines(), QStringList());
    QCOMPARE(m_area->directoryText(), QString());
    QCOMPARE(m_area->subFolderText(), QString());
    QCOMPARE(m_area->controls(), kResetState);
    // The output folders are emptied by the next run, not by the reset.
    QCOMPARE(m_area->outputFolders().size(), 2);
}

void TestAnswerArea::droppedFilesRunWithoutTheDialog()
{
    for (const char* name : {"a-hh10203-1.zip.3des", "a-hh10203-2.zip.3des"})
        makeAnswerFile(name);
    m_area->dropFiles({post("a-hh10203-2.zip.3des"), post("a-hh10203-1.zip.3des")});
    QVERIFY(m_dialogs.requests.isEmpty());
    QCOMPARE(m_area->fileLines(), (QStringList{"a-hh10203-2.zip.3des", "a-hh10203-1.zip.3des"}));
    QCOMPARE(m_area->viewRoot(), answers("v_a-hh10203-1.zip.3des"));
    QCOMPARE(m_area->controls(), kFinalDisplay);
    QVERIFY(!iniText().contains("ANTWORT", Qt::CaseInsensitive));
}

QTEST_GUILESS_MAIN(TestAnswerArea)
#include "tst_answerarea.moc"
