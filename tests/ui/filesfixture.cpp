#include "filesfixture.h"

#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace tervelle::test {

QString FilesTest::makeFile(const QString &relative, const QByteArray &bytes)
{
    QString path = tempPath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeBytes(path, bytes);
    return path;
}

void FilesTest::untilScansEnd(const std::function<void()> &start)
{
    auto *panel = editor->findChild<ResourcesPanel *>(QStringLiteral("pnlResources"));
    QSignalSpy states(panel, &ResourcesPanel::scanning);
    start();
    // A drop starts its scans once it has returned.
    QApplication::processEvents();
    // Dropped folders are scanned one after the other: the last report tells.
    while (!states.isEmpty() && states.last().first().toBool())
        ASSERT_TRUE(states.wait(60000)) << "the folder scan did not end";
}

void FilesTest::addResources(const QStringList &paths)
{
    dialogs.openAnswers.enqueue(paths);
    item("mnuResourcesEditAdd")->trigger();
}

QStringList FilesTest::resourceNames() const
{
    QStringList names;
    for (const ResourceEntry &entry : test::panelOf<ResourcesPanel>(*editor)->listModel()->list().entries())
        names.append(entry.name);
    return names;
}

QStringList FilesTest::resourcePaths() const
{
    QStringList paths;
    for (const ResourceEntry &entry : test::panelOf<ResourcesPanel>(*editor)->listModel()->list().entries())
        paths.append(entry.fullPath);
    return paths;
}

void FilesTest::selectResources(const QStringList &names)
{
    QTreeView *list = test::panelOf<ResourcesPanel>(*editor)->list();
    QItemSelectionModel *selection = list->selectionModel();
    selection->clearSelection();
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (names.contains(model->index(row, 0).data().toString()))
            selection->select(model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void FilesTest::clickNode(const TreeNode *node)
{
    QTreeView *tree = test::panelOf<FilesPanel>(*editor)->list();
    const QModelIndex index = test::panelOf<FilesPanel>(*editor)->treeModel()->indexOf(node);
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

QStringList FilesTest::childNames(const TreeNode *node)
{
    QStringList names;
    for (int row = 0; row < node->childCount(); ++row)
        names.append(node->child(row)->Text());
    return names;
}

TreeNode *FilesTest::childNamed(const TreeNode *node, const QString &text)
{
    for (int row = 0; row < node->childCount(); ++row) {
        if (node->child(row)->Text() == text)
            return node->child(row);
    }
    return nullptr;
}

void FilesTest::addToNode(const TreeNode *node, const QStringList &resources)
{
    selectResources(resources);
    clickNode(node);
    item("mnuFilesEditAdd")->trigger();
}

QMimeData *FilesTest::resourceDrag() const
{
    QTreeView *list = test::panelOf<ResourcesPanel>(*editor)->list();
    return list->model()->mimeData(list->selectionModel()->selectedIndexes());
}

bool FilesTest::dragOnto(QWidget *viewport, const QPoint &at, QMimeData *data, bool drop)
{
    const Qt::DropActions actions = Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    if (!drop)
        return move.isAccepted();
    QDropEvent dropped(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
    return dropped.isAccepted();
}

QPoint FilesTest::nodePoint(const TreeNode *node) const
{
    QTreeView *tree = test::panelOf<FilesPanel>(*editor)->list();
    const QModelIndex index = test::panelOf<FilesPanel>(*editor)->treeModel()->indexOf(node);
    tree->scrollTo(index);
    return tree->visualRect(index).center();
}

QWidget *FilesTest::treeViewport() const
{
    return test::panelOf<FilesPanel>(*editor)->list()->viewport();
}

bool FilesTest::dragOntoNode(const TreeNode *node, bool drop)
{
    std::unique_ptr<QMimeData> data(resourceDrag());
    return dragOnto(treeViewport(), nodePoint(node), data.get(), drop);
}

} // namespace tervelle::test
