#include "core/privatepath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tervelle {

bool isPrivatePath(const QString &path)
{
    // Most paths hold no part beginning with "." and lie outside the system folders.
    bool dotted = false;
    QChar before = QLatin1Char('/');
    for (const QChar c : path) {
        if (c == QLatin1Char('.') && (before == QLatin1Char('/') || before == QLatin1Char('\\'))) {
            dotted = true;
            break;
        }
        before = c;
    }
    // "//etc" and "/./etc" are /etc too: the folding below decides.
    if (!dotted && !path.contains(QLatin1String("etc")) && !path.contains(QLatin1String("proc"))
        && !path.contains(QLatin1String("sys")) && !path.contains(QLatin1String("dev")))
        return false;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    for (const char *system : {"/etc", "/proc", "/sys", "/dev"}) {
        const QLatin1String folder(system);
        if (clean == folder || clean.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].startsWith(QLatin1Char('.')) && parts[i] != QLatin1String(".."))
            return true;
    }
    return false;
}

QString reachedPath(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    return QFileInfo(path).canonicalFilePath();
}

PrivateSource judgePrivateSource(const QString &path)
{
    PrivateSource judged;
    const QString reached = reachedPath(path);
    if (!reached.isEmpty() && reached != QDir::cleanPath(path))
        judged.reached = reached;
    judged.isPrivate = isPrivatePath(path) || (!judged.reached.isEmpty() && isPrivatePath(judged.reached));
    return judged;
}

} // namespace tervelle
