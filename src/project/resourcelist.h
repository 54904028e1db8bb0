#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

namespace tervelle {

class ProjectModel;

// One row of the resources list: the name the file gets in the pack, the folder it lies in and
// the full path it was added with (the row's identity).
struct ResourceEntry
{
    QString name;
    QString folder;
    QString fullPath;
};

// A full path with its hash worked out once: growing the set then moves hashes instead of
// hashing every path again, and a probe that meets another path compares numbers first.
struct ResourcePathKey
{
    explicit ResourcePathKey(const QString &path);
    QString path;
    size_t hash;
    bool operator==(const ResourcePathKey &other) const { return hash == other.hash && path == other.path; }
};
inline size_t qHash(const ResourcePathKey &key, size_t salt = 0) noexcept
{
    return key.hash ^ salt;
}

// The staging list of files the map maker collects before placing them in the tree. Not part of
// the project: a new project empties it, opening one keeps it. Rows stay in insertion order.
//
// The signals come in about-to/done pairs so that an item model can wrap the list.
class ResourceList : public QObject
{
    Q_OBJECT

public:
    explicit ResourceList(QObject *parent = nullptr);

    // Empties the list whenever the project is replaced by a new one; an opened project keeps it.
    void followProject(const ProjectModel &model);

    int count() const { return int(m_entries.size()); }
    const ResourceEntry &entry(int row) const { return m_entries[row]; }
    const QVector<ResourceEntry> &entries() const { return m_entries; }
    // Full paths compare exactly: another letter case is another file.
    bool contains(const QString &fullPath) const { return m_paths.contains(ResourcePathKey(fullPath)); }

    // Appends the file at `path` unless a row has exactly that full path. True when appended.
    bool AddNewResource(const QString &path);
    // The same with the folder and name already split off, as a folder scan has them; `folder`
    // is shared by every file of one folder.
    bool addSplitResource(const QString &folder, const QString &name, const QString &fullPath);

    // Names the row `typedBase` + the row's extension (the rename prompt shows the name
    // withoutExtension); folder and full path stay. Throws UserError when the result cannot be a
    // Windows file name, since it becomes a file in the pack.
    void rename(int row, const QString &typedBase);

    // Removes the given rows (any order, repeats allowed).
    void removeRows(QVector<int> rows);
    void clear();

    // The folder shown for a full path: the path without its last component and the separator
    // before it, except that a file in a root keeps the root with its separator.
    static QString folderOf(const QString &path);
    static QString fileNameOf(const QString &path);

signals:
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void aboutToBeReset();
    void reset();
    void rowChanged(int row);

private:
    QVector<ResourceEntry> m_entries;
    QSet<ResourcePathKey> m_paths;
};

} // namespace tervelle

Q_DECLARE_TYPEINFO(tervelle::ResourceEntry, Q_RELOCATABLE_TYPE);
