#include "masterdata/uCast.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;
using namespace tolvane::testutil;

// Known answers come from tests/data/make-keyfile-fixtures.sh, which builds them with the
// openssl command-line tool, independently of this code.
class TestUCast : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void knownAnswers_data();
    void knownAnswers();
    void emptyFile();
    void encryptionIsDeterministicAndReplacesDest();
    void missingSourceCreatesNoDest();
    void uncreatableDest();
};

void TestUCast::knownAnswers_data()
{
    QTest::addColumn<QString>("plainFile");
    QTest::addColumn<QString>("cipherFile");
    // 8192 + 3 bytes: one full chunk, then a partial block chained on its last block.
    QTest::newRow("8195 bytes") << "cast-8195.plain" << "cast-8195.cipher";
    // Below one block: XOR with E(IV), so both directions are the same operation.
    QTest::newRow("5 bytes") << "cast-5.plain" << "cast-5.cipher";
}

void TestUCast::knownAnswers()
{
    QFETCH(QString, plainFile);
    QFETCH(QString, cipherFile);
    const QByteArray plain = readAll(dataFile(plainFile));
    const QByteArray cipher = readAll(dataFile(cipherFile));
    QVERIFY(!plain.isEmpty());
    QCOMPARE(cipher.size(), plain.size());

    TCast cast;
    QCOMPARE(cast.encrypt(plain), cipher);
    QCOMPARE(cast.decrypt(cipher), plain);

    // The file operations run the same code through the 8192-byte buffer.
    QTemporaryDir dir;
    QString error;
    const QString enc = dir.filePath("enc");
    cast.EncryptFile(dataFile(plainFile), enc, error);
    QCOMPARE(error, QString());
    QCOMPARE(readAll(enc), cipher);
    const QString dec = dir.filePath("dec");
    cast.DecryptFile(enc, dec, error);
    QCOMPARE(error, QString());
    QCOMPARE(readAll(dec), plain);
    if (plain.size() < 8)
        QCOMPARE(cast.decrypt(plain), cipher);
}

void TestUCast::emptyFile()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("empty");
    QVERIFY(writeAll(src, {}));
    TCast cast;
    QString error = QStringLiteral("x");
    cast.EncryptFile(src, dir.filePath("out"), error);
    QCOMPARE(error, QString());
    QVERIFY(QFile::exists(dir.filePath("out")));
    QCOMPARE(QFileInfo(dir.filePath("out")).size(), 0);
}

void TestUCast::encryptionIsDeterministicAndReplacesDest()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("rec");
    QByteArray record(4752, '\0');
    for (int i = 0; i < record.size(); ++i)
        record[i] = char(i * 13);
    QVERIFY(writeAll(src, record));
    const QString dest = dir.filePath("rec.key");
    QVERIFY(writeAll(dest, QByteArray(10000, 'x')));
    TCast cast;
    QString error;
    cast.EncryptFile(src, dest, error);
    QCOMPARE(error, QString());
    const QByteArray first = readAll(dest);
    QCOMPARE(first.size(), 4752);
    cast.EncryptFile(src, dest, error);
    QCOMPARE(readAll(dest), first);
    QCOMPARE(cast.decrypt(first), record);
}

void TestUCast::missingSourceCreatesNoDest()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("missing.key");
    const QString dest = dir.filePath("out");
    TCast cast;
    QString error;
    cast.DecryptFile(src, dest, error);
    QCOMPARE(error, QStringLiteral("Datei ") + QDir::toNativeSeparators(src)
                        + QStringLiteral(" kann nicht geöffnet werden. Das System kann die angegebene Datei nicht finden."));
    QVERIFY(!QFile::exists(dest));
}

void TestUCast::uncreatableDest()
{
    QTemporaryDir dir;
    const QString src = dir.filePath("src");
    QVERIFY(writeAll(src, "12345678"));
    const QString dest = dir.filePath("no/such/dir/out");
    TCast cast;
    QString error;
    cast.EncryptFile(src, dest, error);
    QVERIFY2(error.startsWith(QStringLiteral("Datei \"") + QDir::toNativeSeparators(dest)
                              + QStringLiteral("\" kann nicht erstellt werden. ")),
             qPrintable(error));
    QVERIFY(error.size() > QStringLiteral("Datei \"\" kann nicht erstellt werden. ").size() + dest.size());
}

QTEST_GUILESS_MAIN(TestUCast)
#include "tst_ucast.moc"
