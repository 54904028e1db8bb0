#pragma once

#include "ui/editor/contentpanel.h"

class QComboBox;
class QTableView;

namespace tervelle {

class KeyValueGridModel;
class LabelMenu;
class ProjectModel;

// `pnlHeader`: the pack header grid, showing the project's header rows themselves.
class HeaderPanel : public ContentPanel
{
    Q_OBJECT

public:
    HeaderPanel(ProjectModel &project, QWidget *parent);

    LabelMenu *mnuHeaderEdit = nullptr;
    QMenu *pmnuHeaderEdit = nullptr;
    QAction *mnuHeaderEditAdd = nullptr;
    QAction *mnuHeaderEditAddInfo = nullptr;
    QAction *mnuHeaderEditDelete = nullptr;
    QTableView *lstHeader = nullptr;
    QComboBox *cmbHeader = nullptr;

    // Index of the header row of the grid's current row; -1 for none.
    int SelectedHeaderRow = -1;

    void HeaderMenuChangeEnabled(bool enabled);
    void pnlHeaderChangeEnabled(bool enabled);
    void resetSelection();

protected:
    void panelResize() override;

private:
    ProjectModel &m_project;
    KeyValueGridModel *m_grid = nullptr;
};

} // namespace tervelle
