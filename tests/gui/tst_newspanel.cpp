#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "support/WorkAreaFixture.h"
#include "workareas/gui/PathLabel.h"
#include "workareas/news/gui/NewsPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace tolvane;
using namespace tolvane::testutil;

// The news panel only mirrors the news area's logic; these check the wiring: the named controls
// and their texts, the way from a click or a drop to the logic and back, and that all of it fits.
class TestNewsPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAndCaptions();
    void createAndDecryptThroughTheControls();
    void droppedFiles();

private:
    template <typename T> T* child(const char* name) const
    {
        T* w = m_panel->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QGroupBox* group(const QString& title) const
    {
        for (QGroupBox* g : m_panel->findChildren<QGroupBox*>()) {
            if (g->title() == title)
                return g;
        }
        qFatal("no group %s", qPrintable(title));
    }
    QString data(const QString& name = {}) const { return m_data->path() + u'/' + name; }
    // Drags the files onto target and drops them; whether the drag was taken.
    bool drop(QWidget* target, const QStringList& files)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& f : files)
            urls << QUrl::fromLocalFile(f);
        mime.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_data;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<WorkAreaFixture> m_fixture;
    std::unique_ptr<NewsPanel> m_panel;
};

void TestNewsPanel::init()
{
    m_panel.reset();
    m_fixture.reset();
    m_app = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    for (const char* dir : {"quelle", "News", "Post"})
        QVERIFY(QDir(data()).mkpath(dir));
    QVERIFY(writeKeyFile(m_app->path(), "hh10203", {.desKey = "geheim-123", .newsDir = data("News/")}));
    QVERIFY(installPackingLibrary(m_app->path()));
    QVERIFY(writeAll(data("quelle/Bericht.txt"), "Bericht\n"));
    QVERIFY(writeAll(data("quelle/Daten.csv"), "a;b\n"));
    m_fixture = std::make_unique<WorkAreaFixture>(m_app->path(), m_dialogs);
    m_panel = std::make_unique<NewsPanel>(m_fixture->services);
    // The size of the panel beside the side bar of the main window.
    m_panel->setFixedSize(535, 421);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    m_panel->resetArea();
    m_panel->fillRegNrList({"hh10203"});
}

void TestNewsPanel::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    QVERIFY2(m_dialogs.failures.isEmpty(), qPrintable(m_dialogs.failures.join(u'\n')));
    m_panel.reset();
}

void TestNewsPanel::controlsAndCaptions()
{
    QCOMPARE(child<QPushButton>("bitbtnNwsGetFiles")->text(), QStringLiteral("Dateien hinzufügen"));
    QCOMPARE(child<QPushButton>("bitbtn")->text(), QStringLiteral("Datei aus Liste entfernen"));
    QCOMPARE(child<QPushButton>("bitbtnNwsErzeugen")->text(), QStringLiteral("Newsdatei erzeugen"));
    QCOMPARE(child<QPushButton>("bitbtnNwsEntschluesseln")->text(),
             QStringLiteral("Newsdatei entschlüsseln"));
    QCOMPARE(child<QCheckBox>("ckboxOpenExplorer")->text(),
             QStringLiteral("Entschlüsselte Dateien im Explorer öffnen"));
    QVERIFY(child<QCheckBox>("ckboxOpenExplorer")->isChecked());
    QCOMPARE(child<QLineEdit>("edNewsBezeichnung")->toolTip(),
             QStringLiteral("Hier muß eine beschreibende Bezeichnung für die Newsdatei eingetragen werden"));
    QVERIFY(!child<QComboBox>("cboxNwRegNr")->isEditable());
    QVERIFY(child<QPushButton>("bitbtnNwsErzeugen")->isEnabled());
    QVERIFY(child<PathLabel>("stNewsAusgabePfad"));
    QVERIFY(child<PathLabel>("stNwsAusgabepfad"));
    QVERIFY(child<QListWidget>("lbNwsSourceFiles"));

    QStringList labels;
    for (QLabel* l : m_panel->findChildren<QLabel*>()) {
        if (l->objectName().isEmpty())
            labels << l->text();
    }
    labels.sort();
    QCOMPARE(labels, (QStringList{"Ablagepfad:", "Ablagepfad:", "Dateibebeschreibung:", "RegistrierNr."}));
    QGroupBox* creation = group("Newsdatei erzeugen");
    QGroupBox* decryption = group("Newsdatei entschlüsseln");
    QCOMPARE(child<QLineEdit>("edNewsBezeichnung")->parentWidget(), creation);
    QCOMPARE(child<QCheckBox>("ckboxOpenExplorer")->parentWidget(), decryption);

    // Everything lies inside the panel and inside its group, and no caption is cut.
    for (QWidget* w : m_panel->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(m_panel.get()) || w->isWindow())
            continue;
        const QRect inPanel(w->mapTo(m_panel.get(), QPoint(0, 0)), w->size());
        QVERIFY2(m_panel->rect().contains(inPanel), qPrintable(w->objectName()));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
        if (qobject_cast<QAbstractButton*>(w) || (qobject_cast<QLabel*>(w) && !qobject_cast<PathLabel*>(w)))
            QVERIFY2(w->width() >= w->sizeHint().width(),
                     qPrintable(w->objectName() + w->property("text").toString()));
    }
    QVERIFY(!creation->geometry().intersects(decryption->geometry()));
}

void TestNewsPanel::createAndDecryptThroughTheControls()
{
    auto* combo = child<QComboBox>("cboxNwRegNr");
    auto* sources = child<QListWidget>("lbNwsSourceFiles");
    auto* description = child<QLineEdit>("edNewsBezeichnung");
    combo->setCurrentIndex(0);
    QCOMPARE(child<QLabel>("stNewsAusgabePfad")->text(), data("News/"));

    QTest::mouseClick(child<QPushButton>("bitbtnNwsErzeugen"), Qt::LeftButton);
    QCOMPARE(m_dialogs.texts(), QStringList{"Bitte wählen Sie zunächst zu verschlüsselnde Dateien aus."});
    QCOMPARE(m_panel->focusWidget(), child<QPushButton>("bitbtnNwsGetFiles"));

    m_dialogs.expectOpenFiles({data("quelle/Daten.csv"), data("quelle/Bericht.txt")});
    QTest::mouseClick(child<QPushButton>("bitbtnNwsGetFiles"), Qt::LeftButton);
    QCOMPARE(sources->count(), 2);
    QCOMPARE(sources->item(1)->text(), data("quelle/Bericht.txt"));
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {},
                      sources->visualItemRect(sources->item(0)).center());
    QTest::mouseClick(child<QPushButton>("bitbtn"), Qt::LeftButton);
    QCOMPARE(sources->count(), 1);

    QTest::mouseClick(child<QPushButton>("bitbtnNwsErzeugen"), Qt::LeftButton);
    QCOMPARE(m_dialogs.texts().last(), QStringLiteral("Bitte geben Sie eine Dateibezeichnung an."));
    QCOMPARE(m_panel->focusWidget(), description);
    QTest::keyClicks(description, "Info-1");
    QCOMPARE(m_panel->area().description(), QStringLiteral("Info-1"));
    QTest::mouseClick(child<QPushButton>("bitbtnNwsErzeugen"), Qt::LeftButton);
    const QString file = data("News/n-hh10203-Info_1.zip.3des");
    QCOMPARE(m_dialogs.texts().last(), "Newsdatei \"" + file + "\" wurde erfolgreich erstellt.");
    QCOMPARE(openWithStandardTools(file, "geheim-123").keys(), QStringList{"Bericht.txt"});
    QCOMPARE(sources->count(), 0);
    QCOMPARE(description->text(), QString());
    QCOMPARE(m_fixture->explored, QStringList{data("News/")});

    // Unticked, the output folder is shown but not opened.
    QTest::mouseClick(child<QCheckBox>("ckboxOpenExplorer"), Qt::LeftButton);
    QVERIFY(!m_panel->area().openExplorer());
    m_dialogs.expectOpenFiles({file});
    QTest::mouseClick(child<QPushButton>("bitbtnNwsEntschluesseln"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("stNwsAusgabepfad")->text(), data("News/v_n-hh10203-Info_1.zip.3des_1"));
    QCOMPARE(filesBelow(data("News/v_n-hh10203-Info_1.zip.3des_1")).keys(), QStringList{"Bericht.txt"});
    QCOMPARE(m_fixture->explored.size(), 1);

    // Choosing the area starts over; the shared reset refills the list.
    m_panel->enterArea();
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(child<QLabel>("stNewsAusgabePfad")->text(), QString());
    QCOMPARE(child<QLabel>("stNwsAusgabepfad")->text(), QString());
    QVERIFY(!child<QCheckBox>("ckboxOpenExplorer")->isChecked());
    m_panel->resetArea();
    QCOMPARE(combo->count(), 0);
    m_panel->fillRegNrList({"hh10203"});
    QCOMPARE(combo->count(), 1);
}

void TestNewsPanel::droppedFiles()
{
    QGroupBox* creation = group("Newsdatei erzeugen");
    QGroupBox* decryption = group("Newsdatei entschlüsseln");
    // Without a registration number the drop is refused as "Dateien hinzufügen" refuses it.
    QVERIFY(drop(creation, {data("quelle/Bericht.txt")}));
    QTRY_COMPARE(m_dialogs.shown.size(), 1);
    QVERIFY(m_dialogs.shown.first().text.startsWith("Bitte wählen Sie die Registriernummer"));
    QCOMPARE(child<QListWidget>("lbNwsSourceFiles")->count(), 0);

    // Dropped on the description, the files go to the list, not into the text.
    child<QComboBox>("cboxNwRegNr")->setCurrentIndex(0);
    QVERIFY(!drop(creation, {data("quelle")}));
    QVERIFY(drop(child<QLineEdit>("edNewsBezeichnung"),
                 {data("quelle"), data("quelle/Bericht.txt"), data("quelle/Daten.csv")}));
    QTRY_COMPARE(child<QListWidget>("lbNwsSourceFiles")->count(), 2);
    QCOMPARE(child<QListWidget>("lbNwsSourceFiles")->item(1)->text(), data("quelle/Daten.csv"));
    QCOMPARE(child<QLineEdit>("edNewsBezeichnung")->text(), QString());

    // News files dropped on "Newsdatei entschlüsseln" are decrypted.
    QVERIFY(makeWithStandardTools(data("Post/n-hh10203-Info.zip.3des"), {{"a.txt", "a"}}, "geheim-123"));
    QVERIFY(!drop(decryption, {data("quelle/Bericht.txt")}));
    QVERIFY(drop(child<QCheckBox>("ckboxOpenExplorer"),
                 {data("quelle/Bericht.txt"), data("Post/n-hh10203-Info.zip.3des")}));
    QTRY_COMPARE(child<QLabel>("stNwsAusgabepfad")->text(), data("News/v_n-hh10203-Info.zip.3des"));
    QCOMPARE(filesBelow(data("News/v_n-hh10203-Info.zip.3des")), (QMap<QString, QByteArray>{{"a.txt", "a"}}));
    QCOMPARE(m_fixture->explored, QStringList{data("News/v_n-hh10203-Info.zip.3des")});
    QCOMPARE(child<QListWidget>("lbNwsSourceFiles")->count(), 2);
    QCOMPARE(m_dialogs.shown.size(), 1);
}

QTEST_MAIN(TestNewsPanel)
#include "tst_newspanel.moc"
