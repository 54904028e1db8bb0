#include "project/relink.h"

#include "core/pathparts.h"
#include "core/privatepath.h"
#include "project/filenames.h"
#include "project/projectmodel.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <vector>

namespace tervelle {

namespace {

// The last part of a path written with either separator: projects travel between machines.
QString fileNameOf(const QString &path)
{
    return path.mid(lastWindowsSeparator(path) + 1);
}

bool isMissing(const ProjectModel &project, const TreeNode *node)
{
    if (!node->isFile() || node == project.MapListNode())
        return false;
    if (node->Kind() != FileFoundKind)
        return true;
    const QFileInfo info(node->Info().Path);
    return !info.exists() || info.isDir();
}

std::vector<TreeNode *> missingNodes(const ProjectModel &project)
{
    std::vector<TreeNode *> missing;
    for (TreeNode *node : project.tree().nodes()) {
        if (isMissing(project, node))
            missing.push_back(node);
    }
    return missing;
}

} // namespace

bool hasMissingFiles(const ProjectModel &project)
{
    const auto &nodes = project.tree().nodes();
    return std::any_of(nodes.begin(), nodes.end(), [&](const TreeNode *node) { return isMissing(project, node); });
}

RelinkResult LocateMissingFiles(ProjectModel &project, const QString &folder)
{
    RelinkResult result;
    std::vector<TreeNode *> missing;
    for (TreeNode *node : missingNodes(project)) {
        const QFileInfo own(node->Info().Path);
        if (own.exists() && !own.isDir()) {
            project.RelinkNode(node, node->Info().Path);
            ++result.found;
        } else {
            missing.push_back(node);
        }
    }
    if (missing.empty())
        return result;

    // Only the names asked for are kept, so a large folder costs its listing and no more.
    QHash<QString, QStringList> wanted; // exact name -> paths
    QHash<QString, QStringList> folded; // name as Windows compares it -> paths
    for (const TreeNode *node : missing) {
        const QString name = fileNameOf(node->Info().Path);
        wanted.insert(name, {});
        folded.insert(fileNameKey(name), {});
    }
    // What lies in the chosen folder is the map maker's own; a link leading out of it into a
    // hidden or system folder may have been planted there by someone else.
    const QString chosen = reachedPath(folder) + QLatin1Char('/');
    QHash<QString, QStringList> privateFound; // name as Windows compares it -> "found -> reached"
    // Links to folders are not followed: a loop of links would never end.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        auto exact = wanted.find(name);
        auto any = folded.find(fileNameKey(name));
        if (exact == wanted.end() && any == folded.end())
            continue;
        if (const PrivateSource judged = judgePrivateSource(path);
            !judged.reached.isEmpty() && !judged.reached.startsWith(chosen) && isPrivatePath(judged.reached)) {
            privateFound[fileNameKey(name)].append(path + QStringLiteral(" -> ") + judged.reached);
            continue;
        }
        if (exact != wanted.end())
            exact->append(path);
        if (any != folded.end())
            any->append(path);
    }

    for (TreeNode *node : missing) {
        const QString name = fileNameOf(node->Info().Path);
        QStringList candidates = wanted.value(name);
        if (candidates.isEmpty())
            candidates = folded.value(fileNameKey(name));
        if (candidates.size() == 1) {
            project.RelinkNode(node, candidates.first());
            ++result.found;
        } else if (candidates.isEmpty() || name.isEmpty()) {
            ++result.notFound;
            for (const QString &found : privateFound.value(fileNameKey(name))) {
                if (!result.privateOnly.contains(found))
                    result.privateOnly.append(found);
            }
        } else if (!result.ambiguous.contains(name)) {
            result.ambiguous.append(name);
        }
    }
    return result;
}

} // namespace tervelle
