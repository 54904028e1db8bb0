#pragma once

#include "ui/editor/contentpanel.h"

class QTreeView;

namespace tervelle {

class LabelMenu;
class ProjectModel;
class ResourcesListModel;

// `pnlResources`: the staging list of files collected from disk. It is not part of the project:
// a new project empties it, an opened one keeps it.
class ResourcesPanel : public ContentPanel
{
    Q_OBJECT

public:
    ResourcesPanel(ProjectModel &project, QWidget *parent);

    LabelMenu *mnuResourcesEdit = nullptr;
    QMenu *pmnuResourcesEdit = nullptr;
    QAction *mnuResourcesEditAdd = nullptr;
    QAction *mnuResourcesEditAddDir = nullptr;
    QAction *mnuResourcesEditAddSubDirs = nullptr;
    QAction *mnuResourcesEditRename = nullptr;
    QAction *mnuResourcesEditDelete = nullptr;
    QAction *mnuResourcesEditClear = nullptr;
    QTreeView *lstResources = nullptr;

    ResourcesListModel *listModel() const { return m_model; }

    void ResourcesMenuChangeEnabled(bool enabled);
    void pnlResourcesChangeEnabled(bool enabled);

protected:
    void panelResize() override;

private:
    QList<QAction *> items() const;

    ResourcesListModel *m_model = nullptr;
};

} // namespace tervelle
