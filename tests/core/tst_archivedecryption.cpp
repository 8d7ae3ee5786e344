#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/ProfileFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "support/WorkAreaFixture.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/ArchiveDecryption.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

namespace {

using Outcome = ArchiveDecryption::Outcome;
using Order = ArchiveDecryption::Order;
using Kind = ArchiveDecryption::Kind;
using Answer = Dialogs::Answer;

const QMap<QString, QByteArray> kContent{{"Antwort.csv", "Fall;Ergebnis\n1;ok\n"},
                                         {"sub/Bericht.txt", "Bericht"}};

QString copyQuestion(const QString& name)
{
    return QStringLiteral("Die Datei \"%1 existiert bereits, soll diese überschrieben werden?").arg(name);
}

} // namespace

// The steps that answer and news files share on their way to a readable folder, with archives
// made by the standard tools and the real packing library.
class TestArchiveDecryption : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void unpacksIntoFreshFolders();
    void fileChosenFromTheDirectoryItself();
    void failedCopyKeepsTheOldCopy();
    void passPhraseAndCopyQuestionOrder_data();
    void passPhraseAndCopyQuestionOrder();
    void refusals();

private:
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    QString answers(const QString& name = {}) const { return data("Antwort/") + name; }
    // A key record of hh10203 whose answer and news directory is the folder Antwort, and the
    // services over the store loaded anew.
    void writeKey(const QString& passPhrase)
    {
        QVERIFY(writeKeyFile(m_app->path(), "hh10203",
                             {.desKey = passPhrase, .newsDir = answers(), .answerDir = answers()}));
        m_fx = std::make_unique<WorkAreaFixture>(m_app->path(), m_dialogs);
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<WorkAreaFixture> m_fx;
};

void TestArchiveDecryption::init()
{
    m_fx.reset();
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    QVERIFY(QDir(data()).mkpath("Antwort"));
    QVERIFY(QDir(data()).mkpath("Post"));
    QVERIFY(installPackingLibrary(m_app->path()));
    writeKey("geheim-123");
    QVERIFY(makeWithStandardTools(data("Post/A-HH10203-4.ZIP.3DES"), kContent, "geheim-123"));
}

void TestArchiveDecryption::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
}

void TestArchiveDecryption::unpacksIntoFreshFolders()
{
    ArchiveDecryption answer(m_fx->services, Kind::Answer);
    QStringList told;
    answer.onDirectory = [&told](const QString& d) { told << d; };
    answer.onOutputFolder = [&told](const QString& o) { told << o; };
    const auto first = answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order::PassPhraseFirst);
    QCOMPARE(first.outcome, Outcome::Unpacked);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    QCOMPARE(first.outputFolder, answers("v_A-HH10203-4.ZIP.3DES"));
    QCOMPARE(told, (QStringList{answers(), answers("v_A-HH10203-4.ZIP.3DES")}));
    QCOMPARE(filesBelow(first.outputFolder), kContent);
    QCOMPARE(readAll(answers("A-HH10203-4.ZIP.3DES")), readAll(data("Post/A-HH10203-4.ZIP.3DES")));

    // Again from elsewhere: the question names the file (without a closing quote); Yes gives the
    // next folder.
    m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::Yes);
    const auto second = answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order::PassPhraseFirst);
    QCOMPARE(second.outcome, Outcome::Unpacked);
    QCOMPARE(second.outputFolder, answers("v_A-HH10203-4.ZIP.3DES_1"));
    QCOMPARE(filesBelow(second.outputFolder), kContent);

    // A wrong pass phrase: the library's text is shown and the file still counts as unpacked.
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Info.zip.3des"), kContent, "anders-456"));
    ArchiveDecryption news(m_fx->services, Kind::News);
    const auto wrong = news.decrypt(data("Post/n-hh10203-Info.zip.3des"), Order::CopyQuestionFirst);
    QCOMPARE(wrong.outcome, Outcome::Unpacked);
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Error);
    QCOMPARE(m_dialogs.shown.last().text, wrong.errorText);
    QVERIFY(!wrong.errorText.isEmpty());
    QVERIFY(QDir(wrong.outputFolder).isEmpty());
}

void TestArchiveDecryption::fileChosenFromTheDirectoryItself()
{
    QVERIFY(QFile::copy(data("Post/A-HH10203-4.ZIP.3DES"), answers("a-hh10203-4.zip.3des")));
    const QByteArray original = readAll(answers("a-hh10203-4.zip.3des"));
    // The same folder through a link and with "./": no question, no copy, nothing deleted.
    QVERIFY(QFile::link(answers().chopped(1), data("Verknuepfung")));
    ArchiveDecryption answer(m_fx->services, Kind::Answer);
    for (const QString& path :
         {data("Verknuepfung/a-hh10203-4.zip.3des"), data("Antwort/./a-hh10203-4.zip.3des")}) {
        const auto r = answer.decrypt(path, Order::CopyQuestionFirst);
        QCOMPARE(r.outcome, Outcome::Unpacked);
        QCOMPARE(filesBelow(r.outputFolder), kContent);
    }
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    QCOMPARE(readAll(answers("a-hh10203-4.zip.3des")), original);
    QCOMPARE(QDir(answers()).entryList(QDir::Files), QStringList{"a-hh10203-4.zip.3des"});
}

void TestArchiveDecryption::failedCopyKeepsTheOldCopy()
{
    QVERIFY(writeAll(answers("A-HH10203-4.ZIP.3DES"), "die alte Kopie"));
    // A file size limit makes the copy fail halfway, as a full disk would.
    QVERIFY(makeWithStandardTools(data("Post/A-HH10203-4.ZIP.3DES"), {{"gross.bin", QByteArray(200000, 'x')}},
                                  "geheim-123"));
    m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::Yes);
    ArchiveDecryption answer(m_fx->services, Kind::Answer);
    ArchiveDecryption::Result r;
    withFileSizeLimit(100,
                      [&] { r = answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order::PassPhraseFirst); });
    QCOMPARE(r.outcome, Outcome::Unpacked);
    QCOMPARE(readAll(answers("A-HH10203-4.ZIP.3DES")), QByteArray("die alte Kopie"));
    m_dialogs.shown.clear();
}

void TestArchiveDecryption::passPhraseAndCopyQuestionOrder_data()
{
    QTest::addColumn<int>("order");
    QTest::addColumn<bool>("asked");
    QTest::newRow("dialog run: pass phrase first, nothing asked") << int(Order::PassPhraseFirst) << false;
    QTest::newRow("single file: the question first") << int(Order::CopyQuestionFirst) << true;
}

void TestArchiveDecryption::passPhraseAndCopyQuestionOrder()
{
    QFETCH(int, order);
    QFETCH(bool, asked);
    writeKey(QString());
    QVERIFY(writeAll(answers("A-HH10203-4.ZIP.3DES"), "Kopie"));
    if (asked)
        m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::Yes);
    ArchiveDecryption answer(m_fx->services, Kind::Answer);
    QCOMPARE(answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order(order)).outcome, Outcome::NoPassPhrase);
    QCOMPARE(m_dialogs.shown.last().text,
             QStringLiteral("Für die Registriernummer \"hh10203\" wurde kein Schlüsselcode in den Stammdaten "
                            "hinterlegt. Keine Entschlüsselung möglich."));
    // Nothing is deleted before a new copy is complete.
    QCOMPARE(readAll(answers("A-HH10203-4.ZIP.3DES")), QByteArray("Kopie"));
    QCOMPARE(QDir(answers()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

void TestArchiveDecryption::refusals()
{
    ArchiveDecryption answer(m_fx->services, Kind::Answer);
    ArchiveDecryption news(m_fx->services, Kind::News);
    QCOMPARE(answer.decrypt(data("Post/a-hh10203-9.zip.3des"), Order::PassPhraseFirst).outcome,
             Outcome::Missing);
    QCOMPARE(m_dialogs.shown.last().text,
             "Die angegeben Datei \"" + data("Post/a-hh10203-9.zip.3des") + "\" existiert nicht! [Abbruch]");
    QCOMPARE(answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order::PassPhraseFirst).outcome,
             Outcome::Unpacked);
    m_dialogs.expectQuestion(copyQuestion("A-HH10203-4.ZIP.3DES"), Answer::No);
    QCOMPARE(answer.decrypt(data("Post/A-HH10203-4.ZIP.3DES"), Order::PassPhraseFirst).outcome,
             Outcome::Declined);

    QVERIFY(makeWithStandardTools(data("Post/a-hh99999-4.zip.3des"), kContent, "x"));
    QCOMPARE(answer.decrypt(data("Post/a-hh99999-4.zip.3des"), Order::PassPhraseFirst).outcome,
             Outcome::NoRecord);
    QCOMPARE(m_dialogs.shown.last().text,
             QStringLiteral("Für die Registriernummer \"hh99999\" sind keine Stammdaten vorhanden, keine "
                            "Entschlüsselung möglich."));
    // News files are not tested for existence; their name rules come first.
    QCOMPARE(news.decrypt(data("Post/a-hh10203-4.zip.3des"), Order::CopyQuestionFirst).outcome,
             Outcome::BadName);

    // A missing directory: the chooser, cancelled.
    QVERIFY(QDir(answers()).removeRecursively());
    m_dialogs.expectChooseDirectory({});
    QCOMPARE(news.decrypt(data("Post/n-hh10203-x.zip.3des"), Order::CopyQuestionFirst).outcome,
             Outcome::NoDirectory);
    QCOMPARE(m_dialogs.shown.last().text,
             QStringLiteral("Bitte wählen Sie ein Ausgabepfad für die entschlüsselten Dateien aus."));
    QCOMPARE(m_dialogs.shown.last().kind, Dialogs::Kind::Information);
}

QTEST_GUILESS_MAIN(TestArchiveDecryption)
#include "tst_archivedecryption.moc"
