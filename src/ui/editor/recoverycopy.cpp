#include "ui/editor/recoverycopy.h"

#include "core/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tervelle {

QString recoveryFolder()
{
#ifdef Q_OS_WIN
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return base + QStringLiteral("/Orbeck/Tervelle/recovery");
}

QString writeRecoveryCopy(const QByteArray &projectBytes, int keep)
{
    const QString folder = recoveryFolder();
    if (!QDir().mkpath(folder))
        throw UserError(QStringLiteral("Cannot create the recovery folder \"%1\".").arg(QDir::toNativeSeparators(folder)));

    // Names sort by time; copies within the same millisecond are told apart by a counter.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString path;
    for (int n = 1; path.isEmpty() || QFileInfo::exists(path); ++n)
        path = folder + QStringLiteral("/project-%1-%2.mpr").arg(stamp).arg(n, 3, 10, QLatin1Char('0'));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(projectBytes) != projectBytes.size() || !file.commit())
        throw UserError(QStringLiteral("Cannot write the recovery copy \"%1\": %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));

    const QFileInfoList copies = QDir(folder).entryInfoList({QStringLiteral("project-*.mpr")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + keep < copies.size(); ++i)
        QFile::remove(copies[i].absoluteFilePath());
    return path;
}

} // namespace tervelle
