#pragma once

#include <QListView>

class QFileSystemModel;

namespace tolvane {

// The plain files of one folder (no folders), sorted by name, following changes of the folder
// by itself. The work areas set its root folder.
class ShellFileView : public QListView {
    Q_OBJECT
public:
    explicit ShellFileView(const QString& objectName, QWidget* parent = nullptr);

    void setRoot(const QString& folder);
    QString root() const { return m_root; }
    // Reads the folder anew, as setting another root and then this one again does.
    void refresh();
    // The names listed now, in their order.
    QStringList names() const;

private:
    QFileSystemModel* m_model;
    QString m_root;
};

} // namespace tolvane
