#include "workareas/gui/ShellFileView.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QLocale>
#include <QTreeView>
#include <QVBoxLayout>

namespace tolvane {

namespace {

enum Column { Name = 0, Size = 1, Type = 2, Changed = 3 };

// The file system model with German column titles, sizes in whole kilobytes as a file explorer
// shows them and dates in the application's locale, whatever translation Qt has at hand.
class FileModel : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            switch (section) {
            case Name:
                return QStringLiteral("Name");
            case Size:
                return QStringLiteral("Größe");
            case Type:
                return QStringLiteral("Typ");
            case Changed:
                return QStringLiteral("Geändert am");
            }
        }
        return QFileSystemModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole && index.column() == Size) {
            const qint64 bytes = size(index);
            const QLocale locale;
            return bytes < 1024 ? locale.toString(bytes) + QStringLiteral(" Byte")
                                : locale.toString((bytes + 1023) / 1024) + QStringLiteral(" KB");
        }
        if (role == Qt::DisplayRole && index.column() == Changed)
            return QLocale().toString(lastModified(index), QLocale::ShortFormat);
        // A name cut short in its column shows whole when the mouse rests on it.
        if (role == Qt::ToolTipRole && index.column() == Name)
            return fileName(index);
        if (role == Qt::TextAlignmentRole && index.column() == Size)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QFileSystemModel::data(index, role);
    }
};

} // namespace

ShellFileView::ShellFileView(const QString& objectName, QWidget* parent, Style style)
    : QWidget(parent), m_style(style)
{
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The panels decide the size; the inner view adds no minimum of its own.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    if (style == Style::List) {
        auto* list = new QListView(this);
        list->setViewMode(QListView::ListMode);
        list->setFlow(QListView::TopToBottom);
        list->setWrapping(true);
        list->setResizeMode(QListView::Adjust);
        list->setUniformItemSizes(true);
        m_view = list;
    } else {
        auto* tree = new QTreeView(this);
        tree->setRootIsDecorated(false);
        tree->setItemsExpandable(false);
        tree->setUniformRowHeights(true);
        tree->setAllColumnsShowFocus(true);
        // The end of a long name (its extension) stays in sight.
        tree->setTextElideMode(Qt::ElideMiddle);
        tree->setSortingEnabled(true);
        tree->header()->setStretchLastSection(false);
        tree->header()->setSectionsMovable(false);
        m_view = tree;
    }
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    m_model = newModel();
    setModel(m_model);
    if (auto* tree = qobject_cast<QTreeView*>(m_view))
        tree->sortByColumn(Name, Qt::AscendingOrder);
}

void ShellFileView::setModel(QFileSystemModel* model)
{
    // The report keeps its sort column and order when the model is renewed.
    m_view->setModel(model);
    if (auto* tree = qobject_cast<QTreeView*>(m_view)) {
        tree->setColumnHidden(Type, true);
        QHeaderView* header = tree->header();
        header->setSectionResizeMode(Name, QHeaderView::Stretch);
        header->setSectionResizeMode(Size, QHeaderView::ResizeToContents);
        header->setSectionResizeMode(Changed, QHeaderView::ResizeToContents);
    }
}

QFileSystemModel* ShellFileView::newModel()
{
    auto* model = new FileModel(this);
    model->setFilter(QDir::Files);
    model->setReadOnly(true);
    model->sort(Name, Qt::AscendingOrder);
    return model;
}

void ShellFileView::setRoot(const QString& folder)
{
    m_root = folder;
    m_view->setRootIndex(m_model->setRootPath(folder));
}

void ShellFileView::refresh()
{
    // A new model reads the folder from scratch; the file system watcher may not have caught up.
    QFileSystemModel* fresh = newModel();
    setModel(fresh);
    m_model->deleteLater();
    m_model = fresh;
    setRoot(m_root);
}

QStringList ShellFileView::names() const
{
    QStringList result;
    const QModelIndex parent = m_view->rootIndex();
    for (int i = 0; i < m_model->rowCount(parent); ++i)
        result << m_model->fileName(m_model->index(i, 0, parent));
    return result;
}

QStringList ShellFileView::columnTitles() const
{
    QStringList titles;
    auto* tree = qobject_cast<QTreeView*>(m_view);
    for (int c = 0; tree && c < m_model->columnCount(); ++c) {
        if (!tree->isColumnHidden(c))
            titles << m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return titles;
}

} // namespace tolvane
