#include "mappack/packfiles.h"

#include <algorithm>

namespace tervelle {

QString NumberedName(int absoluteIndex)
{
    return QString::number(absoluteIndex) + QStringLiteral(".tmp");
}

QString PackFileEntry::source() const
{
    if (!isPackFile)
        return {};
    if (node->Kind() == FileFoundKind)
        return node->Info().Path;
    return texts->staging + node->Text();
}

QString installedFolder(const PackFileEntry &entry)
{
    if (!entry.isPackFile || !entry.node->parent() || entry.belowFile)
        return {};
    QString folder;
    switch (entry.group) {
    case FilesRoot: folder = QStringLiteral("maplists\\"); break;
    case IconsRoot: folder = QStringLiteral("data\\frontend\\levels\\"); break;
    case ScriptsRoot: folder = QStringLiteral("data\\scripts\\"); break;
    default: folder = QStringLiteral("data\\maps\\"); break;
    }
    return folder + entry.relativeFolder();
}

QString installedPath(const PackFileEntry &entry)
{
    const QString folder = installedFolder(entry);
    return folder.isEmpty() ? folder : folder + entry.node->Text();
}

std::size_t packFileCount(const PackFiles &entries)
{
    return std::size_t(
        std::count_if(entries.begin(), entries.end(), [](const PackFileEntry &entry) { return entry.isPackFile; }));
}

PackFiles NumberPackFiles(const ProjectModel &project, const QString &appDir)
{
    auto texts = std::make_unique<PackFolderTexts>();
    texts->staging = StagingFolder(appDir);
    texts->relative.emplace_back();
    const auto &nodes = project.tree().nodes();
    std::vector<PackFileEntry> entries;
    entries.reserve(nodes.size());

    // Nodes arrive parents first, so each node's group and folder come from its parent's entry,
    // and a folder's text is made once, from its parent's.
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode *node = nodes[i];
        PackFileEntry entry;
        entry.node = node;
        entry.texts = texts.get();
        entry.absoluteIndex = int(i);
        if (node->isRoot()) {
            entry.group = RootGroup(node->row() < RootCount ? node->row() : FilesRoot);
        } else {
            const PackFileEntry &parent = entries[std::size_t(project.absoluteIndex(node->parent()))];
            entry.group = parent.group;
            entry.folder = parent.folder;
            entry.belowFile = parent.belowFile || parent.node->isFile();
            if (node->isFolder()) {
                entry.folder = int(texts->relative.size());
                texts->relative.push_back(texts->relative[std::size_t(parent.folder)] + node->Text()
                                          + QLatin1Char('\\'));
            }
        }
        const qint32 kind = node->Kind();
        entry.isPackFile = kind == FileFoundKind || kind == FileMissingKind;
        entries.push_back(entry);
    }
    return PackFiles(std::move(entries), std::move(texts));
}

} // namespace tervelle
