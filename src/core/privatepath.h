#pragma once

#include <QString>

namespace tervelle {

// True when the path lies in a hidden folder or is a hidden file (a part beginning with ".") or under /etc, /proc,
// /sys or /dev: a project from someone else can name any file of the build machine, and the
// installer would publish it.
bool isPrivatePath(const QString &path);

// The path a source reaches: every link followed and "//", "." and ".." folded, as the compiler
// will open it. Empty when the path does not lead to anything.
QString reachedPath(const QString &path);

// A source the installer would publish from a hidden or system folder, judged by the path as
// written and by the path it reaches: a link or a doubled slash must not hide what is packed.
struct PrivateSource
{
    bool isPrivate = false;
    QString reached; // the path it reaches, when that differs from the path as written
};
PrivateSource judgePrivateSource(const QString &path);

} // namespace tervelle
