#pragma once

#include <QWidget>

class QAbstractItemView;
class QFileSystemModel;

namespace tolvane {

// The plain files of one folder (no folders), sorted by name, following changes of the folder
// by itself. The work areas set its root folder. As a list it shows the names in columns; as a
// report, one line per file with its name, size and date of change, sortable by each.
class ShellFileView : public QWidget {
    Q_OBJECT
public:
    enum class Style { List, Report };

    explicit ShellFileView(const QString& objectName, QWidget* parent = nullptr, Style style = Style::List);

    Style style() const { return m_style; }
    void setRoot(const QString& folder);
    QString root() const { return m_root; }
    // Reads the folder anew, as setting another root and then this one again does.
    void refresh();
    // The names listed now, in their order.
    QStringList names() const;
    // The headers of the report's visible columns (none for a list).
    QStringList columnTitles() const;
    QAbstractItemView* itemView() const { return m_view; }

private:
    QFileSystemModel* newModel();
    void setModel(QFileSystemModel* model);

    Style m_style;
    QAbstractItemView* m_view = nullptr;
    QFileSystemModel* m_model = nullptr;
    QString m_root;
};

} // namespace tolvane
