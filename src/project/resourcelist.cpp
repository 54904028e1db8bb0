#include "project/resourcelist.h"

#include "core/langload.h"
#include "core/namerule.h"
#include "core/pathparts.h"
#include "project/projectmodel.h"

#include <algorithm>

namespace tervelle {

namespace {

// True when path.left(end) names a root ("" for "/" on Unix, "C:" on Windows), whose separator
// must stay or the folder would read as the current folder of a drive.
bool isRootBefore(const QString &path, qsizetype end)
{
    if (end == 0)
        return true;
#ifdef Q_OS_WIN
    return end == 2 && path.at(1) == QLatin1Char(':');
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

ResourcePathKey::ResourcePathKey(const QString &path) : path(path), hash(qHash(path))
{}

ResourceList::ResourceList(QObject *parent) : QObject(parent)
{}

void ResourceList::followProject(const ProjectModel &model)
{
    connect(&model, &ProjectModel::projectReset, this, [this](ResetKind kind) {
        if (kind == ResetKind::New)
            clear();
    });
}

QString ResourceList::folderOf(const QString &path)
{
    const qsizetype separator = lastSeparator(path);
    if (separator < 0)
        return QString();
    return path.left(isRootBefore(path, separator) ? separator + 1 : separator);
}

QString ResourceList::fileNameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

bool ResourceList::AddNewResource(const QString &path)
{
    return addSplitResource(folderOf(path), fileNameOf(path), path);
}

bool ResourceList::addSplitResource(const QString &folder, const QString &name, const QString &fullPath)
{
    // A hash of the full paths keeps a scan of many thousand files from comparing each new
    // path with every row.
    const qsizetype before = m_paths.size();
    m_paths.insert(ResourcePathKey(fullPath));
    if (m_paths.size() == before)
        return false;
    const int row = count();
    emit rowsAboutToBeInserted(row, row);
    m_entries.append(ResourceEntry{name, folder, fullPath});
    emit rowsInserted(row, row);
    return true;
}

void ResourceList::rename(int row, const QString &typedBase)
{
    ResourceEntry &entry = m_entries[row];
    const QString name = typedBase + extensionOf(entry.name);
    requireWindowsName(lang(LangKey::message_Subject_FileName), name);
    if (name == entry.name)
        return;
    entry.name = name;
    emit rowChanged(row);
}

void ResourceList::removeRows(QVector<int> rows)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= count(); }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the last row to the first, one contiguous run at a time, so earlier rows keep their
    // numbers and a large selection costs one move per run.
    qsizetype i = rows.size();
    while (i > 0) {
        const int last = rows[--i];
        int first = last;
        while (i > 0 && rows[i - 1] == first - 1)
            first = rows[--i];
        emit rowsAboutToBeRemoved(first, last);
        for (int row = first; row <= last; ++row)
            m_paths.remove(ResourcePathKey(m_entries[row].fullPath));
        m_entries.remove(first, last - first + 1);
        emit rowsRemoved(first, last);
    }
}

void ResourceList::clear()
{
    emit aboutToBeReset();
    m_entries.clear();
    m_paths.clear();
    emit reset();
}

} // namespace tervelle
