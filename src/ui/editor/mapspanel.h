#pragma once

#include "ui/editor/contentpanel.h"

class QListView;

namespace tervelle {

class LabelMenu;
class MapsListModel;
class ProjectDocument;
class ProjectModel;

// `pnlMaps`: the maps list with the File and Edit label-menus.
class MapsPanel : public ContentPanel
{
    Q_OBJECT

public:
    MapsPanel(ProjectDocument &document, QWidget *parent);

    // The File menu's items and the history's, whose commands span panels: the window runs
    // them, gives them their shortcuts and holds them during a build or a scan.
    struct WindowItems
    {
        QAction *mnuFileNew;
        QAction *mnuFileOpen;
        QMenu *mnuFileOpenRecent;
        QAction *mnuFileOpenRecovery;
        QAction *mnuFileSave;
        QAction *mnuFileSaveProject;
        QAction *mnuFileSaveMapPack;
        QAction *mnuFileCheckPack;
        QAction *mnuFileTryInstaller;
        QAction *mnuFilePackProperties;
        QAction *mnuFileShowConsole;
        QAction *mnuFileHelp;
        QAction *mnuFileExit;
        QAction *mnuEditUndo;
        QAction *mnuEditRedo;
    };
    WindowItems windowItems() const;
    QListView *list() const { return lstMaps; }
    // Index of the map whose properties the grid shows; -1 for none.
    int selectedMap() const { return SelectedMap; }

    void MapMenuChangeEnabled(bool enabled);
    // Asks for the properties grid to be stored into the selected map, if there is one; the
    // File and Edit label-menus run it as they open, so a save or a build sees the grid.
    void commitGridToSelectedMap();
    // The current item of the list changed.
    void lstMapsClick();
    void mnuEditAddClick();
    void mnuEditDeleteClick();
    void mnuEditDuplicateClick();
    // Moves the selected map one place up (-1) or down (1), keeping it selected.
    void moveSelectedMap(int step);
    // Add is offered while the pack has room for one more map.
    void updateAddEnabled();
    // A new or opened project: no map selected, the menus on but Delete off.
    void showNewProject();

signals:
    // Before the menus open and before another map is shown: the grid's edits go into its map.
    void gridCommitWanted();
    // The map whose properties are to be shown, or -1 for none.
    void mapShown(int index);

protected:
    void panelResize() override;

private:
    // No map selected.
    void resetSelection();
    // Duplicate and Move follow the selection and the room in the pack.
    void updateMapItems();
    // Makes `index` the chosen map without committing the grid into another.
    void chooseMap(int index);
    // Once: whether Wine is there, which Try installer needs.
    void learnWhetherTrialsCanRun();

    // Undo and redo take maps away and bring them back: the selection follows.
    void mapWillGo(int index);
    void mapCameBack(int index);

    LabelMenu *mnuFile = nullptr;
    LabelMenu *mnuEdit = nullptr;
    QMenu *pmnuFile = nullptr;
    QMenu *pmnuEdit = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuFileOpen = nullptr;
    QMenu *mnuFileOpenRecent = nullptr;
    QAction *mnuFileOpenRecovery = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuFileSaveProject = nullptr;
    QAction *mnuFileSaveMapPack = nullptr;
    QAction *mnuFileCheckPack = nullptr;
    QAction *mnuFileTryInstaller = nullptr;
    bool m_canTry = false; // Wine is there to run a trial
    bool m_canTryKnown = false;
    QAction *mnuFilePackProperties = nullptr;
    QAction *mnuFileShowConsole = nullptr;
    QAction *mnuFileHelp = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuEditAdd = nullptr;
    QAction *mnuEditDelete = nullptr;
    QAction *mnuEditDuplicate = nullptr;
    QAction *mnuEditMoveUp = nullptr;
    QAction *mnuEditMoveDown = nullptr;
    // The project's history, after a separator at the end of the Edit menu.
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditRedo = nullptr;
    QListView *lstMaps = nullptr;

    int SelectedMap = -1; // see selectedMap

    ProjectDocument &m_document;
    const ProjectModel &m_project;
    MapsListModel *m_model = nullptr;
    bool m_menusEnabled = true;
};

} // namespace tervelle
