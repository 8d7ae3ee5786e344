#include "common/Ansi.h"
#include "masterdata/KeyFiles.h"
#include "masterdata/KeyManager.h"
#include "masterdata/MasterDataStore.h"
#include "masterdata/StammText.h"
#include "platform/FileError.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

using Field = KeyManager::Field;
using Controls = KeyManager::Controls;
using Answer = Dialogs::Answer;

const QString kNewQuestion = QStringLiteral(
    "Hinweis: Wenn die VQZ Ihre datenentgegennehmende Stelle ist, erhalten Sie die Keydatei als registrierter "
    "Kunde per Email. Wollen Sie fortfahren?");
const QString kNewPrompt = QStringLiteral("Bitte geben Sie Ihre neue Registriernummer ein (z.B. vq12345).");
const QString kShortKey = QStringLiteral("Bitte geben Sie mindestens 8 zeichen für den Verschlüsselungscode an.");
const QString kNotWindows1252 = QStringLiteral("Die Passphrase enthält das Zeichen %1, das im Zeichensatz "
                                               "Windows-1252 nicht vorkommt. Die Passphrase wird in "
                                               "diesem Zeichensatz gespeichert und zur Verschlüsselung "
                                               "verwendet; bitte wählen Sie eine Passphrase ohne dieses "
                                               "Zeichen.");
const QString kControl = QStringLiteral(
    "Die Passphrase enthält ein Steuerzeichen (%1). Bitte wählen Sie eine Passphrase ohne Steuerzeichen.");
const QString kSaveQuestion = QStringLiteral("Wollen Sie die Änderungen speichern?");
const QString kOverwrite = QString::fromUtf8(keyfiles::kOverwriteQuestion);
const double kOldDate = 45000.75; // 15.03.2023 18:00

Controls browseControls(bool exportEnabled = true)
{
    Controls c;
    c.exportBtn = exportEnabled;
    return c;
}

Controls editControls(bool locked)
{
    Controls c;
    c.speichern = c.abbrechen = true;
    c.neu = false;
    c.importBtn = c.exportBtn = false;
    c.dirButtons = true;
    c.list = false;
    c.desKey = !locked;
    c.dirFields = true;
    return c;
}

} // namespace

class TestKeyManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void loadShowsFirstRecord();
    void states_data();
    void states();
    void changeFlagsAndDates_data();
    void changeFlagsAndDates();
    void closingQuestion_data();
    void closingQuestion();
    void newRecord_data();
    void newRecord();
    void newNeverReplacesAnExistingKeyFile_data();
    void newNeverReplacesAnExistingKeyFile();
    void saveValidation_data();
    void saveValidation();
    void issuedPassPhraseIsNotChecked();
    void saveShowsFirstRecordAndAppendsSeparators();
    void cancelRestoresTheStore();
    void importAsksPerFileAndReloadsOnce();
    void importFailureKeepsExistingKeyFile();
    void importOfItselfTouchesNothing();
    void exportNameRule_data();
    void exportNameRule();
    void deleteNeverDestroysAKeyFile();
    void deleteCannotCreateFolder();
    void proposal_data();
    void proposal();
    void createSubdirectories();
    void browseButtons();

private:
    QString appDir() const { return m_dir->path() + u'/'; }
    QString exe() const { return appDir() + QStringLiteral("tolvane"); }
    QString path(const QString& name) const { return appDir() + name; }
    // A key file written by Tolvane itself.
    void writeKey(const QString& regNr, const QString& desKey = {}, double keyDate = 0,
                  const QString& rootDir = {}, bool issued = false, const QString& fileName = {})
    {
        QVERIFY(writeKeyFile(appDir(), regNr, {desKey, keyDate, rootDir, issued, fileName}));
    }
    void open(const QString& exeName = {})
    {
        m_store = std::make_unique<MasterDataStore>(exeName.isEmpty() ? exe() : exeName, m_dialogs);
        m_keys = std::make_unique<KeyManager>(*m_store, m_dialogs);
        QObject::connect(m_store.get(), &MasterDataStore::loaded, [this] { ++m_loads; });
        m_store->LoadKeyFiles();
        m_loads = 0;
    }
    // The record as it is now in its key file.
    std::unique_ptr<TStamm> reread(const QString& name)
    {
        bool ok = false;
        auto rec = std::make_unique<TStamm>(QString(), exe(), path(name), ok, m_dialogs);
        return ok ? std::move(rec) : nullptr;
    }
    KeyManager& keys() { return *m_keys; }
    // The texts of the boxes shown that were not questions.
    QStringList messages() const
    {
        QStringList result;
        for (const auto& s : m_dialogs.shown) {
            if (s.buttons == Dialogs::Buttons::Ok)
                result << s.text;
        }
        return result;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MasterDataStore> m_store;
    std::unique_ptr<KeyManager> m_keys;
    int m_loads = 0;
};

void TestKeyManager::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_dialogs.clear();
    m_loads = 0;
}

void TestKeyManager::cleanup()
{
    QVERIFY2(m_dialogs.scriptDone(), "a scripted prompt was not asked");
    m_keys.reset();
    m_store.reset();
}

void TestKeyManager::loadShowsFirstRecord()
{
    writeKey("hh10204", "zweites-passwort", kOldDate, "/qs/b/");
    writeKey("hh10203", "erstes-passwort", 0, "/qs/a/");
    open();
    QCOMPARE(keys().listEntries(), (QStringList{"hh10203", "hh10204"}));
    QCOMPARE(keys().listSelection(), 0);
    QCOMPARE(keys().text(KeyManager::RegNrHeader), QStringLiteral(" hh10203"));
    QCOMPARE(keys().text(KeyManager::DesKey), QStringLiteral("erstes-passwort"));
    QCOMPARE(keys().text(KeyManager::RootDir), QStringLiteral("/qs/a/"));
    QCOMPARE(keys().standText(), QStringLiteral("Stand: bisher keine Angaben"));
    QVERIFY(!keys().FModified);
    QCOMPARE(keys().controls(), browseControls());

    keys().lbRegNrClick(1);
    QCOMPARE(m_store->FCurrent, 1);
    QCOMPARE(keys().text(KeyManager::DesKey), QStringLiteral("zweites-passwort"));
    QCOMPARE(keys().standText(), standText(kOldDate));
    QVERIFY(keys().standText() != QStringLiteral("Stand: bisher keine Angaben"));
    QVERIFY(!keys().FModified);

    // An empty directory: no record, the export button off, the fields empty.
    QVERIFY(QFile::remove(path("hh10203.key")) && QFile::remove(path("hh10204.key")));
    m_store->LoadKeyFiles();
    QVERIFY(keys().listEntries().isEmpty());
    QCOMPARE(keys().controls(), browseControls(false));
    QCOMPARE(keys().text(KeyManager::RegNrHeader), QString());
    QCOMPARE(keys().text(KeyManager::DesKey), QString());
    m_dialogs.clear();
    keys().bitbtnBearbeitenClick();
    QCOMPARE(m_dialogs.texts(),
             QStringList{QStringLiteral("Bitte importieren Sie zuerst eine Keydatei mit Ihren Stammdaten.")});
    QCOMPARE(keys().state(), KeyManager::State::Browse);
}

// The controls of each state, reached the way a user reaches it.
void TestKeyManager::states_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("state");
    QTest::addColumn<Controls>("controls");
    QTest::addColumn<int>("focus");

    Controls fresh; // the new state changes only Neu, the list and the two bottom buttons
    fresh.neu = false;
    fresh.list = false;
    fresh.speichern = fresh.abbrechen = true;
    fresh.exportBtn = false; // as the load of the empty directory left it

    QTest::newRow("initial") << "initial" << int(KeyManager::State::Browse) << browseControls() << -1;
    QTest::newRow("double click") << "dblclick" << int(KeyManager::State::Edit) << editControls(false)
                                  << int(KeyManager::DesKey);
    QTest::newRow("menu Bearbeiten") << "menu" << int(KeyManager::State::Edit) << editControls(false)
                                     << int(KeyManager::DesKey);
    QTest::newRow("issued record") << "issued" << int(KeyManager::State::Edit) << editControls(true)
                                   << int(KeyManager::RootDir);
    QTest::newRow("cancel from edit") << "cancel" << int(KeyManager::State::Browse) << browseControls() << -1;
    QTest::newRow("save") << "save" << int(KeyManager::State::Browse) << browseControls() << -1;
    QTest::newRow("failed save") << "failedsave" << int(KeyManager::State::Edit) << editControls(false)
                                 << int(KeyManager::DesKey);
    QTest::newRow("new, key file not written") << "newfailed" << int(KeyManager::State::New) << fresh << -1;
}

void TestKeyManager::states()
{
    QFETCH(QString, how);
    QFETCH(int, state);
    QFETCH(Controls, controls);
    QFETCH(int, focus);

    writeKey("hh10203", "geheim-123", kOldDate);
    writeKey("vq00001", "VQZ-PASSPHRASE", kOldDate, {}, true);
    int focused = -1;
    if (how == u"newfailed") {
        // An application directory that does not exist: the key file cannot be written.
        open(appDir() + QStringLiteral("fehlt/tolvane"));
    } else {
        open();
    }
    keys().onFocus = [&focused](Field f) { focused = int(f); };

    if (how == u"dblclick") {
        keys().lbRegNrDblClick(0);
    } else if (how == u"menu") {
        keys().bitbtnBearbeitenClick();
    } else if (how == u"issued") {
        keys().lbRegNrDblClick(1);
        QVERIFY(keys().FKeyLocked);
        QVERIFY(keys().vqzVisible());
    } else if (how == u"cancel") {
        keys().lbRegNrDblClick(0);
        focused = -1;
        keys().bitbtnAbbrechenClick();
    } else if (how == u"save") {
        keys().lbRegNrDblClick(0);
        focused = -1;
        keys().bitbtnSpeichernClick();
    } else if (how == u"failedsave") {
        keys().lbRegNrDblClick(0);
        keys().setText(KeyManager::DesKey, QStringLiteral("kurz"));
        focused = -1;
        keys().bitbtnSpeichernClick();
        QCOMPARE(m_dialogs.texts().last(), kShortKey);
    } else if (how == u"newfailed") {
        m_dialogs.expectQuestion(kNewQuestion, Answer::Yes);
        m_dialogs.expectInput(QStringLiteral("hh10205"));
        keys().bitbtnNeuClick();
        QCOMPARE(m_dialogs.texts().last(),
                 QStringLiteral("Beim Erstellen einer neuen Schlüsseldatei ist ein Fehler aufgetreten."));
        QCOMPARE(keys().listEntries(), QStringList{"hh10205"});
        QCOMPARE(keys().text(KeyManager::RegNrHeader), QStringLiteral(" hh10205"));
        // Saving stops at the empty pass phrase; cancelling leaves the state.
        keys().bitbtnSpeichernClick();
        QCOMPARE(m_dialogs.texts().last(), kShortKey);
    }
    QCOMPARE(int(keys().state()), state);
    QCOMPARE(keys().controls(), controls);
    QCOMPARE(focused, focus);

    if (how == u"newfailed") {
        keys().bitbtnAbbrechenClick();
        QCOMPARE(keys().state(), KeyManager::State::Browse);
        QVERIFY(keys().listEntries().isEmpty());
        QCOMPARE(keys().text(KeyManager::RegNrHeader), QString());
    }
}

// KeyDate changes only with the pass phrase, DirsDate only with the directories, and the
// change flags go into the record as they stand at the save.
void TestKeyManager::changeFlagsAndDates_data()
{
    QTest::addColumn<bool>("changeKey");
    QTest::addColumn<bool>("changeDirs");
    QTest::newRow("directories only") << false << true;
    QTest::newRow("pass phrase only") << true << false;
    QTest::newRow("both") << true << true;
    QTest::newRow("nothing") << false << false;
}

void TestKeyManager::changeFlagsAndDates()
{
    QFETCH(bool, changeKey);
    QFETCH(bool, changeDirs);
    writeKey("hh10203", "geheim-123", kOldDate, appDir());
    open();
    const QString standBefore = keys().standText();

    keys().lbRegNrDblClick(0);
    QVERIFY(!keys().FEditKey.KeyChanged());
    QVERIFY(!keys().FEditDirs.DirsChanged());
    QVERIFY(!keys().FModified);
    if (changeKey)
        keys().setText(KeyManager::DesKey, QStringLiteral("neues-geheimnis"));
    if (changeDirs)
        keys().setText(KeyManager::ExportDir, appDir());
    QCOMPARE(keys().FModified, changeKey || changeDirs);
    QCOMPARE(keys().FEditKey.KeyChanged(), changeKey);
    QCOMPARE(keys().FEditDirs.DirsChanged(), changeDirs);

    const double before = dateTimeToOleDate(QDateTime::currentDateTime().addSecs(-1));
    keys().bitbtnSpeichernClick();
    QCOMPARE(keys().state(), KeyManager::State::Browse);

    auto rec = reread("hh10203.key");
    QVERIFY(rec);
    QCOMPARE(rec->FKey.KeyChanged(), changeKey);
    QCOMPARE(rec->FDirs.DirsChanged(), changeDirs);
    if (changeKey)
        QVERIFY(rec->FKey.KeyDate() >= before);
    else
        QCOMPARE(rec->FKey.KeyDate(), kOldDate);
    if (changeDirs)
        QVERIFY(rec->FDirs.DirsDate() >= before);
    else
        QCOMPARE(rec->FDirs.DirsDate(), kOldDate);
    QCOMPARE(rec->FKey.DesKey(), changeKey ? QStringLiteral("neues-geheimnis") : QStringLiteral("geheim-123"));
    QCOMPARE(rec->FDirs.VExport(), changeDirs ? appDir() : QString());
    // The shown record says the same.
    if (!changeKey)
        QCOMPARE(keys().standText(), standBefore);
}

void TestKeyManager::closingQuestion_data()
{
    QTest::addColumn<int>("answer"); // -1: nothing typed, no question
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("stored");
    QTest::newRow("unchanged") << -1 << true << "geheim-123";
    QTest::newRow("Ja saves") << int(Answer::Yes) << true << "getippt-456";
    QTest::newRow("Nein restores") << int(Answer::No) << true << "geheim-123";
    QTest::newRow("Abbrechen stays") << int(Answer::Cancel) << false << "geheim-123";
}

void TestKeyManager::closingQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(QString, stored);
    writeKey("hh10203", "geheim-123", kOldDate);
    open();
    keys().lbRegNrDblClick(0);
    if (answer >= 0) {
        keys().setText(KeyManager::DesKey, QStringLiteral("getippt-456"));
        m_dialogs.expectQuestion(kSaveQuestion, Answer(answer));
    }
    QCOMPARE(keys().FormCloseQuery(), closes);
    QCOMPARE(reread("hh10203.key")->FKey.DesKey(), stored);
    if (answer == int(Answer::Cancel)) {
        QCOMPARE(keys().state(), KeyManager::State::Edit);
        QCOMPARE(keys().text(KeyManager::DesKey), QStringLiteral("getippt-456"));
        QVERIFY(keys().FModified);
    } else if (answer >= 0) {
        QCOMPARE(keys().state(), KeyManager::State::Browse);
        QCOMPARE(keys().text(KeyManager::DesKey), stored);
        QVERIFY(!keys().FModified);
    } else {
        // Without changes the window closes in the state it is in.
        QCOMPARE(keys().state(), KeyManager::State::Edit);
    }
}

void TestKeyManager::newRecord_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<std::optional<QString>>("input");
    QTest::addColumn<QString>("created"); // empty: nothing created
    QTest::addColumn<QString>("message");
    QTest::newRow("blanks and capitals") << true << std::optional<QString>(" HH10205  ") << "hh10205" << "";
    QTest::newRow("six characters") << true << std::optional<QString>("hh1020") << ""
                                    << "Die eingegeben Registriernummer \"hh1020\" - (Ländercode + Registriercode) "
                                       "muß 7-stellig sein.";
    QTest::newRow("eight characters") << true << std::optional<QString>(" HH102055") << ""
                                      << "Die eingegeben Registriernummer \"hh102055\" - (Ländercode + "
                                         "Registriercode) muß 7-stellig sein.";
    QTest::newRow("any characters") << true << std::optional<QString>("ab-12_ü") << "ab-12_ü" << "";
    QTest::newRow("Nein") << false << std::optional<QString>() << "" << "";
    QTest::newRow("input cancelled") << true << std::optional<QString>() << "" << "";
}

void TestKeyManager::newRecord()
{
    QFETCH(bool, confirm);
    QFETCH(std::optional<QString>, input);
    QFETCH(QString, created);
    QFETCH(QString, message);
    writeKey("hh10209", "geheim-123", kOldDate, appDir());
    open();
    m_dialogs.expectQuestion(kNewQuestion, confirm ? Answer::Yes : Answer::No);
    if (confirm)
        m_dialogs.expectInput(input);
    keys().bitbtnNeuClick();
    QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (confirm) {
        const auto& request = m_dialogs.requests.last();
        QCOMPARE(request.inputTitle, QStringLiteral("Neue Registriernummer"));
        QCOMPARE(request.text, kNewPrompt);
        QCOMPARE(request.inputValue, QString());
    }

    QDir dir(appDir());
    const QStringList keyFiles = dir.entryList({"*.key"}, QDir::Files, QDir::Name);
    if (created.isEmpty()) {
        QCOMPARE(keyFiles, QStringList{"hh10209.key"});
        QCOMPARE(keys().state(), KeyManager::State::Browse);
        QCOMPARE(keys().listEntries(), QStringList{"hh10209"});
        return;
    }
    QVERIFY(keyFiles.contains(created + ".key"));
    QCOMPARE(m_loads, 1);
    QCOMPARE(keys().state(), KeyManager::State::Edit);
    const int index = m_store->FindRegNr(created);
    QVERIFY(index >= 0);
    QCOMPARE(m_store->FCurrent, index);
    QCOMPARE(keys().listSelection(), index);
    QCOMPARE(keys().text(KeyManager::RegNrHeader), u' ' + created);
    QCOMPARE(keys().text(KeyManager::DesKey), QString());
    QCOMPARE(keys().text(KeyManager::RootDir), QString());
    QCOMPARE(keys().standText(), QStringLiteral("Stand: bisher keine Angaben"));
    QVERIFY(keys().controls().desKey);
    // The empty pass phrase has to be filled before a save succeeds.
    keys().bitbtnSpeichernClick();
    QCOMPARE(m_dialogs.texts().last(), kShortKey);
    keys().setText(KeyManager::DesKey, QStringLiteral("acht8888"));
    keys().bitbtnSpeichernClick();
    QCOMPARE(keys().state(), KeyManager::State::Browse);
    QCOMPARE(reread(created + ".key")->FKey.DesKey(), QStringLiteral("acht8888"));
}

// A key file holds the pass phrase agreed with the data-receiving body; "Neu" for its number
// must leave it as it is.
void TestKeyManager::newNeverReplacesAnExistingKeyFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("same name") << "hh10203.key";
    QTest::newRow("other letter case") << "HH10203.KEY";
}

void TestKeyManager::newNeverReplacesAnExistingKeyFile()
{
    QFETCH(QString, fileName);
    writeKey("hh10203", "vereinbart-mit-stelle", kOldDate, {}, false, fileName);
    const QByteArray before = readAll(path(fileName));
    QVERIFY(!before.isEmpty());
    open();
    m_dialogs.expectQuestion(kNewQuestion, Answer::Yes);
    m_dialogs.expectInput(QStringLiteral("HH10203"));
    keys().bitbtnNeuClick();
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Warning);
    QVERIFY(m_dialogs.shown.last().text.contains(path(fileName)));
    QVERIFY(m_dialogs.shown.last().text.contains(QStringLiteral("nicht überschrieben")));
    QCOMPARE(readAll(path(fileName)), before);
    QCOMPARE(QDir(appDir()).entryList({"*.key"}, QDir::Files), QStringList{fileName});
    QCOMPARE(keys().state(), KeyManager::State::Browse);
    QCOMPARE(keys().text(KeyManager::DesKey), QStringLiteral("vereinbart-mit-stelle"));
    QCOMPARE(keys().listEntries(), QStringList{"hh10203"});
}

void TestKeyManager::saveValidation_data()
{
    QTest::addColumn<QString>("desKey");
    QTest::addColumn<QString>("exportDir"); // relative to the application directory, "@" = absent
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    QTest::newRow("seven characters") << "1234567" << "" << kShortKey << int(KeyManager::DesKey);
    QTest::newRow("eight characters") << "12345678" << "" << "" << -1;
    QTest::newRow("twenty-four") << QString(24, u'x') << "" << "" << -1;
    QTest::newRow("missing directory") << "12345678" << "@fehlt" << "Das angegebene Verzeichnis \"@fehlt/\" "
                                                                     "existiert nicht. Bitte prüfen Sie dies."
                                       << int(KeyManager::ExportDir);
    // Pass phrases are stored and used in Windows-1252: what it holds is accepted, anything else
    // would be stored as "?".
    QTest::newRow("umlauts and euro sign") << QStringLiteral("Pässwort€1") << ""
                                           << "" << -1;
    QTest::newRow("outside Windows-1252") << QStringLiteral("Pāsswort1") << ""
                                          << kNotWindows1252.arg("\"ā\" (U+0101)") << int(KeyManager::DesKey);
    QTest::newRow("outside the BMP") << QStringLiteral("Passwort\U0001F600") << ""
                                     << kNotWindows1252.arg(QStringLiteral("\"\U0001F600\" (U+1F600)"))
                                     << int(KeyManager::DesKey);
    QTest::newRow("invisible character") << QStringLiteral("\uFEFFPasswort1") << ""
                                         << kNotWindows1252.arg("U+FEFF") << int(KeyManager::DesKey);
    QTest::newRow("tab") << "geheim\t123"
                         << "" << kControl.arg("U+0009") << int(KeyManager::DesKey);
    QTest::newRow("C1 control") << QStringLiteral("geheim\u0085123") << "" << kControl.arg("U+0085")
                                << int(KeyManager::DesKey);
    QTest::newRow("DEL") << "geheim\x7f"
                            "123"
                         << "" << kControl.arg("U+007F") << int(KeyManager::DesKey);
    // The checks run in order and stop at the first failure.
    QTest::newRow("length first") << QStringLiteral("Pā") << "" << kShortKey << int(KeyManager::DesKey);
    QTest::newRow("pass phrase before directories")
        << QStringLiteral("Pāsswort1") << "@fehlt" << kNotWindows1252.arg("\"ā\" (U+0101)")
        << int(KeyManager::DesKey);
}

void TestKeyManager::saveValidation()
{
    QFETCH(QString, desKey);
    QFETCH(QString, exportDir);
    QFETCH(QString, message);
    QFETCH(int, focus);
    writeKey("hh10203", "geheim-123", kOldDate);
    open();
    const QByteArray before = readAll(path("hh10203.key"));
    keys().lbRegNrDblClick(0);
    int focused = -1;
    keys().onFocus = [&focused](Field f) { focused = int(f); };
    keys().setText(KeyManager::DesKey, desKey);
    QCOMPARE(keys().text(KeyManager::DesKey), desKey.left(24));
    keys().setText(KeyManager::ExportDir, QString(exportDir).replace(u'@', appDir()));
    keys().bitbtnSpeichernClick();
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message.replace(u'@', appDir())});
    QCOMPARE(focused, focus);
    if (message.isEmpty()) {
        QCOMPARE(keys().state(), KeyManager::State::Browse);
        QCOMPARE(reread("hh10203.key")->FKey.DesKey(), desKey);
    } else {
        QCOMPARE(keys().state(), KeyManager::State::Edit);
        QCOMPARE(readAll(path("hh10203.key")), before);
        QCOMPARE(m_dialogs.shown.first().kind, focus == int(KeyManager::DesKey) ? Dialogs::Kind::Information
                                                                                 : Dialogs::Kind::Error);
    }
}

// The pass phrase of an issued key file cannot be edited: its bytes are the issuer's own and stay,
// so a save of the directories is not refused for them.
void TestKeyManager::issuedPassPhraseIsNotChecked()
{
    writeKey("vq00001", "VQZ\tPASS-123", kOldDate, {}, true);
    open();
    keys().lbRegNrDblClick(0);
    QVERIFY(keys().FKeyLocked);
    keys().setText(KeyManager::RootDir, appDir());
    keys().bitbtnSpeichernClick();
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(keys().state(), KeyManager::State::Browse);
    QCOMPARE(reread("vq00001.key")->FDirs.VRootDir(), appDir());
    QCOMPARE(reread("vq00001.key")->FKey.DesKey(), QStringLiteral("VQZ\tPASS-123"));
}

void TestKeyManager::saveShowsFirstRecordAndAppendsSeparators()
{
    writeKey("hh10201", "erstes-123");
    writeKey("hh10202", "zweites-123");
    QVERIFY(QDir(appDir()).mkpath("qs"));
    open();
    keys().lbRegNrDblClick(1);
    const QString typed = appDir() + QStringLiteral("qs");
    keys().setText(KeyManager::RootDir, typed);
    keys().bitbtnSpeichernClick();
    QCOMPARE(reread("hh10202.key")->FDirs.VRootDir(), typed + u'/');
    QCOMPARE(reread("hh10202.key")->FDirs.VExport(), QString());
    QCOMPARE(m_store->FCurrent, 0);
    QCOMPARE(keys().listSelection(), 0);
    QCOMPARE(keys().text(KeyManager::RegNrHeader), QStringLiteral(" hh10201"));
}

void TestKeyManager::cancelRestoresTheStore()
{
    writeKey("hh10203", "geheim-123", kOldDate, appDir());
    open();
    keys().lbRegNrDblClick(0);
    keys().setText(KeyManager::DesKey, QStringLiteral("verworfen"));
    keys().setText(KeyManager::RootDir, QStringLiteral("/anders/"));
    // The key file changes behind the window's back: cancel shows the store, not the file.
    writeKey("hh10203", "auf-platte", kOldDate);
    keys().bitbtnAbbrechenClick();
    QCOMPARE(keys().state(), KeyManager::State::Browse);
    QCOMPARE(keys().text(KeyManager::DesKey), QStringLiteral("geheim-123"));
    QCOMPARE(keys().text(KeyManager::RootDir), appDir());
    QVERIFY(!keys().FModified);
}

void TestKeyManager::importAsksPerFileAndReloadsOnce()
{
    // Three files to import; the first and the third exist in the application directory.
    QTemporaryDir source;
    for (const QString regNr : {"hh10201", "hh10202", "hh10203"}) {
        writeKey(regNr, QStringLiteral("neu-") + regNr);
        QVERIFY(QFile::rename(path(regNr + ".key"), source.filePath(regNr + ".key")));
    }
    writeKey("hh10201", "alt-alt-1");
    writeKey("hh10203", "alt-alt-3");
    open();

    const QStringList chosen = {source.filePath("hh10203.key"), source.filePath("hh10202.key"),
                                source.filePath("hh10201.key")};
    m_dialogs.expectOpenFiles(chosen);
    m_dialogs.expectQuestion(kOverwrite, Answer::Yes);
    m_dialogs.expectQuestion(kOverwrite, Answer::No);
    keys().bitbtnImportClick();
    QCOMPARE(m_loads, 1);
    const auto& open = m_dialogs.requests.first().options;
    QCOMPARE(open.filter, QStringLiteral("Key-Datei (*.key)"));
    QVERIFY(open.multiSelect);
    QCOMPARE(readAll(path("hh10203.key")), readAll(source.filePath("hh10203.key")));
    QCOMPARE(readAll(path("hh10202.key")), readAll(source.filePath("hh10202.key")));
    QVERIFY(readAll(path("hh10201.key")) != readAll(source.filePath("hh10201.key")));
    QCOMPARE(m_store->record(m_store->FindRegNr("hh10201")).FKey.DesKey(), QStringLiteral("alt-alt-1"));
    QCOMPARE(m_store->record(m_store->FindRegNr("hh10203")).FKey.DesKey(), QStringLiteral("neu-hh10203"));
    QCOMPARE(keys().importDir, source.path());

    // The next import starts where this one ended; cancelling reloads nothing.
    m_dialogs.expectOpenFiles({});
    keys().bitbtnImportClick();
    QCOMPARE(m_dialogs.requests.last().options.initialDir, source.path());
    QCOMPARE(m_loads, 1);
}

// Yes to the overwrite question must not cost the existing key file when the copy fails.
void TestKeyManager::importFailureKeepsExistingKeyFile()
{
    writeKey("hh10203", "vereinbart-123");
    const QByteArray before = readAll(path("hh10203.key"));
    QTemporaryDir source;
    // A directory of that name cannot be copied.
    QVERIFY(QDir(source.path()).mkdir("hh10203.key"));
    open();
    m_dialogs.expectOpenFiles({source.filePath("hh10203.key")});
    m_dialogs.expectQuestion(kOverwrite, Answer::Yes);
    keys().bitbtnImportClick();
    QCOMPARE(readAll(path("hh10203.key")), before);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QCOMPARE(m_dialogs.shown.last().text, QStringLiteral("Die Key-Datei ") + source.filePath("hh10203.key")
                                              + QStringLiteral(" konnte nicht importiert werden."));
    QCOMPARE(m_store->FCount(), 1);
    QCOMPARE(m_store->record(0).FKey.DesKey(), QStringLiteral("vereinbart-123"));
    QCOMPARE(QDir(appDir()).entryList(QDir::Files), (QStringList{"hh10203.key"}));
}

void TestKeyManager::importOfItselfTouchesNothing()
{
    writeKey("hh10203", "vereinbart-123");
    const QByteArray before = readAll(path("hh10203.key"));
    const QDateTime modified = QFileInfo(path("hh10203.key")).lastModified();
    open();
    QVERIFY(keys().ImportKeyFile(path("hh10203.key")));
    QVERIFY(keys().ImportKeyFile(QDir::cleanPath(appDir() + "./x/../hh10203.key")));
    QCOMPARE(readAll(path("hh10203.key")), before);
    QCOMPARE(QFileInfo(path("hh10203.key")).lastModified(), modified);
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestKeyManager::exportNameRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("other name") << "backup.key" << true;
    QTest::newRow("extension in capitals") << "backup.KEY" << false;
    QTest::newRow("no extension") << "backup" << false;
    QTest::newRow("key inside the name") << "backup.key.bak" << false;
    QTest::newRow("no name part") << "" << false;
    QTest::newRow("dot file") << ".key" << true;
}

void TestKeyManager::exportNameRule()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    writeKey("hh10203", "vereinbart-123");
    QTemporaryDir target;
    // A file already there is replaced.
    QVERIFY(writeAll(target.filePath("backup.key"), "alt"));
    open();
    const QString chosen = target.path() + u'/' + name;
    m_dialogs.expectSaveFile(chosen);
    keys().bitbtnExportClick();
    const auto& save = m_dialogs.requests.first().options;
    QCOMPARE(save.initialName, QStringLiteral("hh10203.key"));
    QCOMPARE(save.filter, QStringLiteral("Key-Datei (*.key)"));
    if (written) {
        QVERIFY(m_dialogs.shown.isEmpty());
        QCOMPARE(readAll(chosen), readAll(path("hh10203.key")));
    } else {
        QCOMPARE(m_dialogs.texts(), QStringList{QString::fromUtf8(keyfiles::kBadExportName)});
        QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.key"});
        QCOMPARE(readAll(target.filePath("backup.key")), QByteArray("alt"));
    }
    QCOMPARE(keys().exportDir, target.path());
    QCOMPARE(m_loads, 0);
}

// Deleting moves the key file into "Deleted Keyfiles"; a second copy of the same name goes into
// a dated subfolder, so neither is lost and each still loads under its own name.
void TestKeyManager::deleteNeverDestroysAKeyFile()
{
    const QString question = QStringLiteral("Möchten Sie die Stamminformationen [hh10203] wirklich löschen?");
    const QString deleted = appDir() + QStringLiteral("Deleted Keyfiles/");
    writeKey("hh10203", "erste-passphrase");
    writeKey("hh10204", "bleibt-da");
    const QByteArray first = readAll(path("hh10203.key"));
    open();

    m_dialogs.expectQuestion(question, Answer::No);
    keys().bitbtnLoeschenClick();
    QVERIFY(QFile::exists(path("hh10203.key")));
    QCOMPARE(m_loads, 0);

    m_dialogs.expectQuestion(question, Answer::Yes);
    keys().bitbtnLoeschenClick();
    QVERIFY(!QFile::exists(path("hh10203.key")));
    QCOMPARE(readAll(deleted + "hh10203.key"), first);
    QCOMPARE(m_loads, 1);
    QCOMPARE(keys().listEntries(), QStringList{"hh10204"});

    writeKey("hh10203", "zweite-passphrase");
    const QByteArray second = readAll(path("hh10203.key"));
    m_store->LoadKeyFiles();
    QCOMPARE(m_store->record(0).FRegNr, QStringLiteral("hh10203"));
    m_dialogs.expectQuestion(question, Answer::Yes);
    keys().bitbtnLoeschenClick();
    QVERIFY(!QFile::exists(path("hh10203.key")));
    QCOMPARE(readAll(deleted + "hh10203.key"), first);
    const QStringList sub = QDir(deleted).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(sub.size(), 1);
    QVERIFY2(QDateTime::fromString(sub.first(), "yyyy-MM-dd_HH-mm-ss").isValid(), qPrintable(sub.first()));
    const QString copy = deleted + sub.first() + QStringLiteral("/hh10203.key");
    QCOMPARE(readAll(copy), second);
    QVERIFY(m_dialogs.shown.size() == 3); // the three questions, nothing else

    // The kept copy imports and loads again.
    m_dialogs.expectOpenFiles({copy});
    keys().bitbtnImportClick();
    QCOMPARE(m_store->record(m_store->FindRegNr("hh10203")).FKey.DesKey(), QStringLiteral("zweite-passphrase"));
}

void TestKeyManager::deleteCannotCreateFolder()
{
    writeKey("hh10203", "erste-passphrase");
    // A file takes the folder's name: an input/output error of its own number.
    QVERIFY(writeAll(path("Deleted Keyfiles"), "x"));
    open();
    m_dialogs.expectQuestion(QStringLiteral("Möchten Sie die Stamminformationen [hh10203] wirklich löschen?"),
                             Answer::Yes);
    try {
        keys().bitbtnLoeschenClick();
        QFAIL("the failed folder creation was not raised");
    } catch (const FileError& e) {
        QCOMPARE(e.text(), QStringLiteral("E/A-Fehler 183"));
    }
    QVERIFY(QFile::exists(path("hh10203.key")));
    QCOMPARE(m_store->FCount(), 1);
}

void TestKeyManager::proposal_data()
{
    QTest::addColumn<QString>("root"); // "@" stands for the application directory
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("exportDir");
    QTest::newRow("existing root") << "@qs" << ""
                                   << "@qs/hh10203/Export/";
    QTest::newRow("with separator") << "@qs/" << ""
                                    << "@qs/hh10203/Export/";
    QTest::newRow("missing root") << "@fehlt"
                                  << "Das Wurzelverzeichnis \"@fehlt/\" existiert nicht. Bitte nur existierende "
                                     "Verzeichnisse angeben."
                                  << "/alt/";
    QTest::newRow("empty root") << "" << "" << "/alt/";
}

void TestKeyManager::proposal()
{
    QFETCH(QString, root);
    QFETCH(QString, message);
    QFETCH(QString, exportDir);
    const auto expand = [this](QString s) { return s.replace(u'@', appDir()); };
    QVERIFY(QDir(appDir()).mkpath("qs"));
    writeKey("hh10203", "erste-passphrase");
    open();
    keys().lbRegNrDblClick(0);
    keys().setText(KeyManager::ExportDir, QStringLiteral("/alt/"));
    keys().setText(KeyManager::AntwortDir, QStringLiteral("/alt/"));
    keys().setText(KeyManager::RootDir, expand(root));
    keys().bitbtnVVorschlagClick();
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{expand(message)});
    QCOMPARE(keys().text(KeyManager::RootDir), expand(root));
    QCOMPARE(keys().text(KeyManager::ExportDir), expand(exportDir));
    if (exportDir != u"/alt/") {
        QCOMPARE(keys().text(KeyManager::AntwortDir), expand("@qs/hh10203/Antwort/"));
        QCOMPARE(keys().text(KeyManager::NewsDir), expand("@qs/hh10203/News/"));
        QVERIFY(!QFileInfo::exists(expand("@qs/hh10203")));
    } else {
        QCOMPARE(keys().text(KeyManager::AntwortDir), QStringLiteral("/alt/"));
    }
}

void TestKeyManager::createSubdirectories()
{
    const QString success = QStringLiteral("Die angegebenen Pfade wurden erfolgreich erstellt.");
    writeKey("hh10203", "erste-passphrase");
    QVERIFY(writeAll(path("datei"), "x"));
    open();
    keys().lbRegNrDblClick(0);
    keys().setText(KeyManager::ExportDir, path("qs/a/Export/"));
    keys().setText(KeyManager::AntwortDir, QString());
    keys().setText(KeyManager::NewsDir, path("qs/a/News/"));
    keys().bitbtnVErzeugenClick();
    QVERIFY(QFileInfo(path("qs/a/Export")).isDir());
    QVERIFY(QFileInfo(path("qs/a/News")).isDir());
    QVERIFY(m_dialogs.shown.isEmpty());

    keys().setText(KeyManager::AntwortDir, path("datei/Antwort/"));
    keys().bitbtnVErzeugenClick();
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("Das Verzeichnis \"") + path("datei/Antwort/")
                                            + QStringLiteral("\" konnte nicht erfolgreich angelegt werden.")});

    m_dialogs.clear();
    keys().setText(KeyManager::AntwortDir, path("qs/a/Antwort/"));
    keys().bitbtnVErzeugenClick();
    QCOMPARE(m_dialogs.texts(), QStringList{success});
    QCOMPARE(m_dialogs.shown.first().kind, Dialogs::Kind::Information);
}

void TestKeyManager::browseButtons()
{
    writeKey("hh10203", "erste-passphrase", 0, QStringLiteral("/qs/"));
    open();
    keys().lbRegNrDblClick(0);
    m_dialogs.expectChooseDirectory(appDir() + QStringLiteral("gewaehlt"));
    keys().chooseDirectoryFor(KeyManager::RootDir);
    QCOMPARE(m_dialogs.requests.last().startDir, QStringLiteral("/qs/"));
    QCOMPARE(keys().text(KeyManager::RootDir), appDir() + QStringLiteral("gewaehlt/"));
    QVERIFY(keys().FEditDirs.DirsChanged());
    // An empty field opens where the last choice ended; a cancel keeps the text.
    m_dialogs.expectChooseDirectory(QString());
    keys().chooseDirectoryFor(KeyManager::NewsDir);
    QCOMPARE(m_dialogs.requests.last().startDir, appDir() + QStringLiteral("gewaehlt/"));
    QCOMPARE(keys().text(KeyManager::NewsDir), QString());
}

QTEST_GUILESS_MAIN(TestKeyManager)
#include "tst_keymanager.moc"
