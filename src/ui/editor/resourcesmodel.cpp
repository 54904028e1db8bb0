#include "ui/editor/resourcesmodel.h"

#include "project/projectmodel.h"
#include "ui/editor/fileicons.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

namespace tervelle {

ResourcesModel::ResourcesModel(const ProjectModel &project, QObject *parent) : QAbstractTableModel(parent)
{
    m_list.followProject(project);
    connect(&m_list, &ResourceList::rowsInserted, this, [this] {
        if (!m_holding)
            flush();
    });
    // Held rows are announced before a removal, so the views and the list count rows alike.
    connect(&m_list, &ResourceList::rowsAboutToBeRemoved, this, [this](int first, int last) {
        flush();
        beginRemoveRows(QModelIndex(), first, last);
    });
    connect(&m_list, &ResourceList::rowsRemoved, this, [this](int first, int last) {
        m_shown -= last - first + 1;
        endRemoveRows();
    });
    connect(&m_list, &ResourceList::aboutToBeReset, this, &ResourcesModel::beginResetModel);
    connect(&m_list, &ResourceList::reset, this, [this] {
        m_shown = 0;
        endResetModel();
    });
    connect(&m_list, &ResourceList::rowChanged, this, [this](int row) {
        if (row < m_shown)
            emit dataChanged(index(row, 0), index(row, 1));
    });
}

void ResourcesModel::setTitles(const QString &file, const QString &path)
{
    m_titles[0] = file;
    m_titles[1] = path;
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void ResourcesModel::holdInserts(bool hold)
{
    m_holding = hold;
    if (!hold)
        flush();
}

void ResourcesModel::flush()
{
    const int count = m_list.count();
    if (count <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, count - 1);
    m_shown = count;
    endInsertRows();
}

QString ResourcesModel::dragFormat()
{
    return QStringLiteral("application/x-tervelle-resources");
}

QByteArray ResourcesModel::dragToken() const
{
    // The process and this model: a drag from another editor's list names other files.
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' + QByteArray::number(quintptr(this), 16);
}

bool ResourcesModel::isOwnDrag(const QMimeData *data) const
{
    return data && data->hasFormat(dragFormat()) && data->data(dragFormat()) == dragToken();
}

int ResourcesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ResourcesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ResourcesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return {};
    const ResourceEntry &entry = m_list.entry(index.row());
    switch (role) {
    case Qt::DisplayRole: return index.column() == 0 ? entry.name : entry.folder;
    case Qt::DecorationRole: return index.column() == 0 ? QVariant(resourceIcon()) : QVariant();
    case Qt::ToolTipRole: return entry.fullPath;
    default: return {};
    }
}

QVariant ResourcesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
        return m_titles[section];
    return {};
}

Qt::ItemFlags ResourcesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList ResourcesModel::mimeTypes() const
{
    return {dragFormat()};
}

QMimeData *ResourcesModel::mimeData(const QModelIndexList &) const
{
    // The drop adds the list's selected rows, as the menu command does, so the token is all a
    // drag carries.
    auto *data = new QMimeData;
    data->setData(dragFormat(), dragToken());
    return data;
}

Qt::DropActions ResourcesModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

} // namespace tervelle
