#pragma once

#include "project/treeoperations.h"
#include "ui/editor/contentpanel.h"

class QTreeView;
class QUrl;

#include <QPointer>

#include <functional>

namespace tervelle {

class FolderScanJob;
class LabelMenu;
class ProjectModel;
class ResourcesModel;
struct Settings;
class Dialogs;

// `pnlResources`: the staging list of files collected from disk. It is not part of the project:
// a new project empties it, an opened one keeps it.
class ResourcesPanel : public ContentPanel
{
    Q_OBJECT

public:
    // The window's folder picker; false on Cancel.
    using SelectDirectory = std::function<bool(const QString &caption, QString &folder)>;
    ResourcesPanel(const ProjectModel &project, Settings &settings, Dialogs &dialogs, SelectDirectory selectDirectory,
                   QWidget *parent);

    QTreeView *list() const { return lstResources; }
    ResourcesModel *listModel() const { return m_model; }

    void ResourcesMenuChangeEnabled(bool enabled);
    void pnlResourcesChangeEnabled(bool enabled);

    void mnuResourcesEditAddClick();
    void mnuResourcesEditAddDirClick();
    void mnuResourcesEditAddSubDirsClick();
    void mnuResourcesEditRenameClick();
    void mnuResourcesEditDeleteClick();
    void mnuResourcesEditClearClick();
    void lstResourcesSelectItem();

    // The selected rows in list order, as "Add selected resources" takes them.
    QVector<AddResourcesOperation::Resource> selectedResources() const;

    // Starts scanning a folder into the list on a thread of its own; `scanning` tells when it
    // runs and when it has ended. The title shows the count found so far, and Esc or closing
    // the window stops the scan.
    void scanFolder(const QString &folder, bool recursive);
    // Files and folders dropped from the desktop: files are added, folders with their
    // subfolders.
    void addDropped(const QList<QUrl> &urls);

signals:
    // A folder scan holds the window's panels while it runs.
    void scanning(bool running);

protected:
    void panelResize() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SelectDirectory selectDirectory;
    void makeEditMenu();
    void makeList(const ProjectModel &project);
    void connectEditMenu();
    QList<QAction *> items() const;
    void addFolderCommand(bool recursive);
    bool scanEvent(QObject *watched, QEvent *event);
    void scanProgressed();
    void scanEnded();
    void stopScan();
    bool handleDrop(QEvent *event);

    LabelMenu *mnuResourcesEdit = nullptr;
    QMenu *pmnuResourcesEdit = nullptr;
    QAction *mnuResourcesEditAdd = nullptr;
    QAction *mnuResourcesEditAddDir = nullptr;
    QAction *mnuResourcesEditAddSubDirs = nullptr;
    QAction *mnuResourcesEditRename = nullptr;
    QAction *mnuResourcesEditDelete = nullptr;
    QAction *mnuResourcesEditClear = nullptr;
    QTreeView *lstResources = nullptr;

    Settings &m_settings; // the game's folder to start from; the last folder scanned
    Dialogs &m_dialogs;
    ResourcesModel *m_model = nullptr;
    QString m_dialogFolder; // where the file dialog opens; empty until it was first opened
    bool m_dialogOpened = false;
    bool m_scanning = false;
    bool m_stopScan = false;
    bool m_closeAfterScan = false;
    FolderScanJob *m_scan = nullptr; // made at the first scan
    QString m_scanCaption;
    QPointer<QWidget> m_scanFocus;
    QStringList m_droppedFolders; // dropped folders still to scan
};

} // namespace tervelle
