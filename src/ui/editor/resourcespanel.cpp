#include "ui/editor/resourcespanel.h"

#include "core/langload.h"
#include "project/projectmodel.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

namespace tervelle {

ResourcesPanel::ResourcesPanel(ProjectModel &project, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlResources"), QStringLiteral("lblResources"), parent)
{
    setMinimumSize(150, 100);
    title()->setText(GetLangText(QStringLiteral("[lblResources.Caption]")));
    mnuResourcesEdit = addLabelMenu(QStringLiteral("pnlResourcesMenu"), QStringLiteral("mnuResourcesEdit"),
                                    QStringLiteral("pmnuResourcesEdit"), &pmnuResourcesEdit);
    mnuResourcesEdit->setCaption(GetLangText(QStringLiteral("[mnuResourcesEdit.Caption]")));
    mnuResourcesEditAdd =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAdd"), "[mnuResourcesEdit.Add.Caption]");
    mnuResourcesEditAddDir =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAddDir"), "[mnuResourcesEdit.AddDir.Caption]");
    mnuResourcesEditAddSubDirs = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAddSubDirs"),
                                             "[mnuResourcesEdit.AddSubDirs.Caption]");
    mnuResourcesEditRename =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditRename"), "[mnuResourcesEdit.Rename.Caption]");
    mnuResourcesEditDelete =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditDelete"), "[mnuResourcesEdit.Delete.Caption]");
    mnuResourcesEditClear =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditClear"), "[mnuResourcesEdit.Clear.Caption]");
    for (QAction *item : items())
        item->setEnabled(false);

    m_model = new ResourcesListModel(this);
    m_model->setTitles(GetLangText(QStringLiteral("[lstResources.Column1.Name]")),
                       GetLangText(QStringLiteral("[lstResources.Column2.Name]")));
    lstResources = new QTreeView(this);
    lstResources->setObjectName(QStringLiteral("lstResources"));
    lstResources->setModel(m_model);
    lstResources->setRootIsDecorated(false);
    lstResources->setItemsExpandable(false);
    lstResources->setSortingEnabled(false);
    lstResources->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstResources->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstResources->setDragEnabled(true);
    lstResources->setAccessibleName(title()->text());
    // The path column takes the rest and may shrink in a narrow column.
    lstResources->header()->setStretchLastSection(false);
    lstResources->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lstResources->setColumnWidth(0, 90);
    lstResources->setEnabled(false);
    connect(&project, &ProjectModel::projectReset, this, [this](ResetKind kind) {
        if (kind == ResetKind::New)
            m_model->clear();
    });
}

QList<QAction *> ResourcesPanel::items() const
{
    return {mnuResourcesEditAdd,    mnuResourcesEditAddDir, mnuResourcesEditAddSubDirs,
            mnuResourcesEditRename, mnuResourcesEditDelete, mnuResourcesEditClear};
}

void ResourcesPanel::ResourcesMenuChangeEnabled(bool enabled)
{
    for (QAction *item : items())
        item->setEnabled(enabled);
    mnuResourcesEdit->setEnabled(enabled);
}

void ResourcesPanel::pnlResourcesChangeEnabled(bool enabled)
{
    lstResources->setEnabled(enabled);
    ResourcesMenuChangeEnabled(enabled);
}

void ResourcesPanel::panelResize()
{
    layoutMainControl(lstResources);
}

} // namespace tervelle
