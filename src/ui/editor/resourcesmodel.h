#pragma once

#include "project/resourcelist.h"

#include <QAbstractTableModel>

namespace tervelle {

class ProjectModel;

// `lstResources`' rows: the core's resources list as two columns (file, path) with one icon per
// row. Rows drag out as a token that only this list's own files tree accepts.
//
// While inserts are held (a folder scan), rows appended to the list reach the views only at
// flush(): a view told about each of many thousand rows one by one would lay itself out again
// for every one.
class ResourcesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResourcesModel(const ProjectModel &project, QObject *parent = nullptr);

    ResourceList &list() { return m_list; }
    const ResourceList &list() const { return m_list; }

    void setTitles(const QString &file, const QString &path);

    void holdInserts(bool hold);
    void flush();

    // The drag format of resource rows, and whether dropped data came from this model.
    static QString dragFormat();
    bool isOwnDrag(const QMimeData *data) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QByteArray dragToken() const;

    ResourceList m_list;
    int m_shown = 0; // rows the views know of
    bool m_holding = false;
    QString m_titles[2];
};

} // namespace tervelle
