#include "project/recentprojects.h"

#include "core/settingsstore.h"

#include <QDir>

#include <algorithm>

namespace tervelle::RecentProjects {

namespace {

QString valueName(int i)
{
    return QStringLiteral("RecentProject%1").arg(i + 1);
}

} // namespace

QStringList withProject(QStringList paths, const QString &path)
{
    if (path.isEmpty())
        return paths;
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > MaxCount)
        paths.removeLast();
    return paths;
}

QStringList withoutProject(QStringList paths, const QString &path)
{
    paths.removeAll(path);
    return paths;
}

QStringList labels(const QStringList &paths)
{
    // Each path as its folders, file name last; "/" and "\\" alike, as either may be stored.
    QList<QStringList> parts;
    for (const QString &path : paths)
        parts << QDir::fromNativeSeparators(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const auto folderTail = [&](qsizetype entry, qsizetype depth) {
        const QStringList &p = parts[entry];
        const qsizetype folders = p.size() - 1;
        const qsizetype from = std::max<qsizetype>(0, folders - depth);
        QString tail = QStringList(p.mid(from, folders - from)).join(QLatin1Char('/'));
        return from > 0 ? tail : QStringLiteral("/") + tail;
    };
    QStringList result;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString name = parts[i].value(parts[i].size() - 1);
        // One folder at least; more while another entry of that name would read the same.
        qsizetype depth = 1;
        for (;; ++depth) {
            bool clash = false;
            for (qsizetype j = 0; j < paths.size() && !clash; ++j) {
                clash = j != i && parts[j].value(parts[j].size() - 1) == name
                    && folderTail(j, depth) == folderTail(i, depth);
            }
            if (!clash || depth >= parts[i].size() - 1)
                break;
        }
        result << QStringLiteral("%1 (%2)").arg(name, QDir::toNativeSeparators(folderTail(i, depth)));
    }
    return result;
}

QStringList load()
{
    const SettingsStore store(SettingsStore::Key::Editor);
    QStringList paths;
    for (int i = 0; i < MaxCount; ++i) {
        const QString path = store.readString(valueName(i));
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

void store(const QStringList &paths)
{
    SettingsStore store(SettingsStore::Key::Editor);
    // Every place is written, so entries taken off do not come back from an earlier run.
    for (int i = 0; i < MaxCount; ++i)
        store.writeString(valueName(i), i < paths.size() ? paths[i] : QString());
}

} // namespace tervelle::RecentProjects
