#include "workareas/gui/WorkAreaPanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tolvane {

WorkAreaPanel::WorkAreaPanel(const QString& name, const QString& header, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* title = new QLabel(header, this);
    title->setObjectName(name + QStringLiteral("Header"));
    title->setFixedHeight(34);
    title->setStyleSheet(QStringLiteral(
        "QLabel { color: white; font-weight: bold; font-size: 11pt; padding-left: 12px;"
        "  background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f3a68, stop:1 #4f7bb0); }"));
    layout->addWidget(title);
    m_body = new QVBoxLayout;
    m_body->setContentsMargins(6, 8, 6, 8);
    m_body->setSpacing(6);
    layout->addLayout(m_body, 1);
}

void WorkAreaPanel::fillRegNrList(const QStringList&) {}

void WorkAreaPanel::enterArea() {}

bool WorkAreaPanel::decryptFromCommandLine(const QString&)
{
    return false;
}

} // namespace tolvane
