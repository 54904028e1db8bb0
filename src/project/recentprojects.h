#pragma once

#include <QStringList>

namespace tervelle {

// The projects last opened or saved, newest first, for File, Open recent. Kept in the editor's
// settings, one value per entry.
namespace RecentProjects {

inline constexpr int MaxCount = 10;

// `paths` with `path` in front: an earlier entry of the same path goes, and so do the oldest
// beyond ten. An empty path changes nothing.
QStringList withProject(QStringList paths, const QString &path);
QStringList withoutProject(QStringList paths, const QString &path);

// What the menu shows of each path: its file name and as much of its folder, from the end,
// as tells it from every other entry of the same file name ("demo.mpr (maps/arctic)").
QStringList labels(const QStringList &paths);

QStringList load();
void store(const QStringList &paths);

} // namespace RecentProjects

} // namespace tervelle
