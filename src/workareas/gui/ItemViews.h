#pragma once

#include <QStringList>

class QComboBox;
class QListWidget;

namespace tolvane {

// What a panel shows of its area's lists. Both set the entries and the current one without
// running the control's handlers, and rebuild the entries only when they changed, so a list
// keeps its scroll position.
void showItems(QComboBox* combo, const QStringList& items, int current);
void showLines(QListWidget* list, const QStringList& lines, int selected);

} // namespace tolvane
