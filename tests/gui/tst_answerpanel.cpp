#include "app/Application.h"
#include "app/gui/SideBar.h"
#include "app/uMain.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "workareas/answer/gui/AnswerPanel.h"
#include "workareas/gui/PathLabel.h"
#include "workareas/gui/ShellFileView.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace tolvane;
using namespace tolvane::testutil;

// The answer panel only mirrors the answer area's logic; these check the wiring: the named
// controls, a run from a click and from a drop back to what the controls show, and the single-file
// run bringing the area to the front.
class TestAnswerPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAndCaptions();
    void aRunThroughTheControls();
    void droppedFiles();

private:
    template <typename T> T* child(const char* name) const
    {
        T* w = m_main->pAntwort->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    void make(const QString& name)
    {
        QVERIFY(makeWithStandardTools(data("Post/") + name,
                                      {{"Antwort.csv", name.toUtf8()}, {"Bericht.txt", "B"}}, "geheim-123"));
    }
    // Drags the files over the panel and drops them; whether the panel took them.
    bool drop(const QList<QUrl>& urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QWidget* target = m_main->pAntwort;
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<Application> m_tolvane;
    TfrmMain* m_main = nullptr;
};

void TestAnswerPanel::init()
{
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    QVERIFY(QDir(data()).mkpath("Post"));
    QVERIFY(QDir(data()).mkpath("Antwort"));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .answerDir = data("Antwort/")}));
    QVERIFY(installPackingLibrary(m_app->path()));
    m_tolvane = std::make_unique<Application>(m_app->filePath("tolvane"), m_dialogs);
    m_main = &m_tolvane->frmMain();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    QTest::mouseClick(m_main->SBar->item(1), Qt::LeftButton);
}

void TestAnswerPanel::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
    m_tolvane.reset();
}

void TestAnswerPanel::controlsAndCaptions()
{
    QCOMPARE(child<QPushButton>("bitbtnSearchAntwort")->text(), QStringLiteral(" Antwortdateien auswählen"));
    QCOMPARE(child<QPushButton>("bitbtnAntOpenExplorer")->text(), QStringLiteral("Pfad im Explorer öffnen"));
    QStringList labels;
    for (QLabel* l : m_main->pAntwort->findChildren<QLabel*>()) {
        if (l->objectName().isEmpty())
            labels << l->text();
    }
    labels.sort();
    QCOMPARE(labels, (QStringList{"Ablageverzeichnis", "Antwortdateien", "Unterverzeichnis"}));
    // The result display lies on pAntAusgabePfad.
    auto* output = child<QWidget>("pAntAusgabePfad");
    for (const char* name :
         {"lbAntFiles", "stAntAusgabePfad", "stAntUnterPfad", "slAntAusgabePfad", "bitbtnAntOpenExplorer"})
        QVERIFY2(output->isAncestorOf(child<QWidget>(name)), name);
    QCOMPARE(child<ShellFileView>("slAntAusgabePfad")->columnTitles(),
             (QStringList{"Name", "Größe", "Geändert am"}));
    // The state of a reset.
    QVERIFY(output->isVisible());
    QVERIFY(child<ShellFileView>("slAntAusgabePfad")->isHidden());
    QVERIFY(child<QPushButton>("bitbtnAntOpenExplorer")->isHidden());
}

void TestAnswerPanel::aRunThroughTheControls()
{
    for (const char* name : {"a-hh10203-1.zip.3des", "a-hh10203-2.zip.3des", "A-HH10203-3.ZIP.3DES"})
        make(name);
    m_dialogs.expectOpenFiles({data("Post/a-hh10203-1.zip.3des"), data("Post/a-hh10203-2.zip.3des"),
                               data("Post/A-HH10203-3.ZIP.3DES")});
    QTest::mouseClick(child<QPushButton>("bitbtnSearchAntwort"), Qt::LeftButton);
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    auto* files = child<QListWidget>("lbAntFiles");
    auto* view = child<ShellFileView>("slAntAusgabePfad");
    QCOMPARE(files->count(), 3);
    QCOMPARE(files->item(2)->text(), QStringLiteral("A-HH10203-3.ZIP.3DES"));
    QCOMPARE(files->currentRow(), 2);
    QCOMPARE(child<PathLabel>("stAntAusgabePfad")->text(), data("Antwort/"));
    QCOMPARE(child<PathLabel>("stAntUnterPfad")->text(), QStringLiteral("v_A-HH10203-3.ZIP.3DES"));
    QVERIFY(view->isVisible());
    QVERIFY(child<QPushButton>("bitbtnAntOpenExplorer")->isVisible());
    QCOMPARE(view->root(), data("Antwort/v_A-HH10203-3.ZIP.3DES"));
    QTRY_COMPARE(view->names(), (QStringList{"Antwort.csv", "Bericht.txt"}));

    // A click on the first line shows its folder.
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(0)).center());
    QCOMPARE(view->root(), data("Antwort/v_a-hh10203-1.zip.3des"));
    QCOMPARE(child<PathLabel>("stAntUnterPfad")->text(), QStringLiteral("v_a-hh10203-1.zip.3des"));

    // The side bar resets the area.
    QTest::mouseClick(m_main->SBar->item(1), Qt::LeftButton);
    QCOMPARE(files->count(), 0);
    QCOMPARE(child<PathLabel>("stAntUnterPfad")->text(), QString());
    QVERIFY(view->isHidden());

    // A run from the command line brings the area to the front.
    QTest::mouseClick(m_main->SBar->item(0), Qt::LeftButton);
    QVERIFY(!m_main->pAntwort->isVisible());
    m_dialogs.expectQuestion(
        "Die Datei \"a-hh10203-1.zip.3des existiert bereits, soll diese überschrieben werden?",
        Dialogs::Answer::Yes);
    auto* panel = qobject_cast<AnswerPanel*>(m_main->pAntwort);
    QVERIFY(panel->area().DecryptAnswerFile(data("Post/a-hh10203-1.zip.3des"), false));
    QVERIFY(m_main->pAntwort->isVisible());
    QVERIFY(!m_main->pExport->isVisible());
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->currentRow(), -1);
    QCOMPARE(child<PathLabel>("stAntUnterPfad")->text(),
             QStringLiteral("v_a-hh10203-1.zip.3des_1") + QDir::separator());
    QCOMPARE(view->root(), data("Antwort/v_a-hh10203-1.zip.3des_1"));
}

void TestAnswerPanel::droppedFiles()
{
    make("a-hh10203-1.zip.3des");
    make("a-hh10203-2.zip.3des");
    // A folder or a web address among the files: the drag is refused as a whole.
    QVERIFY(
        !drop({QUrl::fromLocalFile(data("Post/a-hh10203-1.zip.3des")), QUrl::fromLocalFile(data("Post"))}));
    QVERIFY(!drop({QUrl("https://example.org/a-hh10203-1.zip.3des")}));

    QVERIFY(drop({QUrl::fromLocalFile(data("Post/a-hh10203-2.zip.3des")),
                  QUrl::fromLocalFile(data("Post/a-hh10203-1.zip.3des"))}));
    auto* files = child<QListWidget>("lbAntFiles");
    QTRY_COMPARE(files->count(), 2);
    QCOMPARE(files->item(0)->text(), QStringLiteral("a-hh10203-2.zip.3des"));
    QCOMPARE(files->currentRow(), 1);
    QCOMPARE(child<ShellFileView>("slAntAusgabePfad")->root(), data("Antwort/v_a-hh10203-1.zip.3des"));
    QVERIFY(m_dialogs.requests.isEmpty());
}

QTEST_MAIN(TestAnswerPanel)
#include "tst_answerpanel.moc"
