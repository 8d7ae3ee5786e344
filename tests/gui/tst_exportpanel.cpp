#include "app/Application.h"
#include "app/gui/SideBar.h"
#include "app/uMain.h"
#include "platform/gui/BusyDialog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "workareas/export/gui/ExportPanel.h"
#include "workareas/gui/PathLabel.h"
#include "workareas/gui/ShellFileView.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

using namespace tolvane;
using namespace tolvane::testutil;

// The export panel only mirrors the export area's logic; these check the wiring: the named
// controls, the path from a click to the logic and back, and the busy dialog of the library call.
class TestExportPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAndCaptions();
    void aWholeExportThroughTheControls();
    void busyDialogKeepsTheWindowAlive();

private:
    template <typename T> T* child(const char* name) const
    {
        T* w = m_main->pExport->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<Application> m_tolvane;
    TfrmMain* m_main = nullptr;
};

void TestExportPanel::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    QVERIFY(QDir(data()).mkpath("quelle"));
    QVERIFY(QDir(data()).mkpath("Export"));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .exportDir = data("Export/")}));
    QVERIFY(installPackingLibrary(m_app->path()));
    m_tolvane = std::make_unique<Application>(m_app->filePath("tolvane"), m_dialogs);
    m_main = &m_tolvane->frmMain();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    QTest::mouseClick(m_main->SBar->item(0), Qt::LeftButton);
}

void TestExportPanel::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    m_tolvane.reset();
}

void TestExportPanel::controlsAndCaptions()
{
    QCOMPARE(child<QPushButton>("bitbtnSearchExport")->text(), QStringLiteral("ändern"));
    QCOMPARE(child<QPushButton>("bitbtnGetTransaktion")->text(), QStringLiteral("Transaktionen auswählen"));
    QCOMPARE(child<QPushButton>("bitbtnGetTransaktion")->toolTip(),
             QStringLiteral("Wählen Sie hier die zu verschlüsselnden Exporte aus."));
    QCOMPARE(child<QPushButton>("bitbtnDelete")->text(), QStringLiteral("Datei aus Liste entfernen"));
    QCOMPARE(child<QPushButton>("bitbtnErzeugen")->text(), QStringLiteral(">> 3DES"));
    QCOMPARE(child<QPushButton>("bitbtnErzeugen")->toolTip(),
             QStringLiteral("Erzeugen der verschlüsselten Transaktionsdatei"));
    QCOMPARE(child<QPushButton>("bitbtnExpOpenDir")->text(), QStringLiteral("Pfad im Explorer öffnen"));
    QStringList labels;
    for (QLabel* l : m_main->pExport->findChildren<QLabel*>()) {
        if (l->objectName().isEmpty())
            labels << l->text();
    }
    labels.sort();
    QCOMPARE(labels, (QStringList{"   Exportquelle", "   Registriernummer", "Ablageverzeichnis",
                                  "Exportdateien", "Transaktionen", "Transaktionsdateien "}));
    // Everything fits the panel beside the side bar.
    for (QWidget* w : m_main->pExport->findChildren<QWidget*>()) {
        if (w->isVisibleTo(m_main))
            QVERIFY2(m_main->pExport->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
    QCOMPARE(child<QComboBox>("cboxExRegnr")->count(), 1);
    QVERIFY(!child<QComboBox>("cboxExRegnr")->isEditable());
}

void TestExportPanel::aWholeExportThroughTheControls()
{
    for (const char* name : {"Header.4", "Daten.4", "Header.5"})
        QVERIFY(writeAll(data("quelle/") + name, name));
    child<QComboBox>("cboxExRegnr")->setCurrentIndex(0);
    QCOMPARE(child<QLabel>("stZielPath")->text(), data("Export/"));
    QVERIFY(child<ShellFileView>("slExpAusgabe")->isVisible());
    QVERIFY(!child<QPushButton>("bitbtnExpOpenDir")->isEnabled());

    m_dialogs.expectOpenFiles({data("quelle/Header.5"), data("quelle/Header.4")});
    QTest::mouseClick(child<QPushButton>("bitbtnGetTransaktion"), Qt::LeftButton);
    auto* transactions = child<QListWidget>("lbExpTransaktionen");
    auto* files = child<QListWidget>("lbExpQuelle");
    QCOMPARE(transactions->count(), 2);
    QCOMPARE(transactions->item(1)->text(), QStringLiteral("hh10203 - Transaktion 5"));
    QCOMPARE(transactions->currentRow(), 0);
    QCOMPARE(files->count(), 2);
    QCOMPARE(child<QLabel>("stquellpath")->text(), data("quelle/"));
    QVERIFY(child<QPushButton>("bitbtnErzeugen")->isVisible());
    QVERIFY(child<QPushButton>("bitbtnDelete")->isEnabled());
    QVERIFY(child<QPushButton>("bitbtnSearchExport")->isEnabled());

    // Showing transaction 5 and removing its only file hides ">> 3DES".
    QTest::mouseClick(transactions->viewport(), Qt::LeftButton, {},
                      transactions->visualItemRect(transactions->item(1)).center());
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->item(0)->text(), QStringLiteral("Header.5"));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(0)).center());
    QTest::mouseClick(child<QPushButton>("bitbtnDelete"), Qt::LeftButton);
    QCOMPARE(files->count(), 0);
    QVERIFY(!child<QPushButton>("bitbtnErzeugen")->isVisible());

    m_dialogs.expectOpenFiles({data("quelle/Header.4")});
    QTest::mouseClick(child<QPushButton>("bitbtnGetTransaktion"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("bitbtnErzeugen"), Qt::LeftButton);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    QVERIFY(QFile::exists(data("Export/t-hh10203-4.zip.3des")));
    QCOMPARE(transactions->count(), 0);
    QVERIFY(!child<QPushButton>("bitbtnErzeugen")->isVisible());
    auto* view = child<ShellFileView>("slExpAusgabe");
    QTRY_COMPARE(view->names(), QStringList{"t-hh10203-4.zip.3des"});

    // A target directory that is not there: the message, and the focus on "ändern".
    m_dialogs.expectOpenFiles({data("quelle/Header.4")});
    QTest::mouseClick(child<QPushButton>("bitbtnGetTransaktion"), Qt::LeftButton);
    QVERIFY(QDir(data("Export")).removeRecursively());
    QTest::mouseClick(child<QPushButton>("bitbtnErzeugen"), Qt::LeftButton);
    QCOMPARE(m_dialogs.texts(),
             QStringList{"Bevor Sie Ihre Exportdateien verschlüsseln, geben Sie bitte einen "
                         "gültigen Ausgabepfad an."});
    QCOMPARE(m_main->focusWidget(), child<QPushButton>("bitbtnSearchExport"));

    // An error of a handler reaches the generic box, and the panel goes on.
    QVERIFY(writeAll(data("quelle/Header.txt"), "x"));
    m_dialogs.expectOpenFiles({data("quelle/Header.txt")});
    QTest::mouseClick(child<QPushButton>("bitbtnGetTransaktion"), Qt::LeftButton);
    QCOMPARE(m_dialogs.shown.last().caption, QStringLiteral("Tolvane - Datencrypter"));
    QCOMPARE(m_dialogs.shown.last().text, QStringLiteral("'txt' ist kein gültiger Integerwert."));
    QCOMPARE(transactions->count(), 0);
}

// The library call runs on a worker thread while an application-modal dialog shows what is
// written; the event loop goes on meanwhile, and its closing resets nothing.
void TestExportPanel::busyDialogKeepsTheWindowAlive()
{
    Qt::HANDLE worker = nullptr;
    int ticks = 0;
    QString shownFile;
    QString shownStep;
    bool modal = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
        ++ticks;
        if (auto* busy = qobject_cast<BusyDialog*>(QApplication::activeModalWidget())) {
            modal = busy->windowModality() == Qt::ApplicationModal;
            shownFile = busy->findChild<QLabel*>("stBusyFile")->text();
            shownStep = busy->findChild<QLabel*>("stBusyStep")->text();
        }
    });
    timer.start(20);
    auto* combo = child<QComboBox>("cboxExRegnr");
    combo->setCurrentIndex(0);
    BusyDialog::run({"t-hh10203-4.zip.3des", "Transaktion 2 von 5"}, true, [&worker] {
        worker = QThread::currentThreadId();
        QThread::msleep(400);
    });
    timer.stop();
    QVERIFY(worker != nullptr);
    QVERIFY(worker != QThread::currentThreadId());
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    QVERIFY(modal);
    QCOMPARE(shownFile, QStringLiteral("t-hh10203-4.zip.3des"));
    QCOMPARE(shownStep, QStringLiteral("Transaktion 2 von 5"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QTest::qWait(50);
    QCOMPARE(combo->currentIndex(), 0); // no reset of the work areas
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

QTEST_MAIN(TestExportPanel)
#include "tst_exportpanel.moc"
