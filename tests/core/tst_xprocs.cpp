#include "common/Ansi.h"
#include "common/PassPhrase.h"
#include "common/xProcs.h"
#include "masterdata/StammText.h"

#include "support/TestUtil.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace tolvane;

class TestXProcs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fields_data();
    void fields();
    void textToInt_data();
    void textToInt();
    void asciiLowerOnlyTouchesAsciiLetters();
    void passPhraseBytes_data();
    void oleDates_data();
    void oleDates();
    void passPhraseBytes();
    void fileVersion();
};

void TestXProcs::fields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("field");
    QTest::newRow("answer name") << "a-hh10203-4.zip.3des" << 3 << 1 << "hh10203";
    QTest::newRow("last field") << "a-hh10203-4.zip.3des" << 3 << 2 << "4.zip.3des";
    QTest::newRow("empty between adjacent") << "a--x" << 3 << 1 << "";
    QTest::newRow("past the end") << "abc" << 1 << 1 << "";
    QTest::newRow("one separator") << "-" << 2 << 0 << "";
    QTest::newRow("empty text") << "" << 0 << 0 << "";
}

void TestXProcs::fields()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(QString, field);
    QCOMPARE(FieldCount(text, u'-'), count);
    QCOMPARE(ExtractField(text, u'-', index), field);
    QCOMPARE(ReplaceChar(QStringLiteral("INFO-12-2002"), u'-', QStringLiteral("__")), QStringLiteral("INFO__12__2002"));
}

void TestXProcs::textToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "4" << true << 4;
    QTest::newRow("leading blanks and sign") << "  -17" << true << -17;
    QTest::newRow("plus") << "+8" << true << 8;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("x hex") << "X10" << true << 16;
    QTest::newRow("0x hex") << "0xff" << true << 255;
    QTest::newRow("max") << "2147483647" << true << 2147483647;
    QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("hex overflow") << "$80000000" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("trailing blank") << "4 " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("hex prefix only") << "0x" << false << 0;
    QTest::newRow("letters") << "4a" << false << 0;
    QTest::newRow("two signs") << "--4" << false << 0;
    QTest::newRow("huge") << "99999999999999999999" << false << 0;
}

void TestXProcs::textToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto result = tolvane::textToInt(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestXProcs::asciiLowerOnlyTouchesAsciiLetters()
{
    QCOMPARE(asciiLower(QStringLiteral("HH10203.KEY ÄÖÜ")), QStringLiteral("hh10203.key ÄÖÜ"));
}

void TestXProcs::passPhraseBytes_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QByteArray>("bytes"); // hex; empty: refused
    QTest::newRow("ASCII") << "a b~!0" << QByteArray("6120627e2130");
    QTest::newRow("umlauts") << QStringLiteral("ÄÖÜäöüß") << QByteArray("c4d6dce4f6fcdf");
    QTest::newRow("0x80 to 0x9F") << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")
                                  << QByteArray("8082838485868788898a8b8c8e9192939495969798999a9b9c9e9f");
    QTest::newRow("no-break space and ÿ") << QStringLiteral("\u00A0ÿ") << QByteArray("a0ff");
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("outside Windows-1252") << QStringLiteral("abcā") << QByteArray();
    QTest::newRow("outside the BMP") << QStringLiteral("abc\U0001F600") << QByteArray();
    QTest::newRow("NUL") << QString::fromLatin1("abc\0def", 7) << QByteArray();
    QTest::newRow("unit separator") << "abc\x1f" << QByteArray();
    // Windows-1252 leaves 0x81 unassigned; the C1 control it maps to is still a control.
    QTest::newRow("C1 control of an unassigned byte") << QStringLiteral("abc\u0081") << QByteArray();
}

void TestXProcs::passPhraseBytes()
{
    QFETCH(QString, phrase);
    QFETCH(QByteArray, bytes);
    const PassPhraseBytes result = tolvane::passPhraseBytes(phrase);
    const bool refused = bytes.isEmpty() && !phrase.isEmpty();
    QCOMPARE(result.ok(), !refused);
    QCOMPARE(result.bytes.toHex(), bytes);
    QCOMPARE(result.error.startsWith(QStringLiteral("Die Passphrase enthält ")), refused);
    // The key record stores the same bytes.
    if (!refused)
        QCOMPARE(toWindows1252(phrase), result.bytes);
}

void TestXProcs::oleDates_data()
{
    QTest::addColumn<double>("ole");
    QTest::addColumn<QDateTime>("dateTime"); // invalid: no date
    QTest::newRow("no date") << 0.0 << QDateTime();
    QTest::newRow("afternoon") << 45000.75 << QDateTime(QDate(2023, 3, 15), QTime(18, 0));
    QTest::newRow("before the epoch") << -1.5 << QDateTime(QDate(1899, 12, 29), QTime(12, 0));
    QTest::newRow("first day") << -657434.0 << QDateTime(QDate(100, 1, 1), QTime(0, 0));
    QTest::newRow("last day") << 2958465.5 << QDateTime(QDate(9999, 12, 31), QTime(12, 0));
    // A damaged record holds any double: none of these is a date, and none may overflow.
    QTest::newRow("after the last day") << 2958466.0 << QDateTime();
    QTest::newRow("before the first day") << -657435.0 << QDateTime();
    QTest::newRow("huge") << 1e300 << QDateTime();
    QTest::newRow("huge negative") << -7.25185e74 << QDateTime();
    QTest::newRow("beyond 64-bit days") << 1e19 << QDateTime();
    QTest::newRow("NaN") << std::nan("") << QDateTime();
    QTest::newRow("infinity") << HUGE_VAL << QDateTime();
}

void TestXProcs::oleDates()
{
    QFETCH(double, ole);
    QFETCH(QDateTime, dateTime);
    QCOMPARE(oleDateToDateTime(ole), dateTime);
    if (dateTime.isValid())
        QCOMPARE(dateTimeToOleDate(dateTime), ole);
    else
        QCOMPARE(standText(ole), QStringLiteral("Stand: bisher keine Angaben"));
}

void TestXProcs::fileVersion()
{
    // This test links the core library and so carries the build's stamp.
    QCOMPARE(GetFileVersionString(QCoreApplication::applicationFilePath()), QStringLiteral(TOLVANE_VERSION));

    QTemporaryDir dir;
    QCOMPARE(GetFileVersionString(dir.filePath("fehlt")), QStringLiteral("?"));
    QVERIFY(testutil::writeAll(dir.filePath("ohne"), QByteArray(5000, 'x') + "$TolvaneFileVersion: kaputt$"));
    QCOMPARE(GetFileVersionString(dir.filePath("ohne")), QStringLiteral("?"));
    // A stamp that straddles the reader's 1 MiB chunks is still found.
    QByteArray big((1 << 20) - 10, '\0');
    // Put together at run time, or the test binary itself would carry this stamp.
    big += QByteArray("$Tolvane") + "FileVersion: 2.13.0.7$";
    QVERIFY(testutil::writeAll(dir.filePath("gross"), big));
    QCOMPARE(GetFileVersionString(dir.filePath("gross")), QStringLiteral("2.13.0.7"));
}

QTEST_GUILESS_MAIN(TestXProcs)
#include "tst_xprocs.moc"
