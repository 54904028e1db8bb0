// What a project's history keeps of each change, and how a kept change is made again.

#include "project/projectedit.h"

#include "project/projectmodel.h"

#include <algorithm>

namespace tervelle {

void ProjectModel::setPackProperties(const PackProperties &pack)
{
    if (pack == packProperties())
        return;
    if (recording()) {
        ProjectEdit edit{ProjectEdit::Kind::Pack};
        edit.pack = packProperties();
        record(std::move(edit));
    }
    m_pack = pack;
    if (!quiet())
        emit packChanged();
}

void ProjectModel::recordHeader()
{
    if (!recording())
        return;
    ProjectEdit edit{ProjectEdit::Kind::Header};
    edit.rows = m_headerRows;
    edit.headerInfo = m_headerInfo;
    record(std::move(edit));
}

void ProjectModel::recordMap(int index)
{
    if (!recording())
        return;
    ProjectEdit edit{ProjectEdit::Kind::MapSet, index};
    edit.map = m_maps[index];
    record(std::move(edit));
}

std::vector<int> ProjectModel::pathOf(const TreeNode *node) const
{
    std::vector<int> path;
    for (; node; node = node->parent())
        path.push_back(node->row());
    return {path.rbegin(), path.rend()};
}

TreeNode *ProjectModel::nodeAtPath(const std::vector<int> &path) const
{
    TreeNode *node = nullptr;
    for (std::size_t level = 0; level < path.size(); ++level) {
        const int row = path[level];
        const int count = node ? node->childCount() : m_tree.topLevelCount();
        if (row < 0 || row >= count)
            return nullptr;
        node = node ? node->child(row) : m_tree.topLevel(row);
    }
    return node;
}

std::vector<SavedNode> ProjectModel::saveSubtree(const TreeNode *top) const
{
    // Without recursion: a chain of folders may be deep.
    std::vector<SavedNode> saved;
    std::vector<std::pair<const TreeNode *, int>> pending{{top, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        saved.push_back(
            SavedNode{depth, NodeData{node->Text(), node->ImageIndex(), node->SelectedIndex(), node->Info()}});
        for (int row = node->childCount() - 1; row >= 0; --row)
            pending.emplace_back(node->child(row), depth + 1);
    }
    return saved;
}

void ProjectModel::putSubtree(const std::vector<int> &path, const std::vector<SavedNode> &nodes)
{
    if (path.empty() || nodes.empty())
        return;
    TreeNode *parent = nodeAtPath(std::vector<int>(path.begin(), path.end() - 1));
    // The chain of the last node put at each depth: a node's parent is the one a level up.
    std::vector<TreeNode *> chain;
    for (const SavedNode &saved : nodes) {
        TreeNode *node = nullptr;
        if (saved.depth == 0) {
            // A row past the end appends.
            if (!quiet())
                emit nodeAboutToBeInserted(
                    parent, std::min(path.back(), parent ? parent->childCount() : m_tree.topLevelCount()));
            node = m_tree.insert(parent, path.back(), saved.data);
        } else {
            chain.resize(std::size_t(saved.depth));
            if (!quiet())
                emit nodeAboutToBeInserted(chain.back(), chain.back()->childCount());
            node = m_tree.append(chain.back(), saved.data);
        }
        chain.push_back(node);
        if (!quiet())
            emit nodeInserted(node);
    }
}

void ProjectModel::removeSubtree(TreeNode *node)
{
    TreeNode *parent = node->parent();
    const int row = node->row();
    if (!quiet())
        emit nodeAboutToBeRemoved(node);
    m_tree.remove(node);
    if (!quiet())
        emit nodeRemoved(parent, row);
}

ProjectEdit ProjectModel::applyEdit(const ProjectEdit &edit)
{
    // The edit's own changes are not history: the caller keeps the inverse returned.
    EditList *journal = m_journal;
    m_journal = nullptr;
    ProjectEdit inverse{edit.kind, edit.index, edit.path};
    switch (edit.kind) {
    case ProjectEdit::Kind::Header:
        inverse.rows = m_headerRows;
        inverse.headerInfo = m_headerInfo;
        // The map list node's name was recorded on its own, so it is not derived again here.
        m_headerRows = edit.rows;
        m_headerInfo = edit.headerInfo;
        if (!quiet())
            emit headerChanged(nullptr);
        break;
    case ProjectEdit::Kind::MapInsert:
        inverse.kind = ProjectEdit::Kind::MapRemove;
        m_maps.insert(edit.index, edit.map);
        if (!quiet())
            emit mapInserted(edit.index);
        break;
    case ProjectEdit::Kind::MapRemove:
        inverse.kind = ProjectEdit::Kind::MapInsert;
        inverse.map = m_maps[edit.index];
        m_maps.removeAt(edit.index);
        if (!quiet())
            emit mapRemoved(edit.index);
        break;
    case ProjectEdit::Kind::MapSet:
        inverse.map = m_maps[edit.index];
        m_maps[edit.index] = edit.map;
        if (!quiet())
            emit mapChanged(edit.index, nullptr);
        break;
    case ProjectEdit::Kind::NodeInsert:
        inverse.kind = ProjectEdit::Kind::NodeRemove;
        putSubtree(edit.path, edit.nodes);
        break;
    case ProjectEdit::Kind::NodeRemove: {
        inverse.kind = ProjectEdit::Kind::NodeInsert;
        TreeNode *node = nodeAtPath(edit.path);
        inverse.nodes = saveSubtree(node);
        removeSubtree(node);
        break;
    }
    case ProjectEdit::Kind::NodeRename: {
        TreeNode *node = nodeAtPath(edit.path);
        inverse.text = node->Text();
        m_tree.rename(node, edit.text);
        refreshFolderPaths(node);
        if (!quiet())
            emit nodeChanged(node);
        break;
    }
    case ProjectEdit::Kind::NodeRelink: {
        TreeNode *node = nodeAtPath(edit.path);
        inverse.text = node->Info().Path;
        RelinkNode(node, edit.text);
        break;
    }
    case ProjectEdit::Kind::Pack:
        inverse.pack = packProperties();
        setPackProperties(edit.pack);
        break;
    }
    m_journal = journal;
    return inverse;
}

} // namespace tervelle
