#include "app/Application.h"
#include "app/gui/SideBar.h"
#include "app/gui/TolvaneApplication.h"
#include "app/uInfo.h"
#include "app/uMain.h"
#include "masterdata/gui/uStamm.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "support/ScriptedDialogs.h"
#include "support/TestUtil.h"
#include "workareas/gui/WorkAreaPanel.h"
#include "workareas/news/gui/NewsPanel.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace tolvane;
using namespace tolvane::testutil;

class TestFrmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void windowAndSideBar();
    void sideBarItems_data();
    void sideBarItems();
    void keyItemResetsAfterTheKeyWindowClosed();
    void resetCoversEveryNamedControl();
    void activation();
    void settings();
    void exploreFolderRaisesItsFailure();
    void unhandledErrorsReachTheGenericBox_data();
    void unhandledErrorsReachTheGenericBox();
    void homepageWindow();
    void commandLine_data();
    void commandLine();
    void commandLineImportsAKeyFile();
    void commandLineDecryptsOneFile_data();
    void commandLineDecryptsOneFile();

private:
    QString exe() const { return m_dir->filePath("tolvane"); }
    void writeKey(const QString& regNr)
    {
        QVERIFY(writeKeyFile(m_dir->path(), regNr, {.newsDir = newsDir()}));
    }
    QString newsDir() const { return m_dir->path() + u'/'; }
    // The controls of the three work areas, given content so a reset shows.
    void plantWorkAreaControls()
    {
        TfrmMain& m = *m_main;
        for (const char* name : {"lbExpQuelle", "lbExpTransaktionen"})
            m.pExport->findChild<QListWidget*>(QLatin1String(name))->addItems({"alt1", "alt2"});
        for (const char* name : {"stquellpath", "stZielPath"})
            m.pExport->findChild<QLabel*>(QLatin1String(name))->setText(QStringLiteral("alt"));
        for (const char* name : {"slExpAusgabe", "bitbtnDelete", "bitbtnErzeugen", "bitbtnSearchExport"}) {
            m.pExport->findChild<QWidget*>(QLatin1String(name))->setVisible(true);
            m.pExport->findChild<QWidget*>(QLatin1String(name))->setEnabled(true);
        }
        m.pAntwort->findChild<QListWidget*>(QLatin1String("lbAntFiles"))->addItems({"alt1", "alt2"});
        for (const char* name : {"stAntAusgabePfad", "stAntUnterPfad"})
            m.pAntwort->findChild<QLabel*>(QLatin1String(name))->setText(QStringLiteral("alt"));
        for (const char* name : {"slAntAusgabePfad", "bitbtnAntOpenExplorer"})
            m.pAntwort->findChild<QWidget*>(QLatin1String(name))->setVisible(true);
        m.pAntwort->findChild<QWidget*>(QLatin1String("pAntAusgabePfad"))->setVisible(false);
        auto* news = static_cast<NewsPanel*>(m.pNews);
        news->fillRegNrList({"hh10202", "hh10204"});
        news->findChild<QComboBox*>("cboxNwRegNr")->setCurrentIndex(1);
        news->area().dropSourceFiles({m_dir->filePath("hh10202.key"), m_dir->filePath("hh10204.key")});
        QTest::keyClicks(news->findChild<QLineEdit*>("edNewsBezeichnung"), "alt");
    }
    QStringList comboItems(QWidget* panel, const char* name) const
    {
        QStringList items;
        auto* combo = panel->findChild<QComboBox*>(QLatin1String(name));
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    QString visiblePanels() const
    {
        QStringList names;
        for (QWidget* p : std::initializer_list<QWidget*>{m_main->pSplash, m_main->pExport, m_main->pAntwort, m_main->pNews}) {
            if (p->isVisibleTo(m_main))
                names << p->objectName();
        }
        return names.join(u' ');
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<Application> m_app;
    TfrmMain* m_main = nullptr;
    TfrmStamm* m_stamm = nullptr;
    TfrmInfo* m_info = nullptr;
};

void TestFrmMain::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_dialogs.clear();
    writeKey("hh10204");
    writeKey("hh10202");
    m_app = std::make_unique<Application>(exe(), m_dialogs);
    m_main = &m_app->frmMain();
    m_stamm = &m_app->frmStamm();
    m_info = &m_app->frmInfo();
}

void TestFrmMain::cleanup()
{
    QVERIFY(m_dialogs.scriptDone());
    m_app.reset();
}

void TestFrmMain::windowAndSideBar()
{
    // Our test binary has no version stamp; the executable of the fixture does not exist.
    QCOMPARE(m_main->windowTitle(), QStringLiteral("Tolvane - Version ?"));
    QCOMPARE(m_main->size(), QSize(646, 421));
    QCOMPARE(m_main->minimumSize(), m_main->maximumSize());
    QVERIFY(!(m_main->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_main->windowFlags() & Qt::WindowMinimizeButtonHint);

    QCOMPARE(m_main->SBar->findChild<QLabel*>("SBarGroup")->text(), QStringLiteral("Bereiche"));
    QCOMPARE(m_main->SBar->width(), 111);
    QCOMPARE(m_main->SBar->count(), 5);
    for (QWidget* p : std::initializer_list<QWidget*>{m_main->pExport, m_main->pAntwort, m_main->pNews, m_main->pSplash})
        QCOMPARE(p->geometry(), QRect(111, 0, 535, 421));
    const QStringList headers = {
        m_main->pExport->findChild<QLabel*>("pExportHeader")->text(),
        m_main->pAntwort->findChild<QLabel*>("pAntwortHeader")->text(),
        m_main->pNews->findChild<QLabel*>("pNewsHeader")->text()};
    QCOMPARE(headers, (QStringList{"Verschlüsselte Transaktionsdateien erzeugen", "Antwortdateien entschlüsseln",
                                   "Newsdateien erstellen und öffnen"}));
    QVERIFY(m_main->pSplash->findChild<QWidget*>("ImageSplash"));
    // At start all panels are there, the picture on top.
    QCOMPARE(visiblePanels(), QStringLiteral("pSplash pExport pAntwort pNews"));
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    QWidget* top = m_main->childAt(300, 200);
    while (top && top->parentWidget() != m_main)
        top = top->parentWidget();
    QCOMPARE(top, m_main->pSplash);
}

void TestFrmMain::sideBarItems_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("panels");
    QTest::newRow("0") << 0 << "Exportdateien" << "Hier können Sie Ihren Datenexport verschlüsseln" << "pExport";
    QTest::newRow("1") << 1 << "Antwortdateien"
                       << "Hier können Sie die Rückmeldung der datenentgegennehmenden Stelle entschlüsseln"
                       << "pAntwort";
    QTest::newRow("3") << 3 << "Newsdateien"
                       << "Hier können Sie beliebige Dateien verschlüsseln (Newsdatei erzeugen) bzw. von der "
                          "datenentgegennehmenden Stelle empfangene Newsdateien entschlüsseln"
                       << "pNews";
    QTest::newRow("4") << 4 << "VQZ - HOME" << "Kennen Sie unsere neue Homepage schon?" << "pAntwort";
}

void TestFrmMain::sideBarItems()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QString, panels);
    plantWorkAreaControls();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    if (index == 4)
        m_main->SBarItemClick(1); // item 4 leaves the panels as they are
    QToolButton* item = m_main->SBar->item(index);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->toolTip(), hint);
    QCOMPARE(item->iconSize(), QSize(32, 32));
    QTest::mouseClick(item, Qt::LeftButton);
    QCOMPARE(visiblePanels(), panels);
    // Every item resets the work areas.
    QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), (QStringList{"hh10202", "hh10204"}));
    QCOMPARE(m_main->pNews->findChild<QLabel*>("stNewsAusgabePfad")->text(), index == 3 ? QString() : newsDir());
    QCOMPARE(m_main->pNews->findChild<QLineEdit*>("edNewsBezeichnung")->text(), index == 3 ? QString() : "alt");
    QCOMPARE(m_main->pNews->findChild<QListWidget*>("lbNwsSourceFiles")->count(), index == 3 ? 0 : 2);
    if (index == 4) {
        QVERIFY(m_info->isVisible());
        QTest::mouseClick(item, Qt::LeftButton);
        QCOMPARE(m_main->findChildren<TfrmInfo*>().size(), 1);
        QVERIFY(m_info->isVisible());
        QCOMPARE(visiblePanels(), panels);
    }
}

// The key window opens modally; the lists are refilled after it closed, with what the store
// holds then.
void TestFrmMain::keyItemResetsAfterTheKeyWindowClosed()
{
    plantWorkAreaControls();
    m_main->SBarItemClick(0);
    bool wasModal = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(m_stamm->isVisible());
        wasModal = QApplication::activeModalWidget() == m_stamm;
        QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), (QStringList{"hh10202", "hh10204"}));
        writeKey("hh10203");
        m_stamm->store().LoadKeyFiles();
        m_stamm->close();
    });
    QTest::mouseClick(m_main->SBar->item(2), Qt::LeftButton);
    QVERIFY(wasModal);
    QVERIFY(!m_stamm->isVisible());
    QCOMPARE(visiblePanels(), QStringLiteral("pSplash"));
    QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), (QStringList{"hh10202", "hh10203", "hh10204"}));
    QCOMPARE(comboItems(m_main->pNews, "cboxNwRegNr"), (QStringList{"hh10202", "hh10203", "hh10204"}));
}

void TestFrmMain::resetCoversEveryNamedControl()
{
    plantWorkAreaControls();
    // The key window has a "Durchsuchen" button of a work-area name; it is enabled while editing.
    m_stamm->keys().lbRegNrDblClick(0);
    QVERIFY(m_stamm->findChild<QWidget*>("bitbtnSearchExport")->isEnabled());
    m_main->ResetWorkAreas();
    auto* ex = m_main->pExport;
    auto* an = m_main->pAntwort;
    QCOMPARE(comboItems(ex, "cboxExRegnr"), (QStringList{"hh10202", "hh10204"}));
    QCOMPARE(comboItems(m_main->pNews, "cboxNwRegNr"), (QStringList{"hh10202", "hh10204"}));
    QCOMPARE(ex->findChild<QListWidget*>("lbExpQuelle")->count(), 0);
    QCOMPARE(ex->findChild<QListWidget*>("lbExpTransaktionen")->count(), 0);
    QCOMPARE(ex->findChild<QLabel*>("stquellpath")->text(), QString());
    QCOMPARE(ex->findChild<QLabel*>("stZielPath")->text(), QString());
    QVERIFY(ex->findChild<QWidget*>("slExpAusgabe")->isHidden());
    QVERIFY(!ex->findChild<QWidget*>("bitbtnDelete")->isEnabled());
    QVERIFY(ex->findChild<QWidget*>("bitbtnErzeugen")->isHidden());
    QVERIFY(!ex->findChild<QWidget*>("bitbtnSearchExport")->isEnabled());
    QVERIFY(ex->findChild<QWidget*>("bitbtnExpOpenDir")->isEnabled()); // not touched
    QCOMPARE(an->findChild<QListWidget*>("lbAntFiles")->count(), 0);
    QCOMPARE(an->findChild<QLabel*>("stAntAusgabePfad")->text(), QString());
    QCOMPARE(an->findChild<QLabel*>("stAntUnterPfad")->text(), QString());
    QVERIFY(an->findChild<QWidget*>("slAntAusgabePfad")->isHidden());
    QVERIFY(!an->findChild<QWidget*>("pAntAusgabePfad")->isHidden());
    QVERIFY(an->findChild<QWidget*>("bitbtnAntOpenExplorer")->isHidden());
    QVERIFY(m_stamm->findChild<QWidget*>("bitbtnSearchExport")->isEnabled());
}

// The first showing and a switch back from the homepage window reset the work areas; closing a
// modal box does not. (The offscreen platform moves the focus only when a window is shown, so
// showing a window again stands for the user switching to it.)
void TestFrmMain::activation()
{
    plantWorkAreaControls();
    auto* combo = m_main->pExport->findChild<QComboBox*>("cboxExRegnr");
    auto focused = [](QWidget* w) {
        return QTest::qWaitFor([w] { return QGuiApplication::focusWindow() == w->windowHandle(); }, 2000);
    };
    auto focusMain = [this, focused] {
        m_main->hide();
        m_main->show();
        return focused(m_main);
    };
    m_main->show();
    QVERIFY(focused(m_main));
    QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), (QStringList{"hh10202", "hh10204"}));

    combo->addItem("gewaehlt");
    QDialog box(m_main);
    QTimer::singleShot(0, &box, [&box] {
        QTRY_VERIFY(QApplication::activeModalWidget() == &box);
        box.accept();
    });
    box.exec();
    QVERIFY(focusMain());
    QCOMPARE(combo->count(), 3);

    m_info->show();
    QVERIFY(focused(m_info));
    QCOMPARE(combo->count(), 3);
    QVERIFY(focusMain());
    QCOMPARE(combo->count(), 2);
    // Coming back to the main window from itself (another application in between) is no activation.
    combo->addItem("gewaehlt");
    QVERIFY(focusMain());
    QCOMPARE(combo->count(), 3);

    // A command-line start keeps the areas once.
    m_main->FCmdLineStart = true;
    m_info->hide();
    m_info->show();
    QVERIFY(focused(m_info));
    QVERIFY(focusMain());
    QCOMPARE(combo->count(), 3);
    QVERIFY(!m_main->FCmdLineStart);
}

void TestFrmMain::settings()
{
    const QString ini = m_dir->filePath("tolvane.ini");
    QCOMPARE(m_main->ReadSetting("E", "hh10203"), fs::defaultDialogFolder());
    QVERIFY(!QFile::exists(ini));
    m_main->WriteSetting("E", "HH10203", QStringLiteral("D:\\"));
    QVERIFY(QFile::exists(ini));
    QCOMPARE(m_main->ReadSetting("e", "hh10203"), QStringLiteral("D:\\"));
    m_app.reset();
    // A file written by someone else, with sections in capitals.
    QVERIFY(writeAll(ini, "[HH10203]\nE=D:\\qs\\export\n[ANTWORT]\nA=C:\\\n"));
    Application again(exe(), m_dialogs);
    QCOMPARE(again.frmMain().ReadSetting("E", "hh10203"), QStringLiteral("D:\\qs\\export"));
    QCOMPARE(again.frmMain().ReadSetting("A", "antwort"), QStringLiteral("C:\\"));
    QCOMPARE(again.frmMain().ReadSetting("N", "NEWS"), fs::defaultDialogFolder());
}

void TestFrmMain::exploreFolderRaisesItsFailure()
{
    const QString missing = m_dir->filePath("fehlt");
    try {
        m_main->ExploreFolder(missing);
        QFAIL("no error for a missing folder");
    } catch (const TolvaneError& e) {
        QVERIFY2(e.text().contains(missing), qPrintable(e.text()));
    }
}

void TestFrmMain::unhandledErrorsReachTheGenericBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Dateizugriff verweigert" << "Dateizugriff verweigert.";
    QTest::newRow("period") << "Fertig." << "Fertig.";
    QTest::newRow("exclamation") << "Halt!" << "Halt!";
    QTest::newRow("digit") << "E/A-Fehler 32" << "E/A-Fehler 32.";
}

void TestFrmMain::unhandledErrorsReachTheGenericBox()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    auto* app = qobject_cast<TolvaneApplication*>(qApp);
    QVERIFY(app);
    app->setDialogs(&m_dialogs);
    QPushButton button(QStringLiteral("los"));
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&] {
        ++clicks;
        throw TolvaneError(text);
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    app->setDialogs(nullptr);
    // The application goes on: the second click was handled as well.
    QCOMPARE(clicks, 2);
    QCOMPARE(m_dialogs.shown.size(), 2);
    QCOMPARE(m_dialogs.shown.first().caption, QStringLiteral("Tolvane - Datencrypter"));
    QCOMPARE(m_dialogs.shown.first().text, shown);
}

void TestFrmMain::homepageWindow()
{
    QCOMPARE(m_info->windowTitle(), QStringLiteral("VQZ - HOMEPAGE"));
    QCOMPARE(m_info->minimumSize(), QSize(1055, 955));
    QCOMPARE(m_info->size(), QSize(1055, 955));
    QVERIFY(!m_info->isModal());
    QCOMPARE(m_info->parentWidget(), m_main); // stays in front of the main window
    QWebEnginePage* page = m_info->browser()->page();
    const auto isHome = [](const QUrl& url) {
        return url.scheme() == u"http" && url.host() == u"www.example.org" && (url.path().isEmpty() || url.path() == u"/");
    };
    QVERIFY(isHome(page->requestedUrl()));
    QStringList buttons;
    for (const char* name : {"tbbtnBack", "tbbtnforward", "tbbtnhome"}) {
        auto* b = m_info->findChild<QToolButton*>(QLatin1String(name));
        QVERIFY2(b, name);
        QCOMPARE(b->size(), QSize(39, 38));
        QCOMPARE(b->iconSize(), QSize(32, 32));
        buttons << b->text() + u'|' + b->toolTip();
    }
    QCOMPARE(buttons, (QStringList{"Zurück|zurück blättern", "Vorwärts|vorwärts blättern",
                                   "Hauptmenü|zurück zum Hauptmenü"}));
    QCOMPARE(m_info->findChild<QWidget*>("pInfo")->height(), 58);

    m_info->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_info));
    // Without history Zurück and Vorwärts do nothing, and say nothing.
    QTest::mouseClick(m_info->findChild<QToolButton*>("tbbtnBack"), Qt::LeftButton);
    QTest::mouseClick(m_info->findChild<QToolButton*>("tbbtnforward"), Qt::LeftButton);
    QVERIFY(isHome(page->requestedUrl()));
    m_info->browser()->setUrl(QUrl(QStringLiteral("about:blank")));
    QTRY_COMPARE(page->requestedUrl(), QUrl(QStringLiteral("about:blank")));
    QTest::mouseClick(m_info->findChild<QToolButton*>("tbbtnhome"), Qt::LeftButton);
    QTRY_VERIFY(isHome(page->requestedUrl()));
    QVERIFY(m_dialogs.shown.isEmpty());
    // Closing only hides it.
    m_info->close();
    QVERIFY(!m_info->isVisible());
    QCOMPARE(m_main->findChildren<TfrmInfo*>().size(), 1);
}

// Started with arguments: what stays open, what is asked, and whether the first activation fills
// the lists.
void TestFrmMain::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("answer"); // the answer to the import question; empty: none asked
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("listsFilled");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("none") << QStringList{} << QString() << true << true << QStringList{};
    QTest::newRow("one") << QStringList{"-d"} << QString() << true << true << QStringList{};
    QTest::newRow("three") << QStringList{"-d", "a-hh10203-4.zip.3des", "x"} << QString() << true << true
                           << QStringList{};
    QTest::newRow("other option") << QStringList{"-x", "foo"} << QString() << false << false << QStringList{};
    QTest::newRow("-k declined") << QStringList{"-k", "@import/hh10203.key"} << "No" << false << false
                                 << QStringList{};
    QTest::newRow("-K not importable") << QStringList{"-K", "@import/fehlt.key"} << "Yes" << false << false
                                       << QStringList{"Die Key-Datei konnte nicht eingelesen werden."};
    QTest::newRow("-d other letter") << QStringList{"-d", "@import/x-hh10203-4.zip.3des"} << QString() << true
                                     << false << QStringList{};
    QTest::newRow("-D folder") << QStringList{"-D", "@import/"} << QString() << true << false << QStringList{};
}

void TestFrmMain::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, answer);
    QFETCH(bool, open);
    QFETCH(bool, listsFilled);
    QFETCH(QStringList, messages);
    QTemporaryDir outside;
    QVERIFY(writeKeyFile(outside.path(), "hh10203", {.desKey = "von-aussen"}));
    for (QString& a : arguments)
        a.replace("@import/", outside.path() + u'/');
    if (!answer.isEmpty())
        m_dialogs.expectQuestion(
            QStringLiteral("Möchten Sie die ausgewählte Keydatei [%1] in der Anwendung \"Tolvane\" einlesen?")
                .arg(arguments.at(1)),
            answer == u"Yes" ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    m_main->setCommandLine(arguments);
    m_main->show();
    QTest::qWait(50);
    QCOMPARE(m_main->isVisible(), open);
    QStringList shown;
    for (const auto& box : m_dialogs.shown) {
        if (box.buttons == Dialogs::Buttons::Ok)
            shown << box.text;
    }
    QCOMPARE(shown, messages);
    QVERIFY(!QFile::exists(m_dir->filePath("hh10203.key")));
    if (open) {
        QTRY_VERIFY(QGuiApplication::focusWindow() == m_main->windowHandle());
        QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr").size(), listsFilled ? 2 : 0);
        QVERIFY(!m_main->FCmdLineStart);
        QVERIFY(!m_main->FTerminateOnActivate);
    }
}

// "-k" answered Yes: the key file is imported, the key window opens with the store reloaded,
// and afterwards the main window stays open with its lists empty until a side-bar choice.
void TestFrmMain::commandLineImportsAKeyFile()
{
    QTemporaryDir outside;
    QVERIFY(writeKeyFile(outside.path(), "hh10203", {.desKey = "von-aussen"}));
    const QString path = outside.filePath("hh10203.key");
    m_dialogs.expectQuestion(
        QStringLiteral("Möchten Sie die ausgewählte Keydatei [%1] in der Anwendung \"Tolvane\" einlesen?").arg(path),
        Dialogs::Answer::Yes);
    QStringList shownInKeyWindow;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(m_stamm->isVisible());
        shownInKeyWindow = m_stamm->keys().listEntries();
        m_stamm->close();
    });
    m_main->setCommandLine({"-k", path});
    m_main->show();
    QCOMPARE(shownInKeyWindow, (QStringList{"hh10202", "hh10203", "hh10204"}));
    QVERIFY(QFile::exists(m_dir->filePath("hh10203.key")));
    QTRY_VERIFY(QGuiApplication::focusWindow() == m_main->windowHandle());
    QVERIFY(m_main->isVisible());
    QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), QStringList());
    QTest::mouseClick(m_main->SBar->item(0), Qt::LeftButton);
    QCOMPARE(comboItems(m_main->pExport, "cboxExRegnr"), (QStringList{"hh10202", "hh10203", "hh10204"}));
}

// "-d": one answer or news file is unpacked into its directory, its folder is opened, and the
// application ends at the first activation, whatever the result.
void TestFrmMain::commandLineDecryptsOneFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shownPanel");
    QTest::addColumn<QString>("directory");
    QTest::newRow("answer file in capitals") << "A-HH10203-4.ZIP.3DES" << "pAntwort" << "Antwort/";
    // A news file leaves the panels as they are at start: all there, the picture on top.
    QTest::newRow("news file") << "n-hh10203-Info_12.zip.3des" << "pSplash pExport pAntwort pNews" << "News/";
}

void TestFrmMain::commandLineDecryptsOneFile()
{
    QFETCH(QString, name);
    QFETCH(QString, shownPanel);
    QFETCH(QString, directory);
    m_app.reset();
    QTemporaryDir data;
    const QString dir = data.path() + u'/';
    QVERIFY(QDir(dir).mkpath("Antwort") && QDir(dir).mkpath("News") && QDir(dir).mkpath("Post"));
    QVERIFY(writeKeyFile(m_dir->path(), "hh10203",
                         {.desKey = "geheim-123", .newsDir = dir + "News/", .answerDir = dir + "Antwort/"}));
    QVERIFY(installPackingLibrary(m_dir->path()));
    const QMap<QString, QByteArray> content{{"Ergebnis.csv", "Fall;Ergebnis\n1;ok\n"}};
    QVERIFY(makeWithStandardTools(dir + "Post/" + name, content, "geheim-123"));
    QStringList explored;
    m_app = std::make_unique<Application>(exe(), m_dialogs, [&explored](const QString& f) { explored << f; });
    m_main = &m_app->frmMain();
    m_main->setCommandLine({"-d", dir + "Post/" + name});
    m_main->show();
    const QString output = dir + directory + "v_" + name;
    QVERIFY2(m_dialogs.shown.isEmpty(), qPrintable(m_dialogs.texts().join(u'\n')));
    QCOMPARE(filesBelow(output), content);
    QCOMPARE(explored, QStringList{output});
    QCOMPARE(visiblePanels(), shownPanel);
    QVERIFY(m_main->FTerminateOnActivate);
    QTRY_VERIFY(QGuiApplication::focusWindow() == m_main->windowHandle());
    QVERIFY(!m_main->FCmdLineStart);
}

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TolvaneApplication app(argc, argv);
    TestFrmMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmmain.moc"
