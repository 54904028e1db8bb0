#include "trial/trialresult.h"

#include "core/langload.h"
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
    case TrialEntry::Removed: return lang(LangKey::message_Trial_Fate_Removed);
    case TrialEntry::Stays: return lang(LangKey::message_Trial_Fate_Stays);
    case TrialEntry::Restored: return lang(LangKey::message_Trial_Fate_Restored);
    case TrialEntry::NotRestored: return lang(LangKey::message_Trial_Fate_NotRestored);
    }
    return {};
}

QString mismatchText(const TrialMismatch &mismatch)
{
    QString where = placeName(mismatch.place) + QLatin1Char(' ') + windowsPath(mismatch.path);
    // The place, and the node that asked for the file.
    const QString asked = mismatch.node.isEmpty() ? where : where + QStringLiteral(" (%1)").arg(mismatch.node);
    switch (mismatch.kind) {
    case TrialMismatch::Elsewhere:
        return lang(LangKey::message_Trial_Mismatch_Elsewhere, {{'f', asked}, {'g', windowsPath(mismatch.other)}});
    case TrialMismatch::Missing: return lang(LangKey::message_Trial_Mismatch_Missing, {{'f', asked}});
    case TrialMismatch::OtherBytes: return lang(LangKey::message_Trial_Mismatch_OtherBytes, {{'f', asked}});
    case TrialMismatch::Unasked: return lang(LangKey::message_Trial_Mismatch_Unasked, {{'f', where}});
    case TrialMismatch::RemovedByInstall: return lang(LangKey::message_Trial_Mismatch_RemovedByInstall, {{'f', where}});
    case TrialMismatch::LostByUninstall: return lang(LangKey::message_Trial_Mismatch_LostByUninstall, {{'f', where}});
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
    case TrialPlace::Game: return lang(LangKey::message_Trial_Place_Game);
    case TrialPlace::Launcher: return lang(LangKey::message_Trial_Place_Launcher);
    case TrialPlace::Install: return lang(LangKey::message_Trial_Place_Install);
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
        lines << lang(LangKey::message_Trial_Error, {{'r', result.failure}});
    for (const TrialMismatch &mismatch : result.mismatches)
        lines << lang(LangKey::message_Trial_Error, {{'r', mismatchText(mismatch)}});

    lines << lang(LangKey::message_Trial_Installer, {{'f', result.installer}});
    lines << lang(LangKey::message_Trial_LauncherFolder, {{'f', result.launcherFolder}});
    if (result.mirroredGame.isEmpty()) {
        lines << lang(LangKey::message_Trial_GameFolderEmpty, {{'f', result.gameFolder}});
    } else {
        lines << lang(
            LangKey::message_Trial_GameFolderMirrored,
            {{'f', result.gameFolder}, {'c', QString::number(result.placeholders)}, {'g', result.mirroredGame}});
    }
    if (!result.keptIn.isEmpty())
        lines << lang(LangKey::message_Trial_KeptIn, {{'f', result.keptIn}});

    if (!result.entries.empty() || result.outcome == TrialResult::Done) {
        lines << lang(LangKey::message_Trial_Counts,
                      {{'a', QString::number(result.count(TrialEntry::Written))},
                       {'r', QString::number(result.count(TrialEntry::Replaced))},
                       {'b', QString::number(result.count(TrialEntry::Backup))},
                       {'d', QString::number(result.count(TrialEntry::FolderCreated))}});
    }
    for (const TrialEntry &entry : result.entries) {
        const QString where = placeName(entry.place) + QLatin1Char(' ') + windowsPath(entry.path);
        QString line;
        switch (entry.change) {
        case TrialEntry::Written:
        case TrialEntry::Replaced:
            line = lang(entry.change == TrialEntry::Written ? LangKey::message_Trial_Entry_Written
                                                            : LangKey::message_Trial_Entry_Replaced,
                        {{'f', where}, {'c', sizeText(entry.size)}});
            line += QStringLiteral(", ")
                + (entry.node.isEmpty() ? lang(LangKey::message_Trial_Entry_NoNode)
                                        : lang(LangKey::message_Trial_Entry_FromNode, {{'f', entry.node}}));
            if (entry.change == TrialEntry::Replaced) {
                line += QStringLiteral(", ")
                    + (entry.backup.isEmpty()
                           ? lang(LangKey::message_Trial_Entry_NoBackup)
                           : lang(LangKey::message_Trial_Entry_BackupAt, {{'f', windowsPath(entry.backup)}}));
            }
            break;
        case TrialEntry::Backup:
            line = lang(LangKey::message_Trial_Entry_Backup, {{'f', where}, {'c', sizeText(entry.size)}});
            break;
        case TrialEntry::InstallerOwn:
            line = lang(LangKey::message_Trial_Entry_InstallerOwn, {{'f', where}, {'c', sizeText(entry.size)}});
            break;
        case TrialEntry::FolderCreated:
            line = lang(LangKey::message_Trial_Entry_FolderCreated, {{'f', where + QLatin1Char('\\')}});
            break;
        }
        lines << QStringLiteral("  %1; %2").arg(line, fateText(entry));
    }
    lines << lang(LangKey::message_Trial_DiskUse,
                  {{'c', sizeText(result.machineBytes)}, {'m', sizeText(result.writtenBytes)}});
    QString times = lang(LangKey::message_Trial_Times,
                         {{'c', QString::number(result.installSeconds, 'f', 1)},
                          {'m', QString::number(result.uninstallSeconds, 'f', 1)}});
    if (result.templateSeconds >= 0) {
        times += QStringLiteral(", ")
            + lang(LangKey::message_Trial_TemplateTime, {{'c', QString::number(result.templateSeconds, 'f', 1)}});
    }
    lines << times;
    if (result.outcome != TrialResult::Done && !result.log.isEmpty()) {
        lines << lang(LangKey::message_Trial_Log);
        for (const QString &line : result.log)
            lines << QStringLiteral("  ") + line;
    }
    lines << (result.matched() ? lang(LangKey::frmTrial_Matched) : lang(LangKey::message_Trial_NotMatched));
    return lines;
}

} // namespace tervelle
