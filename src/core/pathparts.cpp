#include "core/pathparts.h"

#include <algorithm>

namespace tervelle {

qsizetype lastSeparator(const QString &path)
{
#ifdef Q_OS_WIN
    return lastWindowsSeparator(path);
#else
    return path.lastIndexOf(QLatin1Char('/'));
#endif
}

qsizetype lastWindowsSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

QString extensionOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > lastSeparator(path) ? path.mid(dot) : QString();
}

QString withoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

} // namespace tervelle
