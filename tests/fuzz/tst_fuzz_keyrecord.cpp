// Runs the fuzz corpus of the key-record reader through the fuzz target's own entry function, so
// every input it ever kept (and every finding added to it) stays checked by the normal build.
#include "fuzz/KeyRecordFuzz.h"
#include "support/TestUtil.h"

#include <QDir>
#include <QTest>

class TestFuzzKeyRecord : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void corpus_data();
    void corpus();
};

void TestFuzzKeyRecord::corpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(TOLVANE_FUZZ_CORPUS));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY2(names.size() >= 5, "the seed corpus is missing");
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestFuzzKeyRecord::corpus()
{
    QFETCH(QString, path);
    const QByteArray input = tolvane::testutil::readAll(path);
    QCOMPARE(tolvane::fuzz::keyRecordInput(reinterpret_cast<const uint8_t*>(input.constData()),
                                           size_t(input.size())),
             QString());
}

QTEST_GUILESS_MAIN(TestFuzzKeyRecord)
#include "tst_fuzz_keyrecord.moc"
