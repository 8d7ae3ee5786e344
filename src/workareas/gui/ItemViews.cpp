#include "workareas/gui/ItemViews.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace tolvane {

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

void showLines(QListWidget* list, const QStringList& lines, int selected)
{
    const QSignalBlocker block(list);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    if (shown != lines) {
        list->clear();
        list->addItems(lines);
    }
    list->setCurrentRow(selected);
    if (selected < 0)
        list->clearSelection();
}

} // namespace tolvane
