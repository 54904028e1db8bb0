#pragma once

#include "project/replaceanswer.h"

#include <QString>
#include <QVector>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace tervelle {

class FileTree;
class ProjectModel;
class TreeNode;

// A node's rows from the top level down, and the node such rows lead to (null if none): how
// the history and the window name a node across changes that replace it.
std::vector<int> nodeRows(const TreeNode *node);
TreeNode *nodeAtRows(const FileTree &tree, const std::vector<int> &rows);

// The files-tree commands without their window: what may be added where, the replace question,
// new folders. The window asks the questions through the callbacks it passes and shows what
// comes back.

inline constexpr int NoNodeKind = -1;

// Classifies a node for the tree's commands: -1 none, 0 to 5 the group root at that position,
// 0 any folder, 6 + FileType a file node (13 the map list node).
int nodeKindOf(const ProjectModel &project, const TreeNode *node);

// Whether Create folder applies to a node of that kind: the {files} and {textures} group roots
// and folders. (Whether Delete applies is ProjectModel::canDelete.)
bool canCreateFolderKind(int kind);

// Why a node of `kind` took none of the chosen resources, as one sentence for the map maker
// ("Nothing was added: Level icons take .tga files."); empty for a node that takes no files.
QString nothingAddedReason(int kind);

struct SkippedResource
{
    QString name;
    QString reason; // a sentence for the user that names the resource
};

// One "Add selected resources" run. The answers "Yes to All" and "No to All" hold until the
// object goes, so the window makes one per run.
class AddResourcesOperation
{
public:
    using AskReplace = std::function<ReplaceAnswer(const QString &name)>;

    // `askReplace` is asked with the name of a file that exists under the node.
    // The changes are made on `project` as the change of the document hands it out.
    AddResourcesOperation(const ProjectModel &project, AskReplace askReplace);

    // Puts one resource under `node` as a file of `fileType` named `name`. A file child of the
    // same name (ignoring letter case as Windows does) is replaced when the answer says so: the old node
    // goes, the new one comes last. Returns the new node, or null when nothing was added.
    // Names that cannot be Windows file names, ".mpl" files under {files} and anything that
    // would replace the map list node are refused and listed in skipped().
    TreeNode *AddResourceToNode(ProjectModel &project, TreeNode *node, const QString &name, const QString &fullPath,
                                int fileType);

    // Filters by the node's kind and adds each resource in order; resources the node does not
    // take are passed over without a message.
    struct Resource
    {
        QString name;
        QString fullPath;
    };
    void addSelected(ProjectModel &project, TreeNode *node, const QVector<Resource> &resources);
    // Asks every question a later addSelected of the same resources meets, changing nothing,
    // so that it then asks none: a question's event loop must never see a change half made.
    void askFirst(const TreeNode *node, const QVector<Resource> &resources);
    // Whether a node of `kind` takes at least one of the resources.
    static bool takesAny(int kind, const QVector<Resource> &resources);

    // Refused resources, in order, for one message after the run.
    const QVector<SkippedResource> &skipped() const { return m_skipped; }

private:
    enum class Standing { Ask, YesToAll, NoToAll };

    bool replaceWanted(const QString &name);
    // Why a resource cannot go under `node` whatever the node holds, or nothing.
    std::optional<QString> refusal(const TreeNode *node, const QString &name, const QString &fullPath,
                                   int fileType) const;

    const ProjectModel &m_project;
    AskReplace m_askReplace;
    Standing m_standing = Standing::Ask;
    QVector<SkippedResource> m_skipped;
    std::optional<std::deque<bool>> m_answers; // set once the questions were asked first
};

// Makes the folder `name` as the last child of `parent`. Throws UserError with the message for
// the user when a child of that name (file or folder, ignoring letter case as Windows does) exists, when
// the name cannot be a Windows folder name, when the folder's path would be too long to open
// again, or when `parent` holds no folders.
TreeNode *CreateFolder(ProjectModel &project, TreeNode *parent, const QString &name);

// Whether Rename applies: a file or folder node; not a group root, and not the map list node,
// whose name follows the pack's English title.
bool canRenameNode(const ProjectModel &project, const TreeNode *node);

// Throws UserError with the message for the user, changing nothing, when `node` cannot take
// `name`: the name rules of a new folder, and no other child of its parent of that name
// (ignoring letter case as Windows does).
void checkNodeRename(const ProjectModel &project, const TreeNode *node, const QString &name);

// A map's "[map]" or "[image]" value that names a file of the tree: it can follow a rename.
struct FollowingValue
{
    int map = -1;
    int row = -1;
    QString value; // the value naming the renamed file
};
// The values that name `node` as its pick list names it (a map file without its extension, a
// level icon with it), each with the value that would name it as `name`.
std::vector<FollowingValue> valuesFollowingRename(const ProjectModel &project, const TreeNode *node,
                                                  const QString &name);

// Renames the node after checkNodeRename.
void RenameTreeNode(ProjectModel &project, TreeNode *node, const QString &name);

} // namespace tervelle
