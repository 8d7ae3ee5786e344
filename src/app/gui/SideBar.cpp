#include "app/gui/SideBar.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tolvane {

TSideBar::TSideBar(const QString& group, QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SBar"));
    setStyleSheet(QStringLiteral(
        "QFrame#SBar { background: #34465f; }"
        "QLabel#SBarGroup { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f3f5f8, stop:1 #d5dbe4);"
        "  color: #1b2a40; font-weight: bold; padding: 4px; border-bottom: 1px solid #1f2c3e; }"
        "QToolButton { color: white; background: transparent; border: 1px solid transparent;"
        "  border-radius: 3px; padding: 4px 1px 3px 1px; }"
        "QToolButton:hover { background: #46607f; border-color: #6d87a8; }"
        "QToolButton:pressed { background: #253449; }"
        "QToolButton:checked { background: #4f6c91; border-color: #9fb6d3; }"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 6);
    m_layout->setSpacing(4);
    auto* heading = new QLabel(group, this);
    heading->setObjectName(QStringLiteral("SBarGroup"));
    heading->setAlignment(Qt::AlignCenter);
    m_layout->addWidget(heading);
    m_layout->addSpacing(4);
    m_layout->addStretch(1);
}

void TSideBar::addItem(const QIcon& icon, const QString& caption, const QString& hint)
{
    const int index = int(m_items.size());
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("SBarItem%1").arg(index));
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setText(caption);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(103, 64);
    connect(button, &QToolButton::clicked, this, [this, index] { Q_EMIT itemClicked(index); });
    // Before the stretch at the end.
    m_layout->insertWidget(m_layout->count() - 1, button);
    m_layout->setAlignment(button, Qt::AlignHCenter);
    m_items << button;
}

void TSideBar::setCurrent(int index)
{
    for (int i = 0; i < m_items.size(); ++i)
        m_items[i]->setChecked(i == index);
}

} // namespace tolvane
