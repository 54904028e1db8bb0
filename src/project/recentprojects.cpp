#include "project/recentprojects.h"

#include "core/settingsstore.h"

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
