#pragma once

#include "project/treeoperations.h"
#include "ui/editor/contentpanel.h"

#include <functional>

class QMimeData;
class QTreeView;

namespace tervelle {

class FilesTreeModel;
class LabelMenu;
class ProjectDocument;
class ProjectModel;
class Dialogs;
class TreeNode;

// `pnlFiles`: the pack's files tree under its six group roots, with the commands that place
// resources in it, make folders and delete nodes, and the drop target for resources dragged
// from `lstResources`.
class FilesPanel : public ContentPanel
{
    Q_OBJECT

public:
    // What the panel asks of the window.
    struct Links
    {
        // What "Add selected resources" adds, and whether a drag comes from that list: the
        // resources panel's.
        std::function<QVector<AddResourcesOperation::Resource>()> selectedResources;
        std::function<bool(const QMimeData *)> isResourcesDrag;
        // Asks for a folder (the window's, which remembers the last one); false when cancelled.
        std::function<bool(const QString &caption, QString &folder)> selectDirectory;
    };
    FilesPanel(ProjectDocument &document, Dialogs &dialogs, Links links, QWidget *parent);

    QTreeView *list() const { return lstFiles; }
    // What the selected node is (see nodeKindOf in the core); -1 for none.
    int selectedNodeKind() const { return SelectedNodeKind; }

    FilesTreeModel *treeModel() const { return m_model; }
    TreeNode *selectedNode() const;

    void FilesMenuChangeEnabled(bool enabled);
    void pnlFilesChangeEnabled(bool enabled);
    // A new or opened project: the panel on but Delete off.
    void showNewProject();

    // Recomputes the node kind and the commands' states; with a sender (a click or a selection
    // change) the preview follows the selected node too.
    void lstFilesClick(QObject *sender);
    void lstFilesChange();
    void mnuFilesEditAddClick();
    void mnuFilesEditCreateFolderClick();
    void mnuFilesEditRenameClick();
    void mnuFilesEditDeleteClick();
    // Asks for a folder and finds the missing sources again under it, by their file names.
    void mnuFilesEditLocateMissingClick();

    // The resize handler; the window also runs it after its own.
    void pnlFilesResize() { panelResize(); }

signals:
    // After every "Add selected resources", whether or not anything was added, so the header
    // and properties editors can offer the new files.
    void resourcesAdded();
    // The node the map maker picked, or none: what the preview shows.
    void nodeShown(tervelle::TreeNode *node);

protected:
    void panelResize() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<QVector<AddResourcesOperation::Resource>()> selectedResources;
    std::function<bool(const QMimeData *)> isResourcesDrag;
    std::function<bool(const QString &caption, QString &folder)> selectDirectory;
    // During a drag: selects the node under the pointer and tells whether a drop there is taken.
    bool lstFilesDragOver(const QPoint &position);
    void lstFilesDragDrop();
    bool handleDrag(QEvent *event);
    void projectWasReset();
    void openGroups();

    LabelMenu *mnuFilesEdit = nullptr;
    QMenu *pmnuFilesEdit = nullptr;
    QAction *mnuFilesEditAdd = nullptr;
    QAction *mnuFilesEditCreateFolder = nullptr;
    QAction *mnuFilesEditRename = nullptr;
    QAction *mnuFilesEditDelete = nullptr;
    QAction *mnuFilesEditLocateMissing = nullptr;
    QTreeView *lstFiles = nullptr;

    int SelectedNodeKind = NoNodeKind; // see selectedNodeKind

    ProjectDocument &m_document;
    const ProjectModel &m_project;
    Dialogs &m_dialogs;
    FilesTreeModel *m_model = nullptr;
};

} // namespace tervelle
