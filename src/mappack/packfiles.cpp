#include "mappack/packfiles.h"

namespace tervelle {

QString NumberedName(int absoluteIndex)
{
    return QString::number(absoluteIndex) + QStringLiteral(".tmp");
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
    return folder + entry.relativeFolder;
}

QString installedPath(const PackFileEntry &entry)
{
    const QString folder = installedFolder(entry);
    return folder.isEmpty() ? folder : folder + entry.node->Text();
}

std::vector<PackFileEntry> NumberPackFiles(const ProjectModel &project, const QString &appDir)
{
    const QString staging = StagingFolder(appDir);
    const auto &nodes = project.tree().nodes();
    std::vector<PackFileEntry> entries;
    entries.reserve(nodes.size());

    // Nodes arrive parents first, so each node's group and folder come from its parent's entry.
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode *node = nodes[i];
        PackFileEntry entry;
        entry.absoluteIndex = int(i);
        entry.node = node;
        if (node->isRoot()) {
            entry.group = RootGroup(node->row() < RootCount ? node->row() : FilesRoot);
        } else {
            const PackFileEntry &parent = entries[std::size_t(project.absoluteIndex(node->parent()))];
            entry.group = parent.group;
            entry.relativeFolder = parent.relativeFolder;
            entry.belowFile = parent.belowFile || parent.node->isFile();
            if (node->isFolder())
                entry.relativeFolder += node->Text() + QLatin1Char('\\');
        }
        if (node->Info().Kind == FileFoundKind) {
            entry.isPackFile = true;
            entry.source = node->Info().Path;
        } else if (node->Info().Kind == FileMissingKind) {
            entry.isPackFile = true;
            entry.source = staging + node->Text();
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace tervelle
