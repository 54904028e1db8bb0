#include "ui/editor/filespanel.h"

#include "core/langload.h"
#include "project/projectmodel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/labelmenu.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

namespace tervelle {

FilesPanel::FilesPanel(ProjectModel &project, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlFiles"), QStringLiteral("lblFiles"), parent)
{
    title()->setText(GetLangText(QStringLiteral("[lblFiles.Caption]")));
    mnuFilesEdit = addLabelMenu(QStringLiteral("pnlFilesMenu"), QStringLiteral("mnuFilesEdit"),
                                QStringLiteral("pmnuFilesEdit"), &pmnuFilesEdit);
    mnuFilesEdit->setCaption(GetLangText(QStringLiteral("[mnuFilesEdit.Caption]")));
    mnuFilesEditAdd = addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditAdd"), "[mnuFilesEdit.Add.Caption]");
    mnuFilesEditCreateFolder =
        addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditCreateFolder"), "[mnuFilesEdit.CreateFolder.Caption]");
    mnuFilesEditDelete = addMenuItem(pmnuFilesEdit, QStringLiteral("mnuFilesEditDelete"), "[mnuFilesEdit.Delete.Caption]");
    for (QAction *item : {mnuFilesEditAdd, mnuFilesEditCreateFolder, mnuFilesEditDelete})
        item->setEnabled(false);

    m_model = new FilesTreeModel(project, this);
    lstFiles = new QTreeView(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setModel(m_model);
    lstFiles->setHeaderHidden(true);
    lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFiles->setIconSize(QSize(16, 16));
    lstFiles->setAccessibleName(title()->text());
    lstFiles->setEnabled(false);
    // A new or opened project shows every group with what it holds.
    connect(&project, &ProjectModel::projectReset, lstFiles, &QTreeView::expandAll);
    lstFiles->expandAll();
}

void FilesPanel::FilesMenuChangeEnabled(bool enabled)
{
    for (QAction *item : {mnuFilesEditAdd, mnuFilesEditCreateFolder, mnuFilesEditDelete})
        item->setEnabled(enabled);
    mnuFilesEdit->setEnabled(enabled);
}

void FilesPanel::pnlFilesChangeEnabled(bool enabled)
{
    lstFiles->setEnabled(enabled);
    FilesMenuChangeEnabled(enabled);
}

void FilesPanel::panelResize()
{
    layoutMainControl(lstFiles);
}

} // namespace tervelle
