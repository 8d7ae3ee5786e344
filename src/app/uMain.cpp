#include "app/uMain.h"

#include "app/gui/Artwork.h"
#include "app/gui/SideBar.h"
#include "app/uInfo.h"
#include "common/xProcs.h"
#include "masterdata/MasterDataStore.h"
#include "masterdata/gui/uStamm.h"
#include "platform/FileSystem.h"
#include "platform/Guarded.h"
#include "platform/ProfileFile.h"
#include "workareas/WorkAreaServices.h"
#include "workareas/answer/gui/AnswerPanel.h"
#include "workareas/export/gui/ExportPanel.h"
#include "workareas/news/gui/NewsPanel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <iterator>

namespace tolvane {

namespace {

constexpr int kClientWidth = 646;
constexpr int kClientHeight = 421;
constexpr int kSideBarWidth = 111;

// The side bar: one group, "Bereiche", with these items in this order.
struct SideBarEntry {
    TfrmMain::SideBarItem item;
    artwork::Icon icon;
    const char* caption;
    const char* hint;
};
const SideBarEntry kSideBar[] = {
    {TfrmMain::SideBarItem::Export, artwork::Icon::Export, "Exportdateien",
     "Hier können Sie Ihren Datenexport verschlüsseln"},
    {TfrmMain::SideBarItem::Answer, artwork::Icon::Answer, "Antwortdateien",
     "Hier können Sie die Rückmeldung der datenentgegennehmenden Stelle entschlüsseln"},
    {TfrmMain::SideBarItem::Keys, artwork::Icon::Keys, "Keydateien",
     "Hier können Sie Ihre Ablageverzeichnisse pro Registriernummer einrichten und Ihre KEY-Informationen "
     "einsehen, sowie ggf. Ihre Passphrase eintragen bzw. ändern."},
    {TfrmMain::SideBarItem::News, artwork::Icon::News, "Newsdateien",
     "Hier können Sie beliebige Dateien verschlüsseln (Newsdatei erzeugen) bzw. von der "
     "datenentgegennehmenden Stelle empfangene Newsdateien entschlüsseln"},
    {TfrmMain::SideBarItem::Home, artwork::Icon::Home, "VQZ - HOME", "Kennen Sie unsere neue Homepage schon?"},
};

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

TfrmMain::TfrmMain(const QString& exeName, ProfileFile& settings, WorkAreaServices& services, QWidget* parent)
    : QWidget(parent), m_exeName(exeName), FIniFile(settings), m_services(services)
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
    setWindowTitle(QStringLiteral("Tolvane - Version ") + GetFileVersionString(m_exeName));
}

void TfrmMain::FormDestroy()
{
    FIniFile.flush();
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
    for (const SideBarEntry& entry : kSideBar)
        SBar->addItem(artwork::icon(entry.icon), QString::fromUtf8(entry.caption), QString::fromUtf8(entry.hint));
    connectGuarded(SBar, &TSideBar::itemClicked, this, m_services.dialogs(), &TfrmMain::SBarItemClick);

    pExport = new ExportPanel(m_services, this);
    pAntwort = new AnswerPanel(m_services, this);
    pNews = new NewsPanel(m_services, this);
    pSplash = new QFrame(this);
    pSplash->setObjectName(QStringLiteral("pSplash"));
    auto* splashLayout = new QVBoxLayout(pSplash);
    splashLayout->setContentsMargins(0, 0, 0, 0);
    splashLayout->addWidget(new TSplashImage(pSplash));
    for (QFrame* panel : std::initializer_list<QFrame*>{pExport, pAntwort, pNews, pSplash})
        panel->setGeometry(kSideBarWidth, 0, kClientWidth - kSideBarWidth, kClientHeight);
    // An area whose run started from outside (the command line) comes to the front by itself.
    for (WorkAreaPanel* area : workAreas())
        connect(area, &WorkAreaPanel::showRequested, this, [this, area] { showPanel(area); });
    // At start every panel is there and the picture lies on top.
    pSplash->raise();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TfrmStamm* TfrmMain::frmStamm() const
{
    return m_frmStamm;
}

TfrmInfo* TfrmMain::frmInfo() const
{
    return m_frmInfo;
}

QString TfrmMain::ReadSetting(const QString& key, const QString& section) const
{
    return m_services.ReadSetting(key, section);
}

void TfrmMain::WriteSetting(const QString& key, const QString& section, const QString& value)
{
    m_services.WriteSetting(key, section, value);
}

void TfrmMain::ExploreFolder(const QString& folder)
{
    m_services.ExploreFolder(folder);
}

void TfrmMain::showPanel(QFrame* panel)
{
    for (QFrame* p : std::initializer_list<QFrame*>{pSplash, pExport, pAntwort, pNews})
        p->setVisible(p == panel);
}

void TfrmMain::SBarItemClick(int index)
{
    if (index < 0 || index >= int(std::size(kSideBar)))
        return;
    const SideBarItem item = kSideBar[index].item;
    switch (item) {
    case SideBarItem::Export:
    case SideBarItem::Answer:
    case SideBarItem::News: {
        WorkAreaPanel* area = item == SideBarItem::Export ? pExport : item == SideBarItem::Answer ? pAntwort : pNews;
        showPanel(area);
        SBar->setCurrent(index);
        area->enterArea();
        break;
    }
    case SideBarItem::Keys:
        showPanel(pSplash);
        SBar->setCurrent(-1);
        if (m_frmStamm && !m_frmStamm->isVisible())
            m_frmStamm->exec();
        break;
    case SideBarItem::Home:
        if (m_frmInfo && !m_frmInfo->isVisible()) {
            m_frmInfo->show();
            m_frmInfo->raise();
            m_frmInfo->activateWindow();
        }
        // The panels stay as they are, and so does the mark of the shown area.
        if (SBar->item(index))
            SBar->item(index)->setChecked(false);
        break;
    }
    ResetWorkAreas();
}

void TfrmMain::ResetWorkAreas()
{
    for (WorkAreaPanel* area : workAreas())
        area->resetArea();
    QStringList regNrs;
    const MasterDataStore& store = m_services.store();
    for (int i = 0; i < store.FCount(); ++i)
        regNrs << store.record(i).FRegNr;
    for (WorkAreaPanel* area : workAreas())
        area->fillRegNrList(regNrs);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    // The command line belongs to the first showing only.
    if (!event->spontaneous() && !m_shownOnce) {
        m_shownOnce = true;
        runGuarded(m_services.dialogs(), [this] { FormShow(); });
    }
    QWidget::showEvent(event);
}

void TfrmMain::FormShow()
{
    // The command line is handled here, before the window becomes visible.
    if (m_arguments.size() != 2)
        return;
    FCmdLineStart = true;
    const QString option = asciiLower(m_arguments.at(0));
    bool keepOpen = false;
    if (option == u"-k")
        keepOpen = AskImportKeyFile(m_arguments.at(1));
    else if (option == u"-d")
        keepOpen = DecryptFromCommandLine(m_arguments.at(1));
    if (!keepOpen)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool TfrmMain::AskImportKeyFile(const QString& path)
{
    Dialogs& dialogs = m_services.dialogs();
    if (!dialogs.confirm(QStringLiteral("Möchten Sie die ausgewählte Keydatei [") + path
                         + QStringLiteral("] in der Anwendung \"Tolvane\" einlesen?")))
        return false;
    if (!m_frmStamm || !m_frmStamm->keys().ImportKeyFile(path)) {
        dialogs.error(QStringLiteral("Die Key-Datei konnte nicht eingelesen werden."));
        return false;
    }
    m_services.store().LoadKeyFiles();
    m_frmStamm->exec();
    return true;
}

bool TfrmMain::DecryptFromCommandLine(const QString& path)
{
    const QString name = asciiLower(fs::fileName(path));
    WorkAreaPanel* area = name.startsWith(u'a') ? pAntwort : name.startsWith(u'n') ? pNews : nullptr;
    if (!area)
        return true;
    // An answer file is shown in its area; a news file leaves the panels as they are.
    if (area == pAntwort) {
        showPanel(pAntwort);
        SBar->setCurrent(int(SideBarItem::Answer));
    }
    area->decryptFromCommandLine(path);
    FTerminateOnActivate = true;
    return true;
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
