#include "project/recovery.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace tervelle {

namespace {

// "2026-05-01 14-03-59-01 name (⁄home⁄ann⁄maps).mpr": the stamp sorts by time, the two-digit
// counter keeps two copies of one second apart, and the project's folder follows its name with
// each "/" written as a fraction slash, which file names may hold.
const int CopiesPerSecond = 99;
constexpr int StampLength = 22;
const QChar FolderSlash(0x2044);
// Room for the folder in a name of at most 255 bytes, each fraction slash taking three.
constexpr int FolderRoom = 60;

const QRegularExpression &copyNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2}-\\d{2} .*\\.mpr$"));
    return pattern;
}

// The project's name as a part of a file name: characters no file name may hold become "_".
QString safeBaseName(const QString &baseName, int length = 60)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QString safe;
    for (const QChar c : baseName.left(length))
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
        throw UserError(lang(LangKey::message_Recovery_FolderNotCreated, {{'f', QDir::toNativeSeparators(folder)}}));
    }
    if ((QFile::permissions(folder) & Others) && !QFile::setPermissions(folder, OwnerFolder)) {
        throw UserError(lang(LangKey::message_Recovery_FolderOpenToOthers, {{'f', QDir::toNativeSeparators(folder)}}));
    }
}

// False when a file of that name exists already: the caller tries the next name.
bool writeNewFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerFile)) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            return false;
        throw UserError(lang(LangKey::message_Recovery_NotWritten,
                             {{'f', QDir::toNativeSeparators(path)}, {'r', file.errorString()}}));
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (!written) {
        // Half a project is no recovery copy.
        file.remove();
        throw UserError(
            lang(LangKey::message_Recovery_NotWritten, {{'f', QDir::toNativeSeparators(path)}, {'r', reason}}));
    }
    return true;
}

// The copies' names, newest first. Only the stamp orders them: two copies of one second differ
// by their counter.
QStringList copyNames(const QDir &dir)
{
    QStringList copies = dir.entryList({QStringLiteral("*.mpr")}, QDir::Files);
    copies.erase(std::remove_if(copies.begin(), copies.end(),
                                [](const QString &name) { return !copyNamePattern().match(name).hasMatch(); }),
                 copies.end());
    std::sort(copies.begin(), copies.end(),
              [](const QString &a, const QString &b) { return a.left(StampLength) > b.left(StampLength); });
    return copies;
}

// What tells the copies of one project from another's: the name after the stamp.
QString projectOf(const QString &copyName)
{
    return copyName.mid(StampLength + 1);
}

void deleteOldCopies(const QString &folder, const QString &written)
{
    QDir dir(folder);
    const QStringList copies = copyNames(dir);
    const QString project = projectOf(written);
    QHash<QString, int> kept; // copies kept so far, by project
    qint64 bytes = 0;
    for (const QString &name : copies) {
        const QString path = dir.filePath(name);
        const QString of = projectOf(name);
        const int limit = of == project ? RecoveryCopiesPerProject : 1;
        const qint64 size = QFileInfo(path).size();
        const bool keep = name == written || (kept.value(of) < limit && bytes + size <= RecoveryFolderBound);
        if (!keep) {
            dir.remove(name);
            continue;
        }
        kept[of] += 1;
        bytes += size;
        if (QFile::permissions(path) & Others)
            QFile::setPermissions(path, OwnerFile);
    }
}

// The name part of a copy for `project`: a path's base name and folder, or the name as it is.
QString projectPart(const QString &project)
{
    if (!QDir::isAbsolutePath(project))
        return safeBaseName(project);
    const QFileInfo file(project);
    QString folder = QDir::fromNativeSeparators(file.absolutePath());
    if (folder.size() > FolderRoom)
        folder = QStringLiteral("...") + folder.right(FolderRoom);
    folder.replace(QLatin1Char('/'), FolderSlash);
    return safeBaseName(file.completeBaseName()) + QStringLiteral(" (") + safeBaseName(folder, FolderRoom + 3)
        + QLatin1Char(')');
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

QString saveRecoveryCopy(const QByteArray &projectBytes, const QString &project)
{
    const QString folder = recoveryFolder();
    makeFolder(folder);

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QString name = projectPart(project);
    // One counter per second for all projects, past the highest of this second (the newest copy,
    // which is always kept), so the newest copy sorts first.
    int highest = 0;
    for (const QString &taken :
         QDir(folder).entryList({stamp + QStringLiteral("-* *")}, QDir::Files | QDir::System | QDir::Hidden))
        highest = std::max(highest, taken.mid(StampLength - 2, 2).toInt());
    for (int counter = highest + 1; counter <= CopiesPerSecond; ++counter) {
        const QString prefix = stamp + QLatin1Char('-') + QStringLiteral("%1").arg(counter, 2, 10, QLatin1Char('0'));
        QString path = folder + prefix + QLatin1Char(' ') + name + QStringLiteral(".mpr");
        if (!writeNewFile(path, projectBytes))
            continue;
        deleteOldCopies(folder, QFileInfo(path).fileName());
        return path;
    }
    throw UserError(lang(LangKey::message_Recovery_TooMany, {{'f', QDir::toNativeSeparators(folder)}}));
}

QList<RecoveryCopy> recoveryCopies()
{
    const QDir dir(recoveryFolder());
    QList<RecoveryCopy> result;
    static const QRegularExpression withFolder(QStringLiteral("^(.*) \\((.*)\\)\\.mpr$"));
    for (const QString &name : copyNames(dir)) {
        RecoveryCopy copy;
        copy.file = dir.filePath(name);
        copy.time = QDateTime::fromString(name.left(StampLength - 3), QStringLiteral("yyyy-MM-dd HH-mm-ss"));
        const QString part = projectOf(name);
        const QRegularExpressionMatch match = withFolder.match(part);
        if (match.hasMatch() && match.captured(2).contains(FolderSlash)) {
            QString folder = match.captured(2);
            folder.replace(FolderSlash, QLatin1Char('/'));
            copy.project =
                QDir::toNativeSeparators(folder + QLatin1Char('/') + match.captured(1) + QStringLiteral(".mpr"));
            copy.saved = true;
        } else {
            copy.project = part.chopped(4);
        }
        result << copy;
    }
    return result;
}

} // namespace tervelle
