#include "ui/editor/filespanel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "project/projectdocument.h"
#include "project/relink.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/labelmenu.h"

#include <QAction>
#include <QDragMoveEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

namespace tervelle {

FilesPanel::FilesPanel(ProjectDocument &document, Dialogs &dialogs, Links links, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlFiles"), QStringLiteral("lblFiles"), parent)
    , m_document(document)
    , m_project(document.model())
    , m_dialogs(dialogs)
{
    selectedResources = std::move(links.selectedResources);
    isResourcesDrag = std::move(links.isResourcesDrag);
    selectDirectory = std::move(links.selectDirectory);
    const ProjectModel &project = m_project;
    title()->setText(lang(LangKey::lblFiles_Caption));
    mnuFilesEdit = addLabelMenu(QStringLiteral("pnlFilesMenu"), QStringLiteral("mnuFilesEdit"),
                                QStringLiteral("pmnuFilesEdit"), &pmnuFilesEdit);
    mnuFilesEdit->setCaption(lang(LangKey::mnuFilesEdit_Caption));
    mnuFilesEditAdd = addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditAdd"), LangKey::mnuFilesEdit_Add_Caption);
    mnuFilesEditCreateFolder = addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditCreateFolder"),
                                           LangKey::mnuFilesEdit_CreateFolder_Caption);
    mnuFilesEditRename =
        addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditRename"), LangKey::mnuFilesEdit_Rename_Caption);
    mnuFilesEditDelete =
        addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditDelete"), LangKey::mnuFilesEdit_Delete_Caption);
    mnuFilesEditLocateMissing = addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditLocateMissing"),
                                            LangKey::mnuFilesEdit_LocateMissing_Caption);
    for (QAction *item :
         {mnuFilesEditAdd, mnuFilesEditCreateFolder, mnuFilesEditRename, mnuFilesEditDelete, mnuFilesEditLocateMissing})
        item->setEnabled(false);

    m_model = new FilesTreeModel(project, this);
    lstFiles = new QTreeView(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setModel(m_model);
    lstFiles->setHeaderHidden(true);
    lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFiles->setIconSize(QSize(16, 16));
    // Every row is one line beside a 16-pixel image: the view need not ask each row its height,
    // which for a folder of a million files would ask them all.
    lstFiles->setUniformRowHeights(true);
    lstFiles->setAccessibleName(title()->text());
    // Drops are judged here, node by node; the view's own drop handling stays out.
    lstFiles->setAcceptDrops(true);
    lstFiles->viewport()->installEventFilter(this);
    // A new or opened project shows every group with what it holds.
    connect(&project, &ProjectModel::projectReset, this, &FilesPanel::projectWasReset);
    openGroups();

    connect(lstFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FilesPanel::lstFilesChange);
    connect(lstFiles, &QTreeView::clicked, this, [this] { lstFilesClick(lstFiles); });
    connect(mnuFilesEditAdd, &QAction::triggered, this, &FilesPanel::mnuFilesEditAddClick);
    connect(mnuFilesEditCreateFolder, &QAction::triggered, this, &FilesPanel::mnuFilesEditCreateFolderClick);
    connect(mnuFilesEditRename, &QAction::triggered, this, &FilesPanel::mnuFilesEditRenameClick);
    connect(mnuFilesEditDelete, &QAction::triggered, this, &FilesPanel::mnuFilesEditDeleteClick);
    connect(mnuFilesEditLocateMissing, &QAction::triggered, this, &FilesPanel::mnuFilesEditLocateMissingClick);
    mnuFilesEditDelete->setShortcut(QKeySequence::Delete);
    mnuFilesEditDelete->setShortcutContext(Qt::WidgetShortcut);
    lstFiles->addAction(mnuFilesEditDelete);
}

void FilesPanel::projectWasReset()
{
    openGroups();
    SelectedNodeKind = NoNodeKind;
    emit nodeShown(nullptr);
}

// One level only: deeper folders open as the map maker opens them, so a project of a million
// files costs the view no more rows than it shows.
void FilesPanel::openGroups()
{
    for (int row = 0; row < m_model->rowCount(); ++row)
        lstFiles->expand(m_model->index(row, 0));
}

TreeNode *FilesPanel::selectedNode() const
{
    const QModelIndexList selected = lstFiles->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : m_model->node(selected.first());
}

void FilesPanel::FilesMenuChangeEnabled(bool enabled)
{
    for (QAction *item :
         {mnuFilesEditAdd, mnuFilesEditCreateFolder, mnuFilesEditRename, mnuFilesEditDelete, mnuFilesEditLocateMissing})
        item->setEnabled(enabled);
    mnuFilesEdit->setEnabled(enabled);
}

void FilesPanel::pnlFilesChangeEnabled(bool enabled)
{
    lstFiles->setEnabled(enabled);
    FilesMenuChangeEnabled(enabled);
}

void FilesPanel::showNewProject()
{
    pnlFilesChangeEnabled(true);
    mnuFilesEditDelete->setEnabled(false);
    mnuFilesEditRename->setEnabled(false);
}

void FilesPanel::panelResize()
{
    layoutMainControl(lstFiles);
}

void FilesPanel::lstFilesClick(QObject *sender)
{
    TreeNode *node = selectedNode();
    SelectedNodeKind = nodeKindOf(m_project, node);
    // With nothing selected Delete stays as it was.
    if (node) {
        mnuFilesEditDelete->setEnabled(m_project.canDelete(node));
        mnuFilesEditRename->setEnabled(canRenameNode(m_project, node));
    }
    mnuFilesEditCreateFolder->setEnabled(canCreateFolderKind(SelectedNodeKind));
    if (sender)
        emit nodeShown(node);
}

void FilesPanel::lstFilesChange()
{
    lstFilesClick(lstFiles);
}

void FilesPanel::mnuFilesEditAddClick()
{
    if (TreeNode *node = selectedNode()) {
        Dialogs &dialogs = m_dialogs;
        AddResourcesOperation operation(m_project, [&dialogs](const QString &name) {
            QString text = lang(LangKey::message_ReplaceFile_Caption, {{'f', name}});
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            return dialogs.askReplace(messageCaption(), text);
        });
        const QVector<AddResourcesOperation::Resource> chosen =
            selectedResources ? selectedResources() : QVector<AddResourcesOperation::Resource>();
        // The replace questions first: the recovery timer may fire while one is open.
        operation.askFirst(node, chosen);
        m_document.change(lang(LangKey::Change_AddResources),
                          [&](ProjectModel &project) { operation.addSelected(project, node, chosen); });
        lstFiles->expand(m_model->indexOf(node));
        if (!operation.skipped().isEmpty()) {
            QStringList reasons;
            for (const SkippedResource &skipped : operation.skipped())
                reasons.append(skipped.reason);
            dialogs.showMessage(messageCaption(), reasons.join(QLatin1Char('\n')));
        } else if (!chosen.isEmpty() && !AddResourcesOperation::takesAny(SelectedNodeKind, chosen)) {
            // Silence here looked like a broken command.
            const QString reason = nothingAddedReason(SelectedNodeKind);
            if (!reason.isEmpty())
                dialogs.showMessage(messageCaption(), reason);
        }
    }
    emit resourcesAdded();
}

void FilesPanel::mnuFilesEditCreateFolderClick()
{
    TreeNode *node = selectedNode();
    if (!node)
        return;
    const std::optional<QString> name =
        m_dialogs.inputText(lang(LangKey::message_NewFolder_Caption), lang(LangKey::message_NewFolder_Promt),
                            lang(LangKey::message_NewFolder_Default));
    // Cancel means no folder, not a folder of the default name.
    if (!name)
        return;
    try {
        m_document.change(lang(LangKey::Change_CreateFolder),
                          [&](ProjectModel &project) { CreateFolder(project, node, *name); });
        lstFiles->expand(m_model->indexOf(node));
    } catch (const UserError &e) {
        m_dialogs.showMessage(messageCaption(), e.message());
    }
}

void FilesPanel::mnuFilesEditRenameClick()
{
    TreeNode *node = selectedNode();
    if (!canRenameNode(m_project, node))
        return;
    const std::optional<QString> name = m_dialogs.inputText(lang(LangKey::message_RenameNode_Caption),
                                                            lang(LangKey::message_Rename_Promt), node->Text());
    if (!name || *name == node->Text())
        return;
    try {
        checkNodeRename(m_project, node, *name);
    } catch (const UserError &e) {
        m_dialogs.showMessage(messageCaption(), e.message());
        return;
    }
    // Asked before the change, so that the rename and the values that follow it are one step.
    const std::vector<FollowingValue> values = valuesFollowingRename(m_project, node, *name);
    const bool follow = !values.empty()
        && m_dialogs.askYesNo(messageCaption(),
                              lang(LangKey::message_RenameNode_Follow,
                                   {{'c', QString::number(values.size())}, {'f', node->Text()}, {'k', *name}}));
    try {
        m_document.change(lang(LangKey::Change_RenameNode), [&](ProjectModel &project) {
            RenameTreeNode(project, node, *name);
            if (!follow)
                return;
            for (const FollowingValue &value : values)
                project.SetMapPropertyValue(value.map, value.row, value.value);
        });
    } catch (const UserError &e) {
        m_dialogs.showMessage(messageCaption(), e.message());
    }
}

void FilesPanel::mnuFilesEditDeleteClick()
{
    TreeNode *node = selectedNode();
    bool deleted = false;
    if (node)
        m_document.change(lang(LangKey::Change_DeleteNode),
                          [&](ProjectModel &project) { deleted = project.DeleteNode(node); });
    if (!deleted)
        return;
    // The tree moved its current row to a neighbour; that becomes the selection.
    const QModelIndex next = lstFiles->currentIndex();
    if (next.isValid())
        lstFiles->selectionModel()->select(next, QItemSelectionModel::ClearAndSelect);
    lstFilesClick(lstFiles);
}

void FilesPanel::mnuFilesEditLocateMissingClick()
{
    Dialogs &dialogs = m_dialogs;
    if (!hasMissingFiles(m_project)) {
        dialogs.showMessage(messageCaption(), lang(LangKey::message_Locate_NothingMissing));
        return;
    }
    QString folder;
    if (!selectDirectory || !selectDirectory(lang(LangKey::dlgLocateDir_Title), folder) || folder.isEmpty()
        || !QFileInfo(folder).isDir())
        return;
    RelinkResult result;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // Every file found again is one step of the history.
        m_document.change(lang(LangKey::Change_LocateMissing),
                          [&](ProjectModel &project) { result = LocateMissingFiles(project, folder); });
        QGuiApplication::restoreOverrideCursor();
    }
    // "/c" found again, "/m" not found.
    QString text = lang(LangKey::message_Locate_Result,
                        {{'c', QString::number(result.found)}, {'m', QString::number(result.notFound)}});
    if (!result.ambiguous.isEmpty()) {
        text += QLatin1Char('\n')
            + lang(LangKey::message_Locate_Ambiguous, {{'f', result.ambiguous.join(QStringLiteral(", "))}});
    }
    if (!result.privateOnly.isEmpty()) {
        text += QLatin1Char('\n')
            + lang(LangKey::message_Locate_Private, {{'f', result.privateOnly.join(QStringLiteral(", "))}});
    }
    // The preview shows the selected node's file, which may just have come back.
    lstFilesClick(lstFiles);
    dialogs.showMessage(messageCaption(), text);
}

bool FilesPanel::lstFilesDragOver(const QPoint &position)
{
    const QModelIndex at = lstFiles->indexAt(position);
    QItemSelectionModel *selection = lstFiles->selectionModel();
    if (!at.isValid()) {
        selection->clearSelection();
        return false;
    }
    if (!selection->isSelected(at))
        selection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    lstFilesClick(nullptr);
    if (!lstFiles->isExpanded(at))
        lstFiles->expand(at);
    if (SelectedNodeKind < 0 || SelectedNodeKind >= RootCount)
        return false;
    // A node that takes none of the dragged files refuses the drop before the button is let go.
    return selectedResources && AddResourcesOperation::takesAny(SelectedNodeKind, selectedResources());
}

void FilesPanel::lstFilesDragDrop()
{
    mnuFilesEditAddClick();
}

bool FilesPanel::handleDrag(QEvent *event)
{
    auto *drag = static_cast<QDropEvent *>(event);
    // Only rows of this window's resources list: anything else names no selected resources.
    if (!isResourcesDrag || !isResourcesDrag(drag->mimeData())) {
        drag->ignore();
        return true;
    }
    const bool taken = lstFilesDragOver(drag->position().toPoint());
    // The enter is taken whatever lies under the pointer, so that the moves follow; each move
    // and the drop judge the node they are over. A refusal shows the no-drop cursor at once.
    if (taken) {
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
    } else if (event->type() == QEvent::DragEnter) {
        drag->setDropAction(Qt::IgnoreAction);
        drag->accept();
    } else {
        drag->ignore();
    }
    if (taken && event->type() == QEvent::Drop)
        lstFilesDragDrop();
    return true;
}

bool FilesPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFiles->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: return handleDrag(event);
        default: break;
        }
    }
    return ContentPanel::eventFilter(watched, event);
}

} // namespace tervelle
