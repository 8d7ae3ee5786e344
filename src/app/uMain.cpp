#include "uMain.h"

#include "Artwork.h"
#include "FileSystem.h"
#include "ProfileFile.h"
#include "Shell.h"
#include "SideBar.h"
#include "uInfo.h"
#include "uStamm.h"
#include "xProcs.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace tolvane {

namespace {

constexpr int kClientWidth = 646;
constexpr int kClientHeight = 421;
constexpr int kSideBarWidth = 111;

// The picture of the splash panel, drawn to its size.
class TSplashImage : public QWidget {
public:
    explicit TSplashImage(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("ImageSplash")); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        artwork::paintSplash(p, rect());
    }
};

} // namespace

TfrmMain::TfrmMain(const QString& exeName, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_exeName(exeName), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmMain"));
    buildUi();
    FormCreate();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TfrmMain::focusWindowChanged);
}

TfrmMain::~TfrmMain()
{
    FormDestroy();
}

void TfrmMain::FormCreate()
{
    AnswerOutputFolders.clear();
    FIniFile = std::make_unique<ProfileFile>(fs::directoryOf(m_exeName) + QStringLiteral("tolvane.ini"));
    setWindowTitle(QStringLiteral("Tolvane - Version ") + GetFileVersionString(m_exeName));
}

void TfrmMain::FormDestroy()
{
    AnswerOutputFolders.clear();
    if (FIniFile)
        FIniFile->flush();
    FIniFile.reset();
}

void TfrmMain::setWindows(TfrmStamm* stamm, TfrmInfo* info)
{
    m_frmStamm = stamm;
    m_frmInfo = info;
}

void TfrmMain::buildUi()
{
    // A fixed single border: minimize and close, no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    SBar = new TSideBar(QStringLiteral("Bereiche"), this);
    SBar->setGeometry(0, 0, kSideBarWidth, kClientHeight);
    SBar->addItem(artwork::icon(artwork::Icon::Export), QStringLiteral("Exportdateien"),
                  QStringLiteral("Hier können Sie Ihren Datenexport verschlüsseln"));
    SBar->addItem(artwork::icon(artwork::Icon::Answer), QStringLiteral("Antwortdateien"),
                  QStringLiteral("Hier können Sie die Rückmeldung der datenentgegennehmenden Stelle entschlüsseln"));
    SBar->addItem(artwork::icon(artwork::Icon::Keys), QStringLiteral("Keydateien"),
                  QStringLiteral("Hier können Sie Ihre Ablageverzeichnisse pro Registriernummer einrichten und Ihre "
                                 "KEY-Informationen einsehen, sowie ggf. Ihre Passphrase eintragen bzw. ändern."));
    SBar->addItem(artwork::icon(artwork::Icon::News), QStringLiteral("Newsdateien"),
                  QStringLiteral("Hier können Sie beliebige Dateien verschlüsseln (Newsdatei erzeugen) bzw. von der "
                                 "datenentgegennehmenden Stelle empfangene Newsdateien entschlüsseln"));
    SBar->addItem(artwork::icon(artwork::Icon::Home), QStringLiteral("VQZ - HOME"),
                  QStringLiteral("Kennen Sie unsere neue Homepage schon?"));
    connect(SBar, &TSideBar::itemClicked, this, &TfrmMain::SBarItemClick);

    pExport = makePanel(QStringLiteral("pExport"), QStringLiteral("Verschlüsselte Transaktionsdateien erzeugen"));
    pAntwort = makePanel(QStringLiteral("pAntwort"), QStringLiteral("Antwortdateien entschlüsseln"));
    pNews = makePanel(QStringLiteral("pNews"), QStringLiteral("Newsdateien erstellen und öffnen"));
    pSplash = makePanel(QStringLiteral("pSplash"), QString());
    auto* splash = new TSplashImage(pSplash);
    pSplash->layout()->addWidget(splash);
    // At start every panel is there and the picture lies on top.
    pSplash->raise();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QFrame* TfrmMain::makePanel(const QString& name, const QString& header)
{
    auto* panel = new QFrame(this);
    panel->setObjectName(name);
    panel->setGeometry(kSideBarWidth, 0, kClientWidth - kSideBarWidth, kClientHeight);
    panel->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!header.isEmpty()) {
        auto* title = new QLabel(header, panel);
        title->setObjectName(name + QStringLiteral("Header"));
        title->setFixedHeight(34);
        title->setStyleSheet(QStringLiteral(
            "QLabel { color: white; font-weight: bold; font-size: 11pt; padding-left: 12px;"
            "  background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f3a68, stop:1 #4f7bb0); }"));
        layout->addWidget(title);
        layout->addStretch(1);
    }
    return panel;
}

QString TfrmMain::ReadSetting(const QString& key, const QString& section) const
{
    return FIniFile->read(section, key, fs::defaultDialogFolder());
}

void TfrmMain::WriteSetting(const QString& key, const QString& section, const QString& value)
{
    // A value that cannot be saved now is saved again by the flush when the window goes.
    FIniFile->write(section, key, value);
}

void TfrmMain::ExploreFolder(const QString& folder)
{
    Shell::exploreFolder(folder);
}

void TfrmMain::showPanel(QFrame* panel)
{
    for (QFrame* p : {pSplash, pExport, pAntwort, pNews})
        p->setVisible(p == panel);
}

void TfrmMain::clearNewsArea()
{
    static const QList<ResetStep> steps = {
        {"pNews", "cboxNwRegNr", ResetAction::EmptyText},
        {"pNews", "edNewsBezeichnung", ResetAction::EmptyText},
        {"pNews", "stNewsAusgabePfad", ResetAction::EmptyText},
        {"pNews", "stNwsAusgabepfad", ResetAction::EmptyText},
        {"pNews", "lbNwsSourceFiles", ResetAction::EmptyList},
    };
    for (const ResetStep& step : steps)
        applyReset(step);
}

void TfrmMain::SBarItemClick(int index)
{
    switch (index) {
    case 0:
        showPanel(pExport);
        SBar->setCurrent(0);
        break;
    case 1:
        showPanel(pAntwort);
        SBar->setCurrent(1);
        break;
    case 2:
        showPanel(pSplash);
        SBar->setCurrent(-1);
        if (m_frmStamm && !m_frmStamm->isVisible())
            m_frmStamm->exec();
        break;
    case 3:
        showPanel(pNews);
        SBar->setCurrent(3);
        clearNewsArea();
        break;
    case 4:
        if (m_frmInfo && !m_frmInfo->isVisible()) {
            m_frmInfo->show();
            m_frmInfo->raise();
            m_frmInfo->activateWindow();
        }
        // The panels stay as they are, and so does the mark of the shown area.
        if (SBar->item(4))
            SBar->item(4)->setChecked(false);
        break;
    default:
        return;
    }
    ResetWorkAreas();
}

const QList<TfrmMain::ResetStep>& TfrmMain::resetSteps()
{
    static const QList<ResetStep> steps = {
        // export area
        {"pExport", "cboxExRegnr", ResetAction::EmptyList},
        {"pExport", "lbExpQuelle", ResetAction::EmptyList},
        {"pExport", "lbExpTransaktionen", ResetAction::EmptyList},
        {"pExport", "stquellpath", ResetAction::EmptyText},
        {"pExport", "stZielPath", ResetAction::EmptyText},
        {"pExport", "slExpAusgabe", ResetAction::Hide},
        {"pExport", "bitbtnDelete", ResetAction::Disable},
        {"pExport", "bitbtnErzeugen", ResetAction::Hide},
        {"pExport", "bitbtnSearchExport", ResetAction::Disable},
        // answer area
        {"pAntwort", "lbAntFiles", ResetAction::EmptyList},
        {"pAntwort", "stAntAusgabePfad", ResetAction::EmptyText},
        {"pAntwort", "stAntUnterPfad", ResetAction::EmptyText},
        {"pAntwort", "slAntAusgabePfad", ResetAction::Hide},
        {"pAntwort", "pAntAusgabePfad", ResetAction::Show},
        {"pAntwort", "bitbtnAntOpenExplorer", ResetAction::Hide},
        // news area
        {"pNews", "cboxNwRegNr", ResetAction::EmptyList},
    };
    return steps;
}

QFrame* TfrmMain::panelNamed(const char* name) const
{
    const QLatin1String n(name);
    for (QFrame* p : {pExport, pAntwort, pNews, pSplash}) {
        if (p->objectName() == n)
            return p;
    }
    return nullptr;
}

void TfrmMain::applyReset(const ResetStep& step)
{
    QFrame* panel = panelNamed(step.panel);
    QWidget* w = panel ? panel->findChild<QWidget*>(QLatin1String(step.control)) : nullptr;
    if (!w)
        return;
    switch (step.action) {
    case ResetAction::EmptyList:
        if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->clear();
        else if (auto* list = qobject_cast<QListWidget*>(w))
            list->clear();
        else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
            view->model()->removeRows(0, view->model()->rowCount(view->rootIndex()), view->rootIndex());
        else
            qWarning("ResetWorkAreas: %s has no list to empty", step.control);
        break;
    case ResetAction::EmptyText:
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable())
                combo->clearEditText();
        } else if (!w->setProperty("text", QString())) {
            qWarning("ResetWorkAreas: %s has no text to empty", step.control);
        }
        break;
    case ResetAction::Hide:
        w->setVisible(false);
        break;
    case ResetAction::Show:
        w->setVisible(true);
        break;
    case ResetAction::Disable:
        w->setEnabled(false);
        break;
    }
}

void TfrmMain::ResetWorkAreas()
{
    for (const ResetStep& step : resetSteps())
        applyReset(step);
    if (!m_frmStamm)
        return;
    const MasterDataStore& store = m_frmStamm->store();
    auto* exportList = pExport->findChild<QComboBox*>(QStringLiteral("cboxExRegnr"));
    auto* newsList = pNews->findChild<QComboBox*>(QStringLiteral("cboxNwRegNr"));
    for (int i = 0; i < store.FCount(); ++i) {
        if (exportList)
            exportList->addItem(store.record(i).FRegNr);
        if (newsList)
            newsList->addItem(store.record(i).FRegNr);
    }
}

void TfrmMain::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

void TfrmMain::FormShow()
{
    // The command line is handled here, before the window becomes visible.
}

void TfrmMain::focusWindowChanged(QWindow* window)
{
    if (!window)
        return; // another application took the focus; coming back from it is no activation
    const QWindow* previous = m_lastFocusWindow;
    m_lastFocusWindow = window;
    if (window != windowHandle())
        return;
    // Only the first showing and a switch from the homepage window activate the main window;
    // closing a modal window or a message box over it does not.
    const bool fromInfo = m_frmInfo && previous && previous == m_frmInfo->windowHandle();
    if (!m_activatedOnce || fromInfo) {
        m_activatedOnce = true;
        FormActivate();
    }
}

void TfrmMain::FormActivate()
{
    if (FTerminateOnActivate)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    if (!FCmdLineStart)
        ResetWorkAreas();
    FCmdLineStart = false;
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    // The other windows belong to this one: closing it ends the run.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace tolvane
