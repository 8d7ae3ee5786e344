#include "platform/FileSystem.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "workareas/answer/FileNameRules.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;

namespace {

const QString kA = QStringLiteral(" Richtig wäre z.B. \"a-hh10203-4.zip.3des\"");
const QString kN = QStringLiteral(" Richtig wäre z.B. \"n-hh10203-INFO_12_2002.zip.3des\"");

QString hyphens(const QString& kind, const QString& l, const QString& example)
{
    return "Die Anzahl der Feldtrenner (Bindestriche) im Namen der " + kind + " \"" + l + "\" stimmt nicht." +
           example;
}
QString convention(const QString& kind, const QString& l, const QString& example)
{
    return "Die Nameskonvention der " + kind + " \"" + l + "\" ist nicht korrekt." + example;
}
QString regNr(const QString& l, const QString& example)
{
    return "Die Registriernummer \"" + l + "\" ist nicht korrekt 7-Stellig angegeben." + example;
}
QString number(const QString& t)
{
    return "Die Transaktionsnummer \"" + t + "\" ist nicht nummerisch angegeben." + kA;
}
QString zip(const QString& shown, const QString& example)
{
    return "Der Zip-Teil der Dateiendung \"" + shown + "\" wurde nicht korrekt angegeben." + example;
}
QString des(const QString& shown, const QString& example)
{
    return "Der 3DES-Teil der Dateiendung \"" + shown + "\" wurde nicht korrekt angegeben." + example;
}

} // namespace

class TestFileNameRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void namesAndFolders();
};

// Each row: a name, the rule set, and the exact message of the first rule that fails (empty:
// the name passes).
void TestFileNameRules::rules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("news");
    QTest::addColumn<QString>("message");
    const QString A = QStringLiteral("Antwortdatei");
    const QString N = QStringLiteral("Newsdatei");
    auto row = [](const char* tag, const QString& name, bool news, const QString& message) {
        QTest::newRow(tag) << name << news << message;
    };
    row("answer", "a-hh10203-4.zip.3des", false, {});
    row("answer in capitals", "A-HH10203-4.ZIP.3DES", false, {});
    row("capital x lower-cased", "A-HH10203-X.ZIP.3DES", false, number("x"));
    row("empty name", "", false, hyphens(A, "", kA));
    row("three hyphens", "a-hh10203-4-1.zip.3des", false, hyphens(A, "a-hh10203-4-1.zip.3des", kA));
    row("one hyphen", "a-hh102034.zip.3des", false, hyphens(A, "a-hh102034.zip.3des", kA));
    row("wrong letter", "n-hh10203-4.zip.3des", false, convention(A, "n-hh10203-4.zip.3des", kA));
    row("empty registration number", "a--4.zip.3des", false, regNr("a--4.zip.3des", kA));
    row("six characters", "a-hh1020-4.zip.3des", false, regNr("a-hh1020-4.zip.3des", kA));
    row("umlaut counts as one character", "a-hä10203-4.zip.3des", false, {});
    row("umlaut kept, ASCII lowered", "A-HÄ10203-X.ZIP.3DES", false, number("x"));
    row("dot in the registration number", "a-hh.0203-4.zip.3des", false, {});
    row("empty transaction number", "a-hh10203-.zip.3des", false, number(""));
    row("sign", "a-hh10203-+4.zip.3des", false, {});
    row("leading blanks", "a-hh10203-  4.zip.3des", false, {});
    row("trailing blank", "a-hh10203-4 .zip.3des", false, number("4 "));
    row("dollar hex", "a-hh10203-$1F.zip.3des", false, {});
    row("0x hex", "a-hh10203-0x1f.zip.3des", false, {});
    row("letter after digit", "a-hh10203-4a.zip.3des", false, number("4a"));
    row("beyond 32 bits", "a-hh10203-2147483648.zip.3des", false, number("2147483648"));
    row("largest", "a-hh10203-2147483647.zip.3des", false, {});
    row("no zip", "a-hh10203-4.3des", false, zip("4.3des", kA));
    row("no 3des", "a-hh10203-4.zip", false, des("4.zip", kA));
    row("more dot fields", "a-hh10203-4.zip.3des.bak", false, {});

    row("news", "n-hh10203-INFO_12_2002.zip.3des", true, {});
    row("news empty description", "n-hh10203-.zip.3des", true, {});
    row("news more dot fields", "n-hh10203-x.zip.3des.bak", true, {});
    row("news hyphen in description", "n-hh10203-Info-12.zip.3des", true,
        hyphens(N, "n-hh10203-info-12.zip.3des", kN));
    row("news wrong letter", "a-hh10203-info.zip.3des", true, convention(N, "a-hh10203-info.zip.3des", kN));
    row("news registration number", "N-HH1020-INFO.ZIP.3DES", true, regNr("n-hh1020-info.zip.3des", kN));
    row("news dotted description", "n-hh10203-info.old.zip.3des", true,
        zip("n-hh10203-info.old.zip.3des", kN));
    row("news no 3des", "n-hh10203-info.zip.des", true, des("n-hh10203-info.zip.des", kN));
}

void TestFileNameRules::rules()
{
    QFETCH(QString, name);
    QFETCH(bool, news);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    const bool passed = news ? CheckNewsFileName(name, dialogs) : CheckAnswerFileName(name, dialogs);
    QCOMPARE(passed, message.isEmpty());
    QCOMPARE(dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(dialogs.shown.first().kind, Dialogs::Kind::Information);
        QCOMPARE(dialogs.shown.first().buttons, Dialogs::Buttons::Ok);
    }
}

void TestFileNameRules::namesAndFolders()
{
    QCOMPARE(regNrOfFileName("A-HH10203-4.ZIP.3DES"), QStringLiteral("hh10203"));
    QCOMPARE(newsFileName("hh10203", "Info-12-2002"), QStringLiteral("n-hh10203-Info_12_2002.zip.3des"));
    QCOMPARE(newsFileBaseName("hh10203", "Bericht Ä.v2"), QStringLiteral("n-hh10203-Bericht Ä.v2"));

    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    QCOMPARE(FreeFolderPath(d, "a-hh10203-4.zip.3des"), d + "v_a-hh10203-4.zip.3des");
    QVERIFY(QDir(d).mkdir("v_a-hh10203-4.zip.3des"));
    QVERIFY(QDir(d).mkdir("v_a-hh10203-4.zip.3des_2"));
    QCOMPARE(FreeFolderPath(d, "a-hh10203-4.zip.3des"), d + "v_a-hh10203-4.zip.3des_1");
    QVERIFY(QDir(d).mkdir("v_a-hh10203-4.zip.3des_1"));
    QCOMPARE(FreeFolderPath(d, "a-hh10203-4.zip.3des"), d + "v_a-hh10203-4.zip.3des_3");
    // Only folders count: a file of that name is no folder.
    QVERIFY(testutil::writeAll(d + "v_n-hh10203-x.zip.3des", "x"));
    QCOMPARE(FreeFolderPath(d, "n-hh10203-x.zip.3des"), d + "v_n-hh10203-x.zip.3des");
}

QTEST_GUILESS_MAIN(TestFileNameRules)
#include "tst_filenamerules.moc"
