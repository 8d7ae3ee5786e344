#include "workareas/gui/ShellFileView.h"

#include <QFileSystemModel>

namespace tolvane {

ShellFileView::ShellFileView(const QString& objectName, QWidget* parent)
    : QListView(parent), m_model(new QFileSystemModel(this))
{
    setObjectName(objectName);
    m_model->setFilter(QDir::Files);
    m_model->setReadOnly(true);
    setModel(m_model);
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model->sort(0, Qt::AscendingOrder);
}

void ShellFileView::setRoot(const QString& folder)
{
    m_root = folder;
    setRootIndex(m_model->setRootPath(folder));
}

void ShellFileView::refresh()
{
    // A new model reads the folder from scratch; the file system watcher may not have caught up.
    auto* fresh = new QFileSystemModel(this);
    fresh->setFilter(m_model->filter());
    fresh->setReadOnly(true);
    fresh->sort(0, Qt::AscendingOrder);
    setModel(fresh);
    m_model->deleteLater();
    m_model = fresh;
    setRoot(m_root);
}

QStringList ShellFileView::names() const
{
    QStringList result;
    const QModelIndex parent = rootIndex();
    for (int i = 0; i < m_model->rowCount(parent); ++i)
        result << m_model->fileName(m_model->index(i, 0, parent));
    return result;
}

} // namespace tolvane
