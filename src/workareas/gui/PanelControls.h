#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;
class QPushButton;
class QWidget;

namespace tolvane::panel {

// The controls the work-area panels build alike.
QPushButton* button(const QString& name, const QString& text, QWidget* parent, const QString& hint = {});
QListWidget* list(const QString& name, QWidget* parent);
// What a panel shows of its area's lists. Both set the entries and the current one without
// running the control's handlers, and rebuild the entries only when they changed, so a list
// keeps its scroll position.
void showItems(QComboBox* combo, const QStringList& items, int current);
void showLines(QListWidget* list, const QStringList& lines, int selected);

} // namespace tolvane::panel
