#pragma once

#include "project/projectmodel.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>

#include <functional>
#include <optional>

namespace tervelle {

// Item models that show the project in the panels' views. The project announces its changes
// after they happened; each model keeps the copy its views were last told about, so rows are
// inserted and removed between the proper begin and end calls.

// The maps by display name.
class MapsListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit MapsListModel(const ProjectModel &project, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void reload();

    const ProjectModel &m_project;
    QStringList m_names;
};

// Key/value rows as a two-column grid with a title row ("Key", "Value"). The rows are held
// here; the header grid follows the project's header, the properties grid is a working copy.
class KeyValueGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit KeyValueGridModel(QObject *parent = nullptr);

    void setTitles(const QString &key, const QString &value);
    const QStringList &rows() const { return m_rows; }
    void setRows(const QStringList &rows);
    // The first rows keep their keys: their key cells can be neither made current nor edited.
    void setFixedRows(int count) { m_fixedRows = count; }
    int fixedRows() const { return m_fixedRows; }

    // Hands an edited cell (column 0 key, 1 value) on to the project; returns the row's new
    // line, or nothing when the edit was refused (the writer has told the user why).
    std::function<std::optional<QString>(int row, int column, const QString &text)> writer;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QStringList m_rows;
    QString m_titles[2];
    int m_fixedRows = 0;
};

} // namespace tervelle
