#include "workareas/gui/PanelControls.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tolvane::panel {

QPushButton* button(const QString& name, const QString& text, QWidget* parent, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

QListWidget* list(const QString& name, QWidget* parent)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

void showItems(QComboBox* combo, const QStringList& items, int current)
{
    const QSignalBlocker block(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != items) {
        combo->clear();
        combo->addItems(items);
    }
    combo->setCurrentIndex(current);
}

void showLines(QListWidget* l, const QStringList& lines, int selected)
{
    const QSignalBlocker block(l);
    QStringList current;
    for (int i = 0; i < l->count(); ++i)
        current << l->item(i)->text();
    if (current != lines) {
        l->clear();
        l->addItems(lines);
    }
    l->setCurrentRow(selected);
    if (selected < 0)
        l->clearSelection();
}

} // namespace tolvane::panel
