#include "workareas/gui/WorkAreaPanel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
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

void WorkAreaPanel::noteMissing(const char* control)
{
    const QString name = QLatin1String(control);
    if (!m_missing.contains(name))
        m_missing << name;
}

void WorkAreaPanel::applyReset(std::span<const ResetStep> steps)
{
    for (const ResetStep& step : steps) {
        auto* w = findChild<QWidget*>(QLatin1String(step.control));
        if (!w) {
            noteMissing(step.control);
            continue;
        }
        switch (step.action) {
        case ResetAction::EmptyList:
            if (auto* combo = qobject_cast<QComboBox*>(w))
                combo->clear();
            else if (auto* list = qobject_cast<QListWidget*>(w))
                list->clear();
            else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model())
                view->model()->removeRows(0, view->model()->rowCount(view->rootIndex()), view->rootIndex());
            else
                noteMissing(step.control);
            break;
        case ResetAction::EmptyText:
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                combo->setCurrentIndex(-1);
                if (combo->isEditable())
                    combo->clearEditText();
            } else if (!w->setProperty("text", QString())) {
                noteMissing(step.control);
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
}

} // namespace tolvane
