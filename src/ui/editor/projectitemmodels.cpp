#include "ui/editor/projectitemmodels.h"

#include "project/keyvalue.h"
#include "ui/editor/fileicons.h"

namespace tervelle {

MapsListModel::MapsListModel(const ProjectModel &project, QObject *parent)
    : QAbstractListModel(parent), m_project(project)
{
    connect(&project, &ProjectModel::mapInserted, this, [this](int index) {
        beginInsertRows(QModelIndex(), index, index);
        m_names.insert(index, m_project.map(index).displayName);
        endInsertRows();
    });
    connect(&project, &ProjectModel::mapRemoved, this, [this](int index) {
        beginRemoveRows(QModelIndex(), index, index);
        m_names.removeAt(index);
        endRemoveRows();
    });
    connect(&project, &ProjectModel::mapChanged, this, [this](int index) {
        m_names[index] = m_project.map(index).displayName;
        emit dataChanged(this->index(index), this->index(index));
    });
    connect(&project, &ProjectModel::projectReset, this, &MapsListModel::reload);
    reload();
}

void MapsListModel::reload()
{
    beginResetModel();
    m_names.clear();
    for (int i = 0; i < m_project.mapCount(); ++i)
        m_names.append(m_project.map(i).displayName);
    endResetModel();
}

int MapsListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant MapsListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_names[index.row()];
    return {};
}

KeyValueGridModel::KeyValueGridModel(QObject *parent) : QAbstractTableModel(parent)
{}

void KeyValueGridModel::setTitles(const QString &key, const QString &value)
{
    m_titles[0] = key;
    m_titles[1] = value;
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void KeyValueGridModel::setRows(const QStringList &rows)
{
    if (rows.size() == m_rows.size()) {
        m_rows = rows;
        if (!rows.isEmpty())
            emit dataChanged(index(0, 0), index(int(rows.size()) - 1, 1));
        return;
    }
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int KeyValueGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int KeyValueGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant KeyValueGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const QString &row = m_rows[index.row()];
        return index.column() == 0 ? KeyOf(row) : ValueOf(row);
    }
    return {};
}

QVariant KeyValueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
        return m_titles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags KeyValueGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return Qt::NoItemFlags;
    if (index.column() == 0 && index.row() < m_fixedRows)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool KeyValueGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return true;
    std::optional<QString> line;
    if (writer)
        line = writer(index.row(), index.column(), text);
    // The writer may have reloaded the rows; a refused or vanished row keeps what it shows.
    if (!line || index.row() >= m_rows.size())
        return false;
    m_rows[index.row()] = *line;
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(1));
    return true;
}

} // namespace tervelle
