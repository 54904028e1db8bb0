#include "ui/editor/mapspanel.h"

#include "core/langload.h"
#include "project/projectdocument.h"
#include "trial/trialmachine.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenu>

namespace tervelle {

MapsPanel::MapsPanel(ProjectDocument &document, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlMaps"), QStringLiteral("lblMaps"), parent)
    , m_document(document)
    , m_project(document.model())
{
    title()->setText(lang(LangKey::lblMaps_Caption));
    mnuFile =
        addLabelMenu(QStringLiteral("pnlMapsMenu"), QStringLiteral("mnuFile"), QStringLiteral("pmnuFile"), &pmnuFile);
    mnuEdit =
        addLabelMenu(QStringLiteral("pnlMapsMenu"), QStringLiteral("mnuEdit"), QStringLiteral("pmnuEdit"), &pmnuEdit);
    mnuFile->setCaption(lang(LangKey::mnuFile_Caption));
    mnuEdit->setCaption(lang(LangKey::mnuEdit_Caption));

    mnuFileNew = addMenuItem(pmnuFile, QStringLiteral("mnuFileNew"), LangKey::mnuFile_New_Caption);
    mnuFileOpen = addMenuItem(pmnuFile, QStringLiteral("mnuFileOpen"), LangKey::mnuFile_Open_Caption);
    mnuFileOpenRecent = pmnuFile->addMenu(lang(LangKey::mnuFile_OpenRecent_Caption));
    mnuFileOpenRecent->setObjectName(QStringLiteral("mnuFileOpenRecent"));
    mnuFileOpenRecent->menuAction()->setObjectName(QStringLiteral("mnuFileOpenRecentItem"));
    // Each project shows its file name; the folder is in its tooltip.
    mnuFileOpenRecent->setToolTipsVisible(true);
    mnuFileOpenRecovery =
        addMenuItem(pmnuFile, QStringLiteral("mnuFileOpenRecovery"), LangKey::mnuFile_OpenRecovery_Caption);
    mnuFileSave = addMenuItem(pmnuFile, QStringLiteral("mnuFileSave"), LangKey::mnuFile_Save_Caption);
    mnuFileSaveProject =
        addMenuItem(pmnuFile, QStringLiteral("mnuFileSaveProject"), LangKey::mnuFile_SaveProject_Caption);
    mnuFileSaveMapPack =
        addMenuItem(pmnuFile, QStringLiteral("mnuFileSaveMapPack"), LangKey::mnuFile_SaveMapPack_Caption);
    mnuFileCheckPack = addMenuItem(pmnuFile, QStringLiteral("mnuFileCheckPack"), LangKey::mnuFile_CheckPack_Caption);
    mnuFileTryInstaller =
        addMenuItem(pmnuFile, QStringLiteral("mnuFileTryInstaller"), LangKey::mnuFile_TryInstaller_Caption);
    // Looking for Wine costs some thirty look-ups on the PATH: it waits until the menu first
    // opens, the only place the item shows. It has no shortcut, and a click looks for itself.
    connect(pmnuFile, &QMenu::aboutToShow, this, &MapsPanel::learnWhetherTrialsCanRun);
    mnuFilePackProperties =
        addMenuItem(pmnuFile, QStringLiteral("mnuFilePackProperties"), LangKey::mnuFile_PackProperties_Caption);
    mnuFileShowConsole =
        addMenuItem(pmnuFile, QStringLiteral("mnuFileShowConsole"), LangKey::mnuFile_ShowConsole_Caption);
    mnuFileHelp = addMenuItem(pmnuFile, QStringLiteral("mnuFileHelp"), LangKey::mnuFile_Help_Caption);
    mnuFileExit = addMenuItem(pmnuFile, QStringLiteral("mnuFileExit"), LangKey::mnuFile_Exit_Caption);
    mnuEditAdd = addMenuItem(pmnuEdit, QStringLiteral("mnuEditAdd"), LangKey::mnuEdit_Add_Caption);
    mnuEditDelete = addMenuItem(pmnuEdit, QStringLiteral("mnuEditDelete"), LangKey::mnuEdit_Delete_Caption);
    mnuEditDuplicate = addMenuItem(pmnuEdit, QStringLiteral("mnuEditDuplicate"), LangKey::mnuEdit_Duplicate_Caption);
    mnuEditMoveUp = addMenuItem(pmnuEdit, QStringLiteral("mnuEditMoveUp"), LangKey::mnuEdit_MoveUp_Caption);
    mnuEditMoveDown = addMenuItem(pmnuEdit, QStringLiteral("mnuEditMoveDown"), LangKey::mnuEdit_MoveDown_Caption);
    pmnuEdit->addSeparator();
    mnuEditUndo = addMenuItem(pmnuEdit, QStringLiteral("mnuEditUndo"), LangKey::mnuEdit_Undo_Caption);
    mnuEditRedo = addMenuItem(pmnuEdit, QStringLiteral("mnuEditRedo"), LangKey::mnuEdit_Redo_Caption);
    for (QAction *item :
         {mnuFileSaveProject, mnuFileSaveMapPack, mnuFileCheckPack, mnuFileTryInstaller, mnuFilePackProperties,
          mnuEditAdd, mnuEditDelete, mnuEditDuplicate, mnuEditMoveUp, mnuEditMoveDown})
        item->setEnabled(false);
    mnuEditMoveUp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    mnuEditMoveDown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));

    const ProjectModel &project = m_project;
    // Before the list's own model: the selection must be settled before the row goes.
    connect(&project, &ProjectModel::mapRemoved, this, &MapsPanel::mapWillGo);
    m_model = new MapsListModel(project, this);
    lstMaps = new QListView(this);
    lstMaps->setObjectName(QStringLiteral("lstMaps"));
    lstMaps->setModel(m_model);
    lstMaps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstMaps->setSelectionMode(QAbstractItemView::SingleSelection);
    lstMaps->setAccessibleName(title()->text());
    connect(lstMaps->selectionModel(), &QItemSelectionModel::currentChanged, this, &MapsPanel::lstMapsClick);
    connect(mnuFile, &LabelMenu::activated, this, &MapsPanel::commitGridToSelectedMap);
    connect(mnuEditAdd, &QAction::triggered, this, &MapsPanel::mnuEditAddClick);
    connect(mnuEditDelete, &QAction::triggered, this, &MapsPanel::mnuEditDeleteClick);
    connect(mnuEditDuplicate, &QAction::triggered, this, &MapsPanel::mnuEditDuplicateClick);
    connect(mnuEditMoveUp, &QAction::triggered, this, [this] { moveSelectedMap(-1); });
    connect(mnuEditMoveDown, &QAction::triggered, this, [this] { moveSelectedMap(1); });
    // Ctrl+Up and Ctrl+Down work in the list itself, as the items' shortcuts say.
    for (QAction *item : {mnuEditMoveUp, mnuEditMoveDown}) {
        item->setShortcutContext(Qt::WidgetShortcut);
        lstMaps->addAction(item);
    }
    connect(&project, &ProjectModel::mapInserted, this, &MapsPanel::mapCameBack);
    connect(&project, &ProjectModel::mapRemoved, this, &MapsPanel::updateAddEnabled);
    connect(&project, &ProjectModel::projectReset, this, &MapsPanel::updateAddEnabled);
    for (auto changed : {&ProjectModel::mapInserted, &ProjectModel::mapRemoved})
        connect(&project, changed, this, &MapsPanel::updateMapItems);
    connect(mnuEdit, &LabelMenu::activated, this, &MapsPanel::commitGridToSelectedMap);
}

void MapsPanel::MapMenuChangeEnabled(bool enabled)
{
    mnuFile->setEnabled(enabled);
    mnuEdit->setEnabled(enabled);
    for (QAction *item : {mnuEditAdd, mnuEditDelete, mnuFileNew, mnuFileOpen, mnuFileSaveProject, mnuFileSaveMapPack,
                          mnuFileCheckPack, mnuFilePackProperties, mnuFileExit})
        item->setEnabled(enabled);
    // Until Wine has been looked for, a click finds out (and says so) itself.
    mnuFileTryInstaller->setEnabled(enabled && (m_canTry || !m_canTryKnown));
    m_menusEnabled = enabled;
    updateAddEnabled();
}

void MapsPanel::learnWhetherTrialsCanRun()
{
    if (m_canTryKnown)
        return;
    m_canTryKnown = true;
    // Without Wine the item stays off for good, and says why.
    m_canTry = TrialMachine::wineAvailable();
    if (!m_canTry) {
        mnuFileTryInstaller->setToolTip(lang(LangKey::mnuFile_TryInstaller_NoWine));
        pmnuFile->setToolTipsVisible(true);
        mnuFileTryInstaller->setEnabled(false);
    }
}

void MapsPanel::updateAddEnabled()
{
    mnuEditAdd->setEnabled(m_menusEnabled && m_project.mapCount() < MaxMaps);
}

void MapsPanel::updateMapItems()
{
    const bool chosen = SelectedMap >= 0 && SelectedMap < m_project.mapCount();
    mnuEditDuplicate->setEnabled(chosen && m_project.mapCount() < MaxMaps);
    mnuEditMoveUp->setEnabled(chosen && SelectedMap > 0);
    mnuEditMoveDown->setEnabled(chosen && SelectedMap < m_project.mapCount() - 1);
}

void MapsPanel::chooseMap(int index)
{
    SelectedMap = -1; // nothing to commit: the grid was committed before the list changed
    {
        // The list may already stand on that row; choosing it must still be heard.
        const QSignalBlocker quiet(lstMaps->selectionModel());
        lstMaps->selectionModel()->clear();
    }
    lstMaps->setCurrentIndex(m_model->index(index));
    updateAddEnabled();
    updateMapItems();
}

void MapsPanel::mnuEditDuplicateClick()
{
    commitGridToSelectedMap();
    int copy = -1;
    m_document.change(lang(LangKey::Change_DuplicateMap),
                      [&](ProjectModel &project) { copy = project.duplicateMap(SelectedMap); });
    if (copy >= 0)
        chooseMap(copy);
}

void MapsPanel::moveSelectedMap(int step)
{
    const int from = SelectedMap;
    const int to = from + step;
    if (from < 0 || to < 0 || to >= m_project.mapCount())
        return;
    commitGridToSelectedMap();
    {
        // The list's own moves of its current item while the row goes choose nothing.
        const QSignalBlocker quiet(lstMaps->selectionModel());
        m_document.change(lang(LangKey::Change_MoveMap), [&](ProjectModel &project) { project.moveMap(from, to); });
    }
    chooseMap(to);
}

void MapsPanel::mnuEditAddClick()
{
    if (m_project.mapCount() >= MaxMaps)
        return;
    commitGridToSelectedMap();
    int index = -1;
    m_document.change(lang(LangKey::Change_AddMap), [&](ProjectModel &project) { index = project.AddMap(); });
    lstMaps->setCurrentIndex(m_model->index(index));
    updateAddEnabled();
    updateMapItems();
}

void MapsPanel::mnuEditDeleteClick()
{
    const int index = SelectedMap;
    if (index < 0 || index >= m_project.mapCount())
        return;
    // No map is current before the row goes, so the list's move to a neighbour selects nothing.
    SelectedMap = -1;
    emit mapShown(-1);
    {
        const QSignalBlocker quiet(lstMaps->selectionModel());
        m_document.change(lang(LangKey::Change_DeleteMap), [&](ProjectModel &project) { project.DeleteMap(index); });
        lstMaps->selectionModel()->clear();
    }
    mnuEditDelete->setEnabled(false);
    updateAddEnabled();
    updateMapItems();
}

void MapsPanel::commitGridToSelectedMap()
{
    if (SelectedMap >= 0 && SelectedMap < m_project.mapCount())
        emit gridCommitWanted();
}

void MapsPanel::mapWillGo(int index)
{
    // The map list model has not removed the row yet.
    if (index == SelectedMap) {
        SelectedMap = -1;
        const QSignalBlocker quiet(lstMaps->selectionModel());
        lstMaps->selectionModel()->clear();
        mnuEditDelete->setEnabled(false);
    } else if (index < SelectedMap) {
        --SelectedMap;
    }
    updateAddEnabled();
}

void MapsPanel::mapCameBack(int index)
{
    if (index <= SelectedMap)
        ++SelectedMap;
    updateAddEnabled();
    // A map that an undo or a redo brings back is the one the map maker looks at.
    if (m_document.isReplaying())
        lstMaps->setCurrentIndex(m_model->index(index));
}

void MapsPanel::lstMapsClick()
{
    commitGridToSelectedMap();
    const QModelIndex current = lstMaps->currentIndex();
    if (current.isValid()) {
        SelectedMap = current.row();
        emit mapShown(SelectedMap);
    }
    mnuEditDelete->setEnabled(SelectedMap >= 0);
    updateMapItems();
}

MapsPanel::WindowItems MapsPanel::windowItems() const
{
    return {mnuFileNew,         mnuFileOpen,        mnuFileOpenRecent, mnuFileOpenRecovery, mnuFileSave,
            mnuFileSaveProject, mnuFileSaveMapPack, mnuFileCheckPack,  mnuFileTryInstaller, mnuFilePackProperties,
            mnuFileShowConsole, mnuFileHelp,        mnuFileExit,       mnuEditUndo,         mnuEditRedo};
}

void MapsPanel::showNewProject()
{
    resetSelection();
    MapMenuChangeEnabled(true);
    mnuEditDelete->setEnabled(false);
}

void MapsPanel::resetSelection()
{
    SelectedMap = -1;
    const QSignalBlocker quiet(lstMaps->selectionModel());
    lstMaps->selectionModel()->clear();
    updateMapItems();
}

void MapsPanel::panelResize()
{
    layoutMainControl(lstMaps, 39);
}

} // namespace tervelle
