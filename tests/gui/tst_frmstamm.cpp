#include "masterdata/gui/uStamm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tolvane;

class TestFrmStamm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsCarryTheirTexts_data();
    void controlsCarryTheirTexts();
    void windowFollowsTheStates();
    void typingAndClosing();
    void newThroughTheButton();

private:
    void writeKey(const QString& regNr, const QString& desKey, bool issued = false)
    {
        QVERIFY(testutil::writeKeyFile(m_dir->path(), regNr, {.desKey = desKey, .issued = issued}));
    }
    template <typename T> T* child(const char* name)
    {
        T* w = m_window->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    // Which of the state-dependent controls are enabled, as one text.
    QString enabledControls()
    {
        QStringList on;
        for (const char* name : {"bitbtnspeichern", "bitbtnabbrechen", "bitbtnNeu", "cxbtnImport", "cxbtnexport",
                                 "bitBtnSearchRoot", "bitbtnVVorschlag", "bitbtnVErzeugen", "bitbtnSearchExport",
                                 "bitbtnAntwort", "bitbtnSearchNews", "lbRegNr", "edDesKey", "edVRootDir",
                                 "edVExport", "edVAntwort", "edVNews"}) {
            if (child<QWidget>(name)->isEnabled())
                on << QString::fromLatin1(name);
        }
        return on.join(u' ');
    }
    void doubleClickRow(int row)
    {
        auto* list = child<QListWidget>("lbRegNr");
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<MasterDataStore> m_store;
    std::unique_ptr<TfrmStamm> m_window;
};

void TestFrmStamm::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    writeKey("hh10203", "geheim-123");
    writeKey("vq00001", "VQZ-PASSPHRASE", true);
    m_window.reset();
    m_store = std::make_unique<MasterDataStore>(m_dir->filePath("tolvane"), m_dialogs);
    m_window = std::make_unique<TfrmStamm>(*m_store, m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestFrmStamm::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    m_window.reset();
}

void TestFrmStamm::controlsCarryTheirTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("list") << "lbRegNr" << ""
                          << "Hinweise: rechte Maustaste für PopUp-Menü - Keydaten bearbeiten per Doppelklick";
    QTest::newRow("header") << "stRegNr" << " hh10203" << "";
    QTest::newRow("vqz") << "stVQZ" << "  VQZ - KEYDATEI" << "";
    QTest::newRow("stand") << "stStandAllg" << "Stand: bisher keine Angaben" << "";
    QTest::newRow("pass phrase") << "edDesKey" << "geheim-123" << "";
    QTest::newRow("export dir") << "edVExport" << ""
                                << "In diesem Verzeichnis werden die verschlüsselten Transaktionsdateien sowie ein "
                                   "Ordner für die Ablage der unverschlüsselten Exportdateien erstellt";
    QTest::newRow("answer dir") << "edVAntwort" << ""
                                << "In diesem Verzeichnis wird ein Ordner mit den entschschlüsselten Dateien der "
                                   "Rückmeldung angelegt";
    QTest::newRow("news dir") << "edVNews" << ""
                              << "Dieses Verzeichnis archiviert die empfangenen und gesendeten Newsdateien";
    for (const char* name : {"bitBtnSearchRoot", "bitbtnSearchExport", "bitbtnAntwort", "bitbtnSearchNews"})
        QTest::newRow(name) << name << "Durchsuchen" << "";
    QTest::newRow("propose") << "bitbtnVVorschlag" << "*Unterordner vorschlagen" << "";
    QTest::newRow("create") << "bitbtnVErzeugen" << "Unterordner erzeugen" << "";
    QTest::newRow("new") << "bitbtnNeu" << "&Neu" << "";
    QTest::newRow("import") << "cxbtnImport" << "&Importieren" << "";
    QTest::newRow("export") << "cxbtnexport" << "&Exportieren" << "";
    QTest::newRow("save") << "bitbtnspeichern" << "&Speichern" << "";
    QTest::newRow("cancel") << "bitbtnabbrechen" << "&Abbrechen" << "";
}

void TestFrmStamm::controlsCarryTheirTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QWidget* w = m_window->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    if (!text.isEmpty() || w->property("text").isValid())
        QCOMPARE(w->property("text").toString(), text);
    QCOMPARE(w->toolTip(), hint);
    if (name == u"edVExport") {
        QCOMPARE(m_window->windowTitle(), QStringLiteral(" KEY - Eigenschaften"));
        QVERIFY(m_window->isModal());
        QVERIFY(child<QPushButton>("bitbtnspeichern")->isDefault());
        QCOMPARE(child<QLineEdit>("edDesKey")->maxLength(), 24);
        QStringList groups;
        for (auto* g : m_window->findChildren<QGroupBox*>())
            groups << g->title();
        QCOMPARE(groups, (QStringList{"Geheimes Passwort (Passphrase) zur Verschlüsselung der Daten",
                                      "Root-Ablageverzeichnis", "für Ihren &Datenexport",
                                      "für die &Import-Rückmeldungen der datenentgegennehmenden Stelle",
                                      "für beliebigen Datei-Transfer durch NEWS-Datei"}));
        QStringList menu;
        for (QAction* a : child<QMenu>("popmStamm")->actions())
            menu << a->text();
        QCOMPARE(menu, (QStringList{"Bearbeiten", "Importieren", "Exportieren", "Löschen"}));
        QVERIFY(child<QLineEdit>("edVRootDir")->toolTip().startsWith("Übergeordnetes Arbeitsverzeichnis. "));
        QVERIFY(!child<QLabel>("stVQZ")->isVisible());
    }
}

void TestFrmStamm::windowFollowsTheStates()
{
    const QString browse = QStringLiteral("bitbtnNeu cxbtnImport cxbtnexport lbRegNr");
    const QString edit = QStringLiteral("bitbtnspeichern bitbtnabbrechen bitBtnSearchRoot bitbtnVVorschlag "
                                        "bitbtnVErzeugen bitbtnSearchExport bitbtnAntwort bitbtnSearchNews edDesKey "
                                        "edVRootDir edVExport edVAntwort edVNews");
    QCOMPARE(enabledControls(), browse);
    auto* list = child<QListWidget>("lbRegNr");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 0);

    // A click shows the record, a double click edits it.
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(child<QLabel>("stRegNr")->text(), QStringLiteral(" vq00001"));
    QVERIFY(child<QLabel>("stVQZ")->isVisible());
    QCOMPARE(child<QLineEdit>("edDesKey")->text(), QStringLiteral("VQZ-PASSPHRASE"));
    doubleClickRow(1);
    QCOMPARE(enabledControls(), QString(edit).remove(QStringLiteral(" edDesKey")));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>("edVRootDir"));

    QTest::mouseClick(child<QPushButton>("bitbtnabbrechen"), Qt::LeftButton);
    QCOMPARE(enabledControls(), browse);
    doubleClickRow(0);
    QCOMPARE(child<QLabel>("stRegNr")->text(), QStringLiteral(" hh10203"));
    QVERIFY(!child<QLabel>("stVQZ")->isVisible());
    QCOMPARE(enabledControls(), edit);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>("edDesKey"));
    QTest::mouseClick(child<QPushButton>("bitbtnspeichern"), Qt::LeftButton);
    QCOMPARE(enabledControls(), browse);
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestFrmStamm::typingAndClosing()
{
    doubleClickRow(0);
    auto* desKey = child<QLineEdit>("edDesKey");
    QTest::keyClicks(desKey, QStringLiteral("-neu"));
    QVERIFY(m_window->keys().FModified);
    QVERIFY(m_window->keys().FEditKey.KeyChanged());
    QVERIFY(!m_window->keys().FEditDirs.DirsChanged());
    QTest::keyClicks(child<QLineEdit>("edVNews"), QStringLiteral("x"));
    QVERIFY(m_window->keys().FEditDirs.DirsChanged());
    QTest::keyClick(child<QLineEdit>("edVNews"), Qt::Key_Backspace);

    // Escape asks; Abbrechen keeps the window open with what was typed.
    m_dialogs.expectQuestion(QStringLiteral("Wollen Sie die Änderungen speichern?"), Dialogs::Answer::Cancel);
    QTest::keyClick(desKey, Qt::Key_Escape);
    QVERIFY(m_window->isVisible());
    QCOMPARE(desKey->text(), QStringLiteral("geheim-123-neu"));

    // Enter saves through the default button.
    QTest::keyClick(desKey, Qt::Key_Return);
    QCOMPARE(m_window->store().record(0).FKey.DesKey(), QStringLiteral("geheim-123-neu"));
    QCOMPARE(enabledControls(), QStringLiteral("bitbtnNeu cxbtnImport cxbtnexport lbRegNr"));
    m_window->close();
    QVERIFY(!m_window->isVisible());
}

void TestFrmStamm::newThroughTheButton()
{
    m_dialogs.expectQuestion(
        QStringLiteral("Hinweis: Wenn die VQZ Ihre datenentgegennehmende Stelle ist, erhalten Sie die Keydatei als "
                       "registrierter Kunde per Email. Wollen Sie fortfahren?"),
        Dialogs::Answer::Yes);
    m_dialogs.expectInput(QStringLiteral("ab12345"));
    QTest::mouseClick(child<QPushButton>("bitbtnNeu"), Qt::LeftButton);
    auto* list = child<QListWidget>("lbRegNr");
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    QCOMPARE(entries, (QStringList{"ab12345", "hh10203", "vq00001"}));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(child<QLabel>("stRegNr")->text(), QStringLiteral(" ab12345"));
    QCOMPARE(child<QLabel>("stStandAllg")->text(), QStringLiteral("Stand: bisher keine Angaben"));
    QVERIFY(child<QLineEdit>("edDesKey")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child<QWidget>("edDesKey"));
}

QTEST_MAIN(TestFrmStamm)
#include "tst_frmstamm.moc"
