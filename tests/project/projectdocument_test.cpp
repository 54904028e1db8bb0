#include "core/errors.h"
#include "project/projectdocument.h"
#include "project/projectfile.h"
#include "project/treeoperations.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace tervelle::test {

namespace {

class ProjectHistory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetLanguage();
        document.newProject();
    }

    QByteArray bytes() const { return ProjectFileBytes(document.model()); }

    // Absolute indexes as a plain walk of rows gives them, for comparing with the tree's own.
    static void walkRows(const TreeNode *node, std::vector<const TreeNode *> &out)
    {
        out.push_back(node);
        for (int row = 0; row < node->childCount(); ++row)
            walkRows(node->child(row), out);
    }

    void expectIndexesAgree() const
    {
        const ProjectModel &model = document.model();
        std::vector<const TreeNode *> walked;
        for (int root = 0; root < model.tree().topLevelCount(); ++root)
            walkRows(model.tree().topLevel(root), walked);
        ASSERT_EQ(int(walked.size()), model.tree().count());
        // Asked node by node first, before anything rebuilds the walk in one go.
        for (std::size_t i = 0; i < walked.size(); i += 7)
            ASSERT_EQ(model.absoluteIndex(walked[i]), int(i)) << "node " << walked[i]->Text().toStdString();
    }

    Settings settings;
    QTemporaryDir folder;
    ProjectDocument document;
};

TEST_F(ProjectHistory, DeletedSubtreesOfADeepTreeComeBackInPlaceAndOrder)
{
    const ProjectModel &model = document.model();
    TreeNode *files = model.root(FilesRoot);
    // Before and after the deep folder, siblings whose order the undo must keep; a long list,
    // so that removals leave holes in it.
    document.change(QStringLiteral("Build"), [&](ProjectModel &built) {
        for (int i = 0; i < 40; ++i)
            built.AddFileElement(files, QStringLiteral("before%1.txt").arg(i), PlainFile,
                                 QStringLiteral("/b%1").arg(i));
        TreeNode *deep = built.AddDirElement(files, QStringLiteral("deep"));
        for (int i = 0; i < 40; ++i)
            built.AddFileElement(files, QStringLiteral("after%1.txt").arg(i), PlainFile, QStringLiteral("/a%1").arg(i));
        TreeNode *parent = deep;
        for (int depth = 0; depth < 2000; ++depth) {
            built.AddFileElement(parent, QStringLiteral("f%1.txt").arg(depth), PlainFile,
                                 QStringLiteral("/f%1").arg(depth));
            parent = built.AddDirElement(parent, QStringLiteral("d%1").arg(depth));
            built.AddFileElement(parent->parent(), QStringLiteral("g%1.txt").arg(depth), PlainFile, QString());
        }
    });
    // Saved: the undos below come back to the file.
    document.save(folder.filePath(QStringLiteral("built.mpr")));
    const QByteArray start = bytes();

    // Holes first, then the deep folder, then a node deep inside another.
    const auto remove = [&](TreeNode *node) {
        document.change(QStringLiteral("Delete"),
                        [&](ProjectModel &project) { ASSERT_TRUE(project.DeleteNode(node)); });
    };
    remove(files->child(35));
    remove(files->child(3));
    expectIndexesAgree(); // the walk order is now kept node by node
    const QByteArray withHoles = bytes();
    remove(model.findFolderNode(files, QStringLiteral("deep")));
    const QByteArray withoutDeep = bytes();
    ASSERT_EQ(document.history().count(), 4);

    document.undo();
    EXPECT_EQ(bytes(), withHoles);
    expectIndexesAgree();
    // The redone delete finds its node by place, not by the node that was deleted.
    document.redo();
    EXPECT_EQ(bytes(), withoutDeep);
    document.undo();

    TreeNode *inner = nodeAtRows(model.tree(), {FilesRoot, 39, 1, 1, 1, 1});
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Text(), QStringLiteral("d3"));
    remove(inner);
    const QByteArray withoutInner = bytes();
    document.undo();
    EXPECT_EQ(bytes(), withHoles);

    document.undo();
    document.undo();
    EXPECT_EQ(bytes(), start);
    expectIndexesAgree();
    EXPECT_FALSE(document.isModified());

    document.redo();
    document.redo();
    EXPECT_EQ(bytes(), withHoles);
    document.redo();
    EXPECT_EQ(bytes(), withoutInner);
    expectIndexesAgree();
}

TEST_F(ProjectHistory, SaveMarksItsStepAndTypingAfterItIsAStepOfItsOwn)
{
    const ProjectModel &model = document.model();
    const auto type = [&](const QString &value) {
        document.change(
            QStringLiteral("Edit header"), [&](ProjectModel &project) { project.SetHeaderValue(0, value); },
            QStringLiteral("header 0 1"));
    };
    type(QStringLiteral("A"));
    type(QStringLiteral("Ab"));
    // Typing in one cell is one step, and the map list node follows the title within it.
    EXPECT_EQ(document.history().count(), 1);
    EXPECT_EQ(model.MapListNode()->Text(), QStringLiteral("Ab.mpl"));

    const QString path = folder.filePath(QStringLiteral("saved.mpr"));
    document.save(path);
    const QByteArray saved = readBytes(path);
    EXPECT_FALSE(document.isModified());

    type(QStringLiteral("Abc"));
    EXPECT_EQ(document.history().count(), 2);
    EXPECT_TRUE(document.isModified());
    document.undo();
    EXPECT_EQ(bytes(), saved);
    EXPECT_FALSE(document.isModified());
    document.undo();
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(model.packTitle(), QStringLiteral("New map pack"));
    EXPECT_EQ(model.MapListNode()->Text(), QStringLiteral("New map pack.mpl"));

    // After an undo the same cell starts a new step rather than joining the one before.
    type(QStringLiteral("X"));
    type(QStringLiteral("Xy"));
    EXPECT_EQ(document.history().count(), 1);
    document.endTyping();
    type(QStringLiteral("Xyz"));
    EXPECT_EQ(document.history().count(), 2);

    // Opening starts an empty history; a refused change leaves no step.
    document.open(path);
    EXPECT_EQ(document.history().count(), 0);
    EXPECT_THROW(
        document.change(QStringLiteral("Add"),
                        [&](ProjectModel &project) { project.AddHeaderKey(QStringLiteral("[english]"), TextKey); }),
        UserError);
    EXPECT_EQ(document.history().count(), 0);
    EXPECT_FALSE(document.isModified());
}

// A change made within a change, or by a view that hears an undo being made, belongs to that
// step: undoing and redoing come back to exactly what was there.
TEST_F(ProjectHistory, ChangesWithinAChangeOrAReplayJoinItsStep)
{
    const ProjectModel &model = document.model();
    document.change(QStringLiteral("Add two"), [&](ProjectModel &project) {
        project.AddMap();
        document.change(QStringLiteral("Inner"), [](ProjectModel &inner) { inner.SetHeaderValue(0, "Inner"); });
    });
    EXPECT_EQ(document.history().count(), 1);
    const QByteArray both = bytes();

    // A view that follows every map put back with a change of its own, as a grid committing
    // what it shows would.
    int echoes = 0;
    QObject::connect(&model, &ProjectModel::mapRemoved, [&] {
        ++echoes;
        document.change(QStringLiteral("Echo"), [&](ProjectModel &project) {
            project.AddDirElement(model.root(FilesRoot), QStringLiteral("echo %1").arg(echoes));
        });
    });
    document.undo();
    EXPECT_EQ(echoes, 1);
    EXPECT_NE(model.findFolderNode(model.root(FilesRoot), QStringLiteral("echo 1")), nullptr);
    EXPECT_EQ(document.history().count(), 1);
    document.redo();
    EXPECT_EQ(bytes(), both);
    document.undo();
    document.redo();
    EXPECT_EQ(bytes(), both);
}

// A step that names a node the project no longer has (something changed the project behind the
// history's back) is refused whole: no edit of it stays made, and the history that no longer
// fits goes.
TEST_F(ProjectHistory, AStepThatNoLongerFitsIsRefusedWhole)
{
    const ProjectModel &model = document.model();
    TreeNode *files = model.root(FilesRoot);
    ProjectModel *behindTheBack = nullptr;
    document.change(QStringLiteral("Add"), [&](ProjectModel &project) {
        behindTheBack = &project;
        project.AddDirElement(files, QStringLiteral("kept"));
        project.AddDirElement(files, QStringLiteral("gone"));
    });
    document.change(QStringLiteral("Rename and delete"), [&](ProjectModel &project) {
        project.RenameNode(model.findFolderNode(files, QStringLiteral("gone")), QStringLiteral("renamed"));
        project.DeleteNode(model.findFolderNode(files, QStringLiteral("kept")));
    });
    // Undoing puts "kept" back first, then finds no node to rename back.
    behindTheBack->DeleteNode(model.findFolderNode(files, QStringLiteral("renamed")));
    const QByteArray before = bytes();

    EXPECT_THROW(document.undo(), UserError);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(document.history().count(), 0);
    EXPECT_TRUE(document.isModified());
}

} // namespace

} // namespace tervelle::test
