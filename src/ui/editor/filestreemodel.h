#pragma once

#include "project/projectmodel.h"

#include <QAbstractItemModel>

namespace tervelle {

// The files tree for `lstFiles`: every node with its text and its image of `imlFiles` (the
// selected image while the node is selected).
class FilesTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit FilesTreeModel(const ProjectModel &project, QObject *parent = nullptr);

    TreeNode *node(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *node) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const ProjectModel &m_project;
};

} // namespace tervelle
