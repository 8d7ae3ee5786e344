#include "platform/gui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tolvane;

namespace {

// Runs check on the next modal window once it is shown.
void onModal(std::function<void(QWidget*)> check)
{
    QTimer::singleShot(0, qApp, [check] {
        QWidget* modal = nullptr;
        QTRY_VERIFY((modal = QApplication::activeModalWidget()) != nullptr);
        check(modal);
    });
}

QStringList buttonTexts(QMessageBox* box)
{
    QStringList texts;
    for (QAbstractButton* b : box->buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

QAbstractButton* buttonNamed(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageBoxes_data();
    void messageBoxes();
    void genericErrorBox();
    void chooserCreatesTypedDirectoryAfterYes();
    void inputDialog();
};

void TestQtDialogs::messageBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("escapeAnswer");
    using K = Dialogs::Kind;
    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    QTest::newRow("information") << int(K::Information) << int(B::Ok) << "Informationen" << int(QMessageBox::Information)
                                 << QStringList{"OK"} << int(A::Ok);
    QTest::newRow("error") << int(K::Error) << int(B::Ok) << "Fehler" << int(QMessageBox::Critical)
                           << QStringList{"OK"} << int(A::Ok);
    QTest::newRow("warning") << int(K::Warning) << int(B::Ok) << "Warnung" << int(QMessageBox::Warning)
                             << QStringList{"OK"} << int(A::Ok);
    QTest::newRow("yes/no") << int(K::Confirmation) << int(B::YesNo) << "Bestätigung" << int(QMessageBox::Question)
                            << QStringList{"&Ja", "&Nein"} << int(A::No);
    QTest::newRow("yes/no/cancel") << int(K::Confirmation) << int(B::YesNoCancel) << "Bestätigung"
                                   << int(QMessageBox::Question) << QStringList{"&Ja", "&Nein", "Abbrechen"}
                                   << int(A::Cancel);
}

void TestQtDialogs::messageBoxes()
{
    QFETCH(int, kind);
    QFETCH(int, buttons);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    QFETCH(QStringList, texts);
    QFETCH(int, escapeAnswer);
    QtDialogs dialogs;

    // Escape first, then the first button (Yes where there is one) by Enter.
    for (const bool escape : {true, false}) {
        bool checked = false;
        onModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), caption);
            QCOMPARE(box->text(), QStringLiteral("Eine Frage?"));
            QCOMPARE(int(box->icon()), icon);
            QCOMPARE(buttonTexts(box), texts);
            checked = true;
            QTest::keyClick(box, escape ? Qt::Key_Escape : Qt::Key_Return);
        });
        const auto answer = dialogs.message(Dialogs::Kind(kind), QStringLiteral("Eine Frage?"), Dialogs::Buttons(buttons));
        QVERIFY(checked);
        if (escape)
            QCOMPARE(int(answer), escapeAnswer);
        else
            QCOMPARE(answer, texts.size() > 1 ? Dialogs::Answer::Yes : Dialogs::Answer::Ok);
    }
}

void TestQtDialogs::genericErrorBox()
{
    QtDialogs dialogs;
    QString seen;
    onModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tolvane - Datencrypter"));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(buttonTexts(box), QStringList{"OK"});
        seen = box->text();
        box->buttons().first()->click();
    });
    dialogs.genericError(QStringLiteral("Dateizugriff verweigert"));
    QCOMPARE(seen, QStringLiteral("Dateizugriff verweigert."));
}

// Typing a directory that does not exist asks first; No keeps the chooser open, Yes creates it
// with its parents and closes.
void TestQtDialogs::chooserCreatesTypedDirectoryAfterYes()
{
    QTemporaryDir dir;
    const QString wanted = QDir::toNativeSeparators(dir.path() + QStringLiteral("/neu/tiefer"));
    QtDialogs dialogs;
    int questions = 0;
    onModal([&](QWidget* w) {
        auto* chooser = qobject_cast<DirectoryChooser*>(w);
        QVERIFY(chooser);
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Verzeichnis auswählen"));
        QCOMPARE(chooser->directory().absolutePath(), dir.path());
        auto* edit = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(wanted);
        for (const QString answer : {"&Nein", "&Ja"}) {
            onModal([&, answer](QWidget* q) {
                auto* box = qobject_cast<QMessageBox*>(q);
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), QStringLiteral("Bestätigung"));
                QCOMPARE(box->text(),
                         QStringLiteral("Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?"));
                ++questions;
                buttonNamed(box, answer)->click();
            });
            chooser->accept();
            if (answer == u"&Nein") {
                QVERIFY(chooser->isVisible());
                QVERIFY(!QFileInfo::exists(wanted));
            }
        }
    });
    const QString chosen = dialogs.chooseDirectory(dir.path());
    QCOMPARE(questions, 2);
    QCOMPARE(chosen, wanted);
    QVERIFY(QFileInfo(wanted).isDir());

    // An existing directory is taken without a question; Abbrechen gives nothing.
    onModal([&](QWidget* w) {
        auto* chooser = qobject_cast<DirectoryChooser*>(w);
        QVERIFY(chooser);
        QCOMPARE(QDir::toNativeSeparators(chooser->directory().absolutePath()), wanted);
        chooser->accept();
    });
    QCOMPARE(dialogs.chooseDirectory(wanted), wanted);
    onModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(dialogs.chooseDirectory(wanted), QString());
    QCOMPARE(questions, 2);
}

void TestQtDialogs::inputDialog()
{
    QtDialogs dialogs;
    onModal([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QStringLiteral("Neue Registriernummer"));
        QStringList texts;
        for (auto* b : w->findChildren<QPushButton*>())
            texts << b->text();
        texts.sort();
        QCOMPARE(texts, (QStringList{"Abbrechen", "OK"}));
        auto* edit = w->findChild<QLineEdit*>();
        QVERIFY(edit);
        QCOMPARE(edit->text(), QString());
        QTest::keyClicks(edit, QStringLiteral("hh10205"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QCOMPARE(dialogs.inputText(QStringLiteral("Neue Registriernummer"), QStringLiteral("Nummer?"), QString()),
             std::optional<QString>(QStringLiteral("hh10205")));
    onModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(dialogs.inputText(QStringLiteral("Neue Registriernummer"), QStringLiteral("Nummer?"), QString()),
             std::nullopt);
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
