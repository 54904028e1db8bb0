#include "mappack/stagedsources.h"

#include "core/errors.h"
#include "mappack/compilerfolder.h"
#include "mappack/scriptescape.h"

#include <QDir>
#include <QFile>

namespace tervelle {

namespace {

// The pack files whose sources the compiler could take for one another: it runs under Wine,
// which looks names up ignoring letter case, and it compares source paths the same way. Of each
// group of sources whose paths are equal ignoring case but not equal, all but the first in
// index order are listed, by absolute index. A project without such a pair lists nothing.
std::vector<const PackFileEntry *> confusableSources(const std::vector<PackFileEntry> &entries)
{
    // The first exact source seen for each path as the compiler compares them.
    QHash<QString, QString> firstSource;
    std::vector<const PackFileEntry *> confusable;
    for (const PackFileEntry &entry : entries) {
        if (!entry.isPackFile)
            continue;
        const QString seen = compilerPath(entry.source);
        const QString key = seen.toCaseFolded();
        const auto at = firstSource.constFind(key);
        if (at == firstSource.constEnd())
            firstSource.insert(key, seen);
        // Only files found on disk are packed from their own path; the map list is the build's.
        else if (*at != seen && entry.node->Info().Kind == FileFoundKind)
            confusable.push_back(&entry);
    }
    return confusable;
}

} // namespace

StagedSources::StagedSources(const QString &appDir) : m_folder(stagedSourcesFolder(appDir))
{}

StagedSources::~StagedSources()
{
    if (m_made)
        removeAll();
}

void StagedSources::removeAll()
{
    // Links inside are removed, never followed.
    QDir(m_folder).removeRecursively();
}

SourceOverrides StagedSources::stage(const std::vector<PackFileEntry> &entries)
{
    SourceOverrides overrides;
    // A killed build may have left copies behind.
    if (QDir(m_folder).exists())
        removeAll();
    const std::vector<const PackFileEntry *> confusable = confusableSources(entries);
    if (confusable.empty())
        return overrides;
    if (!QDir().mkpath(m_folder))
        throw UserError(QStringLiteral("The folder %1 for the build's copies cannot be made.")
                            .arg(QDir::toNativeSeparators(m_folder)));
    m_made = true;
    for (const PackFileEntry *entry : confusable) {
        const QString copy = m_folder + QLatin1Char('/') + NumberedName(entry->absoluteIndex);
        QFile source(entry->source);
        if (!source.copy(copy)) {
            const QString reason = source.errorString();
            removeAll();
            m_made = false;
            throw UserError(QStringLiteral("The file %1 cannot be copied for the build: %2")
                                .arg(QDir::toNativeSeparators(entry->source), reason));
        }
        overrides.insert(entry->absoluteIndex, copy);
    }
    return overrides;
}

} // namespace tervelle
