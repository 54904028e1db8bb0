#include "ui/editor/mapspanel.h"

#include "core/langload.h"
#include "project/projectmodel.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"
#include "ui/editor/propertiespanel.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenu>

namespace tervelle {

MapsPanel::MapsPanel(ProjectModel &project, PropertiesPanel &properties, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlMaps"), QStringLiteral("lblMaps"), parent), m_project(project),
      m_properties(properties)
{
    title()->setText(GetLangText(QStringLiteral("[lblMaps.Caption]")));
    mnuFile = addLabelMenu(QStringLiteral("pnlMapsMenu"), QStringLiteral("mnuFile"), QStringLiteral("pmnuFile"), &pmnuFile);
    mnuEdit = addLabelMenu(QStringLiteral("pnlMapsMenu"), QStringLiteral("mnuEdit"), QStringLiteral("pmnuEdit"), &pmnuEdit);
    mnuFile->setCaption(GetLangText(QStringLiteral("[mnuFile.Caption]")));
    mnuEdit->setCaption(GetLangText(QStringLiteral("[mnuEdit.Caption]")));

    mnuFileNew = addMenuItem(pmnuFile, QStringLiteral("mnuFileNew"), "[mnuFile.New.Caption]");
    mnuFileOpen = addMenuItem(pmnuFile, QStringLiteral("mnuFileOpen"), "[mnuFile.Open.Caption]");
    mnuFileSaveProject = addMenuItem(pmnuFile, QStringLiteral("mnuFileSaveProject"), "[mnuFile.SaveProject.Caption]");
    mnuFileSaveMapPack = addMenuItem(pmnuFile, QStringLiteral("mnuFileSaveMapPack"), "[mnuFile.SaveMapPack.Caption]");
    mnuFilePackProperties =
        addMenuItem(pmnuFile, QStringLiteral("mnuFilePackProperties"), "[mnuFile.PackProperties.Caption]");
    mnuFileShowConsole = addMenuItem(pmnuFile, QStringLiteral("mnuFileShowConsole"), "[mnuFile.ShowConsole.Caption]");
    mnuFileHelp = addMenuItem(pmnuFile, QStringLiteral("mnuFileHelp"), "[mnuFile.Help.Caption]");
    mnuFileExit = addMenuItem(pmnuFile, QStringLiteral("mnuFileExit"), "[mnuFile.Exit.Caption]");
    mnuEditAdd = addMenuItem(pmnuEdit, QStringLiteral("mnuEditAdd"), "[mnuEdit.Add.Caption]");
    mnuEditDelete = addMenuItem(pmnuEdit, QStringLiteral("mnuEditDelete"), "[mnuEdit.Delete.Caption]");
    for (QAction *item : {mnuFileSaveProject, mnuFileSaveMapPack, mnuFilePackProperties, mnuEditAdd, mnuEditDelete})
        item->setEnabled(false);

    m_model = new MapsListModel(project, this);
    lstMaps = new QListView(this);
    lstMaps->setObjectName(QStringLiteral("lstMaps"));
    lstMaps->setModel(m_model);
    lstMaps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstMaps->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMaps->setAccessibleName(title()->text());
    connect(lstMaps->selectionModel(), &QItemSelectionModel::currentChanged, this, &MapsPanel::lstMapsClick);
    connect(mnuFile, &LabelMenu::activated, this, &MapsPanel::mnuMainClick);
    connect(mnuEdit, &LabelMenu::activated, this, &MapsPanel::mnuMainClick);
}

void MapsPanel::MapMenuChangeEnabled(bool enabled)
{
    mnuFile->setEnabled(enabled);
    mnuEdit->setEnabled(enabled);
    for (QAction *item : {mnuEditAdd, mnuEditDelete, mnuFileNew, mnuFileOpen, mnuFileSaveProject, mnuFileSaveMapPack,
                          mnuFilePackProperties, mnuFileExit})
        item->setEnabled(enabled);
}

void MapsPanel::mnuMainClick()
{
    if (SelectedMap >= 0 && SelectedMap < m_project.mapCount())
        m_project.CommitMapProperties(SelectedMap, m_properties.gridRows());
}

void MapsPanel::lstMapsClick()
{
    mnuMainClick();
    const QModelIndex current = lstMaps->currentIndex();
    if (current.isValid()) {
        SelectedMap = current.row();
        m_properties.loadGrid(m_project.map(SelectedMap).Info.Properties);
        m_properties.pnlPropertiesChangeEnabled(true);
        m_properties.SelectedProperty = -1;
        m_properties.mnuPropertiesEditDelete->setEnabled(false);
    }
    mnuEditDelete->setEnabled(SelectedMap >= 0);
}

void MapsPanel::resetSelection()
{
    SelectedMap = -1;
    const QSignalBlocker quiet(lstMaps->selectionModel());
    lstMaps->selectionModel()->clear();
}

void MapsPanel::panelResize()
{
    layoutMainControl(lstMaps, 39);
}

} // namespace tervelle
