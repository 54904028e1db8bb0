#include "project/picklists.h"

#include "core/pathparts.h"
#include "image/texturetiles.h"
#include "project/filetree.h"
#include "project/keyvalue.h"

#include <vector>

namespace tervelle {

namespace {

// Iterative with one shared prefix: a hand-edited project may nest folders far deeper than the
// stack would allow.
void appendLinks(const TreeNode *root, QStringList &links)
{
    struct Frame
    {
        const TreeNode *node;
        int next;
        qsizetype prefixLength; // the prefix's length before this node's part was added
    };
    QString prefix;
    std::vector<Frame> stack{{root, 0, 0}};
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next == frame.node->childCount()) {
            prefix.truncate(frame.prefixLength);
            stack.pop_back();
            continue;
        }
        const TreeNode *child = frame.node->child(frame.next++);
        if (!child->isFolder())
            links.append(prefix + child->Text());
        if (child->childCount() > 0) {
            const qsizetype length = prefix.size();
            prefix += child->Text() + QLatin1Char('\\');
            stack.push_back({child, 0, length});
        }
    }
}

} // namespace

PickLists::PickLists(const ProjectModel &model, QObject *parent) : QObject(parent), m_model(model)
{
    connect(&model, &ProjectModel::projectReset, this, &PickLists::listsChanged);
    connect(&model, &ProjectModel::nodeInserted, this, [this](TreeNode *node) { nodeTouched(node->parent()); });
    connect(&model, &ProjectModel::nodeChanged, this, [this](TreeNode *node) { nodeTouched(node->parent()); });
    connect(&model, &ProjectModel::nodeRemoved, this, [this](TreeNode *parent, int) { nodeTouched(parent); });
}

// Only the direct children of the group roots and anything under {files} show in a list.
void PickLists::nodeTouched(const TreeNode *parent)
{
    if (!parent) {
        emit listsChanged(); // a group root itself
        return;
    }
    for (const RootGroup group : {IconsRoot, MapsRoot, TexturesRoot, ScriptsRoot}) {
        if (parent == m_model.root(group)) {
            emit listsChanged();
            return;
        }
    }
    const TreeNode *top = parent;
    while (top->parent())
        top = top->parent();
    if (top == m_model.root(FilesRoot))
        emit listsChanged();
}

QStringList PickLists::childNames(RootGroup group, bool dropExtension) const
{
    QStringList names;
    const TreeNode *root = m_model.root(group);
    if (!root)
        return names;
    names.reserve(root->childCount());
    for (int i = 0; i < root->childCount(); ++i) {
        const QString &text = root->child(i)->Text();
        names.append(dropExtension ? withoutExtension(text) : text);
    }
    return names;
}

QStringList PickLists::levelIcons() const
{
    return QStringList{QStringLiteral("nolevel.tga")} + childNames(IconsRoot, false);
}

QStringList PickLists::mapFiles() const
{
    return childNames(MapsRoot, true);
}

QStringList PickLists::textureLists() const
{
    QStringList items;
    for (const TextureTheme &theme : TextureThemes)
        items.append(QLatin1String(theme.listValue));
    return items + childNames(TexturesRoot, false);
}

QStringList PickLists::itemsFor(int valueKind) const
{
    switch (valueKind) {
    case LevelIconValue: return levelIcons();
    case MapFileValue: return mapFiles();
    case TextureListValue: return textureLists();
    default: return {};
    }
}

QStringList PickLists::scripts() const
{
    return QStringList{QStringLiteral("stdvs.lua"), QStringLiteral("wormpot.lua")} + childNames(ScriptsRoot, true);
}

QString PickLists::withScript(const QString &value, const QString &script)
{
    return value.isEmpty() ? script : value + QLatin1Char(',') + script;
}

QStringList PickLists::headerLinks() const
{
    QStringList links;
    if (const TreeNode *root = m_model.root(FilesRoot))
        appendLinks(root, links);
    return links;
}

int PickLists::indexOfValue(const QStringList &items, const QString &value)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (SameKey(items[i], value))
            return int(i);
    }
    return -1;
}

} // namespace tervelle
