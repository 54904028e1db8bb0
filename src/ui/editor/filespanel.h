#pragma once

#include "ui/editor/contentpanel.h"

class QTreeView;

namespace tervelle {

class FilesTreeModel;
class LabelMenu;
class ProjectModel;

// `pnlFiles`: the pack's files tree under its six group roots.
class FilesPanel : public ContentPanel
{
    Q_OBJECT

public:
    FilesPanel(ProjectModel &project, QWidget *parent);

    LabelMenu *mnuFilesEdit = nullptr;
    QMenu *pmnuFilesEdit = nullptr;
    QAction *mnuFilesEditAdd = nullptr;
    QAction *mnuFilesEditCreateFolder = nullptr;
    QAction *mnuFilesEditDelete = nullptr;
    QTreeView *lstFiles = nullptr;

    FilesTreeModel *treeModel() const { return m_model; }

    void FilesMenuChangeEnabled(bool enabled);
    void pnlFilesChangeEnabled(bool enabled);

    // The resize handler; the window also runs it after its own.
    void pnlFilesResize() { panelResize(); }

protected:
    void panelResize() override;

private:
    FilesTreeModel *m_model = nullptr;
};

} // namespace tervelle
