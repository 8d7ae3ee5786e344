#include "app/uInfo.h"

#include "app/gui/Artwork.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace tolvane {

TfrmInfo::TfrmInfo(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("VQZ - HOMEPAGE"));
    setMinimumSize(1055, 955);
    resize(1055, 955);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(0);

    auto* pInfo = new QFrame(this);
    pInfo->setObjectName(QStringLiteral("pInfo"));
    pInfo->setFixedHeight(58);
    pInfo->setFrameShape(QFrame::StyledPanel);
    auto* bar = new QHBoxLayout(pInfo);
    bar->setContentsMargins(6, 0, 6, 0);
    tbarInfo = new QToolBar(pInfo);
    tbarInfo->setObjectName(QStringLiteral("tbarInfo"));
    tbarInfo->setIconSize(QSize(32, 32));
    tbarInfo->setMovable(false);
    tbarInfo->setFloatable(false);
    addButton(QStringLiteral("tbbtnBack"), artwork::icon(artwork::Icon::Back), QStringLiteral("Zurück"),
              QStringLiteral("zurück blättern"), &TfrmInfo::tbbtnBackClick);
    addButton(QStringLiteral("tbbtnforward"), artwork::icon(artwork::Icon::Forward), QStringLiteral("Vorwärts"),
              QStringLiteral("vorwärts blättern"), &TfrmInfo::tbbtnforwardClick);
    auto* gap = new QWidget(tbarInfo);
    gap->setFixedWidth(33);
    tbarInfo->addWidget(gap);
    addButton(QStringLiteral("tbbtnhome"), artwork::icon(artwork::Icon::Home), QStringLiteral("Hauptmenü"),
              QStringLiteral("zurück zum Hauptmenü"), &TfrmInfo::tbbtnhomeClick);
    bar->addWidget(tbarInfo, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    layout->addWidget(pInfo);

    WebBrowser = new QWebEngineView(this);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
    layout->addWidget(WebBrowser, 1);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormCreate();
}

QToolButton* TfrmInfo::addButton(const QString& name, const QIcon& icon, const QString& caption, const QString& hint,
                                 void (TfrmInfo::*slot)())
{
    QAction* action = tbarInfo->addAction(icon, caption);
    action->setObjectName(name + QStringLiteral("Action"));
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, slot);
    auto* button = qobject_cast<QToolButton*>(tbarInfo->widgetForAction(action));
    button->setObjectName(name);
    button->setFixedSize(39, 38);
    return button;
}

void TfrmInfo::FormCreate()
{
    navigateHome();
}

void TfrmInfo::navigateHome()
{
    WebBrowser->load(QUrl(QStringLiteral("http://") + QString::fromLatin1(kHomePage)));
}

// The browser's own navigation never throws; a failed page shows the browser's error page, and
// back or forward without history do nothing.
void TfrmInfo::tbbtnBackClick()
{
    try {
        WebBrowser->back();
    } catch (...) {
    }
}

void TfrmInfo::tbbtnforwardClick()
{
    try {
        WebBrowser->forward();
    } catch (...) {
    }
}

void TfrmInfo::tbbtnhomeClick()
{
    try {
        navigateHome();
    } catch (...) {
    }
}

} // namespace tolvane
