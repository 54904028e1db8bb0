#include "project/recovery.h"

#include "core/errors.h"
#include "core/namerule.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace tervelle {

namespace {

// "2026-05-01 14-03-59-01 name.mpr": the stamp sorts by time, the two-digit counter keeps two
// copies of one second apart.
const int CopiesPerSecond = 99;

const QRegularExpression &copyNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2}-\\d{2} .*\\.mpr$"));
    return pattern;
}

// The project's name as a part of a file name: characters no file name may hold become "_".
QString safeBaseName(const QString &baseName)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString safe;
    for (const QChar c : baseName.left(60))
        safe += (isControlCharacter(c) || forbidden.contains(c)) ? QLatin1Char('_') : c;
    while (safe.endsWith(QLatin1Char(' ')) || safe.endsWith(QLatin1Char('.')))
        safe.chop(1);
    return safe.trimmed().isEmpty() ? QStringLiteral("project") : safe;
}

QString defaultStateHome()
{
    return QDir::homePath() + QStringLiteral("/.local/state");
}

constexpr QFileDevice::Permissions OwnerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions OwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions Others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

// Projects may hold private paths; the copies are for their owner only, also where an earlier
// version left the folder or the copies readable by others.
void makeFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        throw UserError(
            QStringLiteral("The recovery folder \"%1\" could not be created.").arg(QDir::toNativeSeparators(folder)));
    }
    if ((QFile::permissions(folder) & Others) && !QFile::setPermissions(folder, OwnerFolder)) {
        throw UserError(
            QStringLiteral("The recovery folder \"%1\" is open to other users and cannot be closed to them.")
                .arg(QDir::toNativeSeparators(folder)));
    }
}

// False when a file of that name exists already: the caller tries the next name.
bool writeNewFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerFile)) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            return false;
        throw UserError(QStringLiteral("The recovery copy \"%1\" could not be written: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (!written) {
        // Half a project is no recovery copy.
        file.remove();
        throw UserError(QStringLiteral("The recovery copy \"%1\" could not be written: %2")
                            .arg(QDir::toNativeSeparators(path), reason));
    }
    return true;
}

void deleteOldCopies(const QString &folder)
{
    QDir dir(folder);
    QStringList copies = dir.entryList({QStringLiteral("*.mpr")}, QDir::Files);
    copies.erase(std::remove_if(copies.begin(), copies.end(),
                                [](const QString &name) { return !copyNamePattern().match(name).hasMatch(); }),
                 copies.end());
    // Only the stamp orders the copies: two copies of one second differ by their counter.
    std::sort(copies.begin(), copies.end(), [](const QString &a, const QString &b) { return a.left(22) > b.left(22); });
    for (int i = RecoveryCopiesKept; i < copies.size(); ++i)
        dir.remove(copies.at(i));
    for (int i = 0; i < std::min<qsizetype>(RecoveryCopiesKept, copies.size()); ++i) {
        const QString path = dir.filePath(copies.at(i));
        if (QFile::permissions(path) & Others)
            QFile::setPermissions(path, OwnerFile);
    }
}

} // namespace

QString recoveryFolder()
{
#ifdef Q_OS_WIN
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    // Relative values are to be ignored, as the base directory rules say.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = defaultStateHome();
#endif
    return QDir::cleanPath(base) + QStringLiteral("/Orbeck/Tervelle/recovery/");
}

QString saveRecoveryCopy(const QByteArray &projectBytes, const QString &baseName)
{
    const QString folder = recoveryFolder();
    makeFolder(folder);

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QString name = safeBaseName(baseName);
    for (int counter = 1; counter <= CopiesPerSecond; ++counter) {
        QString path = folder + stamp + QLatin1Char('-') + QStringLiteral("%1").arg(counter, 2, 10, QLatin1Char('0'))
            + QLatin1Char(' ') + name + QStringLiteral(".mpr");
        if (!writeNewFile(path, projectBytes))
            continue;
        deleteOldCopies(folder);
        return path;
    }
    throw UserError(QStringLiteral("No recovery copy could be written in \"%1\": too many copies in one second.")
                        .arg(QDir::toNativeSeparators(folder)));
}

} // namespace tervelle
