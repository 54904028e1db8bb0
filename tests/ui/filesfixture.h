#pragma once

#include "editorfixture.h"

#include "project/projectmodel.h"

#include <QMimeData>

namespace tervelle::test {

// The editor with helpers that collect resources, select rows and nodes, and play drags the
// way the views receive them (a real drag cannot run offscreen).
class FilesTest : public EditorTest
{
protected:
    // Writes a file under the work folder and returns its path.
    QString makeFile(const QString &relative, const QByteArray &bytes = QByteArray("x"));
    // Runs `start`; when that starts folder scans, waits until the last has ended and the
    // panels are back, as the map maker does.
    void untilScansEnd(const std::function<void()> &start);
    // Adds files through Add... with the dialog answering `paths`.
    void addResources(const QStringList &paths);
    QStringList resourceNames() const;
    QStringList resourcePaths() const;
    // Selects exactly the resource rows with these display names.
    void selectResources(const QStringList &names);

    TreeNode *root(RootGroup group) const { return editor->project().root(group); }
    // Selects the node with a mouse click on its row, as a person would.
    void clickNode(const TreeNode *node);
    // The texts of a node's children, in order.
    static QStringList childNames(const TreeNode *node);
    static TreeNode *childNamed(const TreeNode *node, const QString &text);
    // Selects the resources and puts them under the node with "Add selected resources".
    void addToNode(const TreeNode *node, const QStringList &resources);

    // The drag of the resources list's selected rows, as the list makes it.
    QMimeData *resourceDrag() const;
    // Plays enter, move and (when `drop`) drop of the data over the node's row (or over the
    // given point); returns whether the last event was accepted.
    bool dragOnto(QWidget *viewport, const QPoint &at, QMimeData *data, bool drop);
    bool dragOntoNode(const TreeNode *node, bool drop);
    QPoint nodePoint(const TreeNode *node) const;
    QWidget *treeViewport() const;
};

} // namespace tervelle::test
