#include "trial/trialresult.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace tervelle {

namespace {

// Each file by its path in lower case, as the installer's file system finds it.
using FoldedFiles = QHash<QString, std::map<QString, FileState>::const_iterator>;

FoldedFiles folded(const FolderSnapshot &snapshot)
{
    FoldedFiles files;
    for (auto it = snapshot.files.begin(); it != snapshot.files.end(); ++it)
        files.insert(it->first.toLower(), it);
    return files;
}

bool inBackupFolder(const QString &path)
{
    const QStringList names = path.split(QLatin1Char('/'));
    return std::any_of(names.begin(), names.end() - 1, [](const QString &name) {
        return name.compare(QLatin1String("backup"), Qt::CaseInsensitive) == 0;
    });
}

QString fileName(const QString &path)
{
    return path.section(QLatin1Char('/'), -1);
}

int placeIndex(TrialPlace place)
{
    return int(place);
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

QString fateText(const TrialEntry &entry)
{
    switch (entry.after) {
    case TrialEntry::Removed: return QStringLiteral("removed by uninstall");
    case TrialEntry::Stays: return QStringLiteral("stays after uninstall");
    case TrialEntry::Restored: return QStringLiteral("restored by uninstall");
    case TrialEntry::NotRestored: return QStringLiteral("NOT restored by uninstall: the pack's version stays");
    }
    return {};
}

QString mismatchText(const TrialMismatch &mismatch)
{
    QString where = placeName(mismatch.place) + QLatin1Char(' ') + windowsPath(mismatch.path);
    const QString node = mismatch.node.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(mismatch.node);
    switch (mismatch.kind) {
    case TrialMismatch::Elsewhere:
        return QStringLiteral("landed elsewhere: %1%2 is at %3").arg(where, node, windowsPath(mismatch.other));
    case TrialMismatch::Missing: return QStringLiteral("did not land: %1%2").arg(where, node);
    case TrialMismatch::OtherBytes: return QStringLiteral("landed with other bytes: %1%2").arg(where, node);
    case TrialMismatch::Unasked: return QStringLiteral("written though the project has no such file: %1").arg(where);
    case TrialMismatch::RemovedByInstall: return QStringLiteral("removed by the installer: %1").arg(where);
    case TrialMismatch::LostByUninstall:
        return QStringLiteral("a file the player had is gone after uninstall: %1").arg(where);
    }
    return where;
}

int TrialResult::count(TrialEntry::Change change) const
{
    return int(
        std::count_if(entries.begin(), entries.end(), [change](const TrialEntry &e) { return e.change == change; }));
}

QString placeName(TrialPlace place)
{
    switch (place) {
    case TrialPlace::Game: return QStringLiteral("game");
    case TrialPlace::Launcher: return QStringLiteral("launcher");
    case TrialPlace::Install: return QStringLiteral("install folder");
    }
    return {};
}

QString windowsPath(const QString &relative)
{
    return QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

void judgeTrial(TrialResult &result, const std::vector<ExpectedFile> &expected, const TrialSnapshots &before,
                const TrialSnapshots &afterInstall, const TrialSnapshots &afterUninstall)
{
    result.entries.clear();
    result.mismatches.clear();
    result.writtenBytes = 0;

    std::array<QHash<QString, const ExpectedFile *>, 3> asked;
    for (const ExpectedFile &file : expected)
        asked[std::size_t(placeIndex(file.place))].insert(file.path.toLower(), &file);

    for (const TrialPlace place : {TrialPlace::Game, TrialPlace::Launcher, TrialPlace::Install}) {
        const auto p = std::size_t(placeIndex(place));
        const FoldedFiles earlier = folded(before[p]);
        const FoldedFiles later = folded(afterUninstall[p]);
        std::vector<TrialEntry> backups;
        std::vector<TrialEntry> changed;
        for (const auto &[path, state] : afterInstall[p].files) {
            const auto old = earlier.constFind(path.toLower());
            const bool existed = old != earlier.cend();
            if (existed && old.value()->second == state)
                continue;
            result.writtenBytes += state.size;
            TrialEntry entry;
            entry.place = place;
            entry.path = path;
            entry.size = state.size;
            if (place == TrialPlace::Install) {
                entry.change = TrialEntry::InstallerOwn;
            } else if (!existed && inBackupFolder(path)) {
                entry.change = TrialEntry::Backup;
            } else {
                entry.change = existed ? TrialEntry::Replaced : TrialEntry::Written;
                if (const ExpectedFile *file = asked[p].value(path.toLower())) {
                    entry.node = file->node;
                    entry.absoluteIndex = file->absoluteIndex;
                } else {
                    result.mismatches.push_back({TrialMismatch::Unasked, place, path, {}, {}});
                }
            }
            const auto now = later.constFind(path.toLower());
            if (now == later.cend())
                entry.after = TrialEntry::Removed;
            else if (entry.change == TrialEntry::Replaced)
                entry.after =
                    now.value()->second == old.value()->second ? TrialEntry::Restored : TrialEntry::NotRestored;
            else
                entry.after = TrialEntry::Stays;
            if (entry.change == TrialEntry::Replaced && entry.after == TrialEntry::Removed)
                result.mismatches.push_back({TrialMismatch::LostByUninstall, place, path, entry.node, {}});
            (entry.change == TrialEntry::Backup ? backups : changed).push_back(entry);
        }
        // A backup is the new file under a backup folder that holds the replaced file's bytes;
        // the one nearest to the file is taken.
        for (TrialEntry &entry : changed) {
            if (entry.change != TrialEntry::Replaced)
                continue;
            const FileState &old = earlier.value(entry.path.toLower())->second;
            const QString folder = entry.path.section(QLatin1Char('/'), 0, -2);
            int best = -1;
            for (const TrialEntry &backup : backups) {
                if (afterInstall[p].files.at(backup.path) != old)
                    continue;
                const int near = backup.path.startsWith(folder, Qt::CaseInsensitive) ? 1 : 0;
                if (near > best) {
                    best = near;
                    entry.backup = backup.path;
                }
            }
        }
        // What the installer removed, and what the player had that uninstall took away.
        const FoldedFiles installed = folded(afterInstall[p]);
        for (const auto &file : before[p].files) {
            const QString &path = file.first;
            if (!installed.contains(path.toLower()))
                result.mismatches.push_back({TrialMismatch::RemovedByInstall, place, path, {}, {}});
            else if (!later.contains(path.toLower())
                     && std::none_of(changed.begin(), changed.end(), [&](const TrialEntry &e) {
                            return e.path.compare(path, Qt::CaseInsensitive) == 0;
                        }))
                result.mismatches.push_back({TrialMismatch::LostByUninstall, place, path, {}, {}});
        }
        for (const QString &folder : afterInstall[p].folders) {
            if (before[p].folders.count(folder))
                continue;
            TrialEntry entry;
            entry.change = TrialEntry::FolderCreated;
            entry.place = place;
            entry.path = folder;
            entry.after = afterUninstall[p].folders.count(folder) ? TrialEntry::Stays : TrialEntry::Removed;
            result.entries.push_back(entry);
        }
        result.entries.insert(result.entries.end(), changed.begin(), changed.end());
        result.entries.insert(result.entries.end(), backups.begin(), backups.end());
    }

    // Each file the project names: landed with its bytes, with other bytes, elsewhere, or not.
    for (const ExpectedFile &file : expected) {
        const auto p = std::size_t(placeIndex(file.place));
        const FoldedFiles installed = folded(afterInstall[p]);
        const auto landed = installed.constFind(file.path.toLower());
        if (landed != installed.cend()) {
            if (landed.value()->second != file.state)
                result.mismatches.push_back({TrialMismatch::OtherBytes, file.place, file.path, file.node, {}});
            continue;
        }
        TrialMismatch mismatch{TrialMismatch::Missing, file.place, file.path, file.node, {}};
        for (const TrialEntry &entry : result.entries) {
            if (entry.change == TrialEntry::Written && entry.node.isEmpty()
                && fileName(entry.path).compare(fileName(file.path), Qt::CaseInsensitive) == 0) {
                mismatch.kind = TrialMismatch::Elsewhere;
                mismatch.other = placeName(entry.place) + QLatin1Char(' ') + entry.path;
                break;
            }
        }
        result.mismatches.push_back(mismatch);
    }
}

QStringList resultLines(const TrialResult &result)
{
    QStringList lines;
    if (result.outcome != TrialResult::Done)
        lines << QStringLiteral("error: %1").arg(result.failure);
    for (const TrialMismatch &mismatch : result.mismatches)
        lines << QStringLiteral("error: %1").arg(mismatchText(mismatch));

    lines << QStringLiteral("Installer: %1").arg(result.installer);
    lines << QStringLiteral("Stand-in launcher folder: %1").arg(result.launcherFolder);
    if (result.mirroredGame.isEmpty()) {
        lines << QStringLiteral("Stand-in game folder: %1 (no game folder known: its usual folders only, so "
                                "replaced game files cannot be seen)")
                     .arg(result.gameFolder);
    } else {
        lines << QStringLiteral("Stand-in game folder: %1 (%2 empty placeholders named as in %3)")
                     .arg(result.gameFolder)
                     .arg(result.placeholders)
                     .arg(result.mirroredGame);
    }
    if (!result.keptIn.isEmpty())
        lines << QStringLiteral("Stand-in machine kept in %1").arg(result.keptIn);

    if (!result.entries.empty() || result.outcome == TrialResult::Done) {
        lines << QStringLiteral("%1 files written, %2 replaced, %3 backups, %4 folders created")
                     .arg(result.count(TrialEntry::Written))
                     .arg(result.count(TrialEntry::Replaced))
                     .arg(result.count(TrialEntry::Backup))
                     .arg(result.count(TrialEntry::FolderCreated));
    }
    for (const TrialEntry &entry : result.entries) {
        const QString where = placeName(entry.place) + QLatin1Char(' ') + windowsPath(entry.path);
        QString line;
        switch (entry.change) {
        case TrialEntry::Written:
        case TrialEntry::Replaced:
            line =
                QStringLiteral("%1 %2, %3")
                    .arg(entry.change == TrialEntry::Written ? QStringLiteral("written") : QStringLiteral("replaced"),
                         where, sizeText(entry.size));
            line += entry.node.isEmpty() ? QStringLiteral(", asked for by no node")
                                         : QStringLiteral(", from %1").arg(entry.node);
            if (entry.change == TrialEntry::Replaced)
                line += entry.backup.isEmpty() ? QStringLiteral(", no backup kept")
                                               : QStringLiteral(", backup %1").arg(windowsPath(entry.backup));
            break;
        case TrialEntry::Backup: line = QStringLiteral("backup %1, %2").arg(where, sizeText(entry.size)); break;
        case TrialEntry::InstallerOwn:
            line = QStringLiteral("installer's own %1, %2").arg(where, sizeText(entry.size));
            break;
        case TrialEntry::FolderCreated: line = QStringLiteral("folder created %1\\").arg(where); break;
        }
        lines << QStringLiteral("  %1; %2").arg(line, fateText(entry));
    }
    lines << QStringLiteral("Disk use: %1 for the stand-in machine, %2 written by the installer")
                 .arg(sizeText(result.machineBytes), sizeText(result.writtenBytes));
    QString times = QStringLiteral("Install %1 s, uninstall %2 s")
                        .arg(result.installSeconds, 0, 'f', 1)
                        .arg(result.uninstallSeconds, 0, 'f', 1);
    if (result.templateSeconds >= 0)
        times += QStringLiteral(", making the stand-in machine's template %1 s").arg(result.templateSeconds, 0, 'f', 1);
    lines << times;
    if (result.outcome != TrialResult::Done && !result.log.isEmpty()) {
        lines << QStringLiteral("The installer's log:");
        for (const QString &line : result.log)
            lines << QStringLiteral("  ") + line;
    }
    lines << (result.matched() ? QStringLiteral("The installer did what the project says.")
                               : QStringLiteral("error: the installer did not do what the project says"));
    return lines;
}

} // namespace tervelle
