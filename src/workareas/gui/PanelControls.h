#pragma once

#include <QString>
#include <QStringList>

class QListWidget;
class QPushButton;
class QWidget;

namespace tolvane::panel {

// The controls the work-area panels build alike.
QPushButton* button(const QString& name, const QString& text, QWidget* parent, const QString& hint = {});
QListWidget* list(const QString& name, QWidget* parent);
// Sets the lines of a list and its selection, without running its handlers.
void showLines(QListWidget* list, const QStringList& lines, int selected);

} // namespace tolvane::panel
