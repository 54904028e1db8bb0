#include "ui/editor/filestreemodel.h"

#include "ui/editor/fileicons.h"

namespace tervelle {

FilesTreeModel::FilesTreeModel(const ProjectModel &project, QObject *parent)
    : QAbstractItemModel(parent), m_project(project)
{
    connect(&project, &ProjectModel::projectReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&project, &ProjectModel::nodeAboutToBeInserted, this,
            [this](TreeNode *parent, int row) { beginInsertRows(indexOf(parent), row, row); });
    connect(&project, &ProjectModel::nodeInserted, this, [this] { endInsertRows(); });
    connect(&project, &ProjectModel::nodeAboutToBeRemoved, this,
            [this](TreeNode *removed) { beginRemoveRows(indexOf(removed->parent()), removed->row(), removed->row()); });
    connect(&project, &ProjectModel::nodeRemoved, this, [this](TreeNode *, int) { endRemoveRows(); });
    connect(&project, &ProjectModel::nodeChanged, this, [this](TreeNode *changed) {
        const QModelIndex at = indexOf(changed);
        emit dataChanged(at, at);
    });
}

TreeNode *FilesTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : nullptr;
}

QModelIndex FilesTreeModel::indexOf(const TreeNode *node) const
{
    if (!node)
        return QModelIndex();
    return createIndex(node->row(), 0, const_cast<TreeNode *>(node));
}

QModelIndex FilesTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid()) {
        const FileTree &tree = m_project.tree();
        return row < tree.topLevelCount() ? createIndex(row, 0, tree.topLevel(row)) : QModelIndex();
    }
    const TreeNode *owner = node(parent);
    return row < owner->childCount() ? createIndex(row, 0, owner->child(row)) : QModelIndex();
}

QModelIndex FilesTreeModel::parent(const QModelIndex &child) const
{
    const TreeNode *inner = node(child);
    return inner ? indexOf(inner->parent()) : QModelIndex();
}

int FilesTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_project.tree().topLevelCount();
    if (parent.column() != 0)
        return 0;
    return node(parent)->childCount();
}

int FilesTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FilesTreeModel::data(const QModelIndex &index, int role) const
{
    const TreeNode *shown = node(index);
    if (!shown)
        return {};
    switch (role) {
    case Qt::DisplayRole: return shown->Text();
    case Qt::DecorationRole: return treeNodeIcon(shown->ImageIndex(), shown->SelectedIndex());
    case Qt::ToolTipRole: return shown->isFile() ? shown->Info().Path : QVariant();
    default: return {};
    }
}

} // namespace tervelle
