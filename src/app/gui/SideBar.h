#pragma once

#include <QFrame>
#include <QList>

class QToolButton;
class QVBoxLayout;

namespace tolvane {

// The navigation bar on the left of the main window: one group heading and a column of items,
// each a 32 by 32 icon above its caption, with its hint as tool tip.
class TSideBar : public QFrame {
    Q_OBJECT
public:
    TSideBar(const QString& group, QWidget* parent = nullptr);

    void addItem(const QIcon& icon, const QString& caption, const QString& hint);
    int count() const { return int(m_items.size()); }
    QToolButton* item(int index) const { return m_items.value(index); }
    // Marks the item whose area is shown; -1 for none.
    void setCurrent(int index);

Q_SIGNALS:
    void itemClicked(int index);

private:
    QVBoxLayout* m_layout;
    QList<QToolButton*> m_items;
};

} // namespace tolvane
