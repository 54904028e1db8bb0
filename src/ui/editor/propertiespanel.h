#pragma once

#include "ui/editor/contentpanel.h"

class QComboBox;
class QListWidget;
class QPushButton;
class QTableView;

namespace tervelle {

class KeyValueGridModel;
class LabelMenu;

// `pnlProperties`: the grid of the selected map's properties, a working copy that the File and
// Edit menus of the maps panel commit back, and the value editors kept hidden over it.
class PropertiesPanel : public ContentPanel
{
    Q_OBJECT

public:
    explicit PropertiesPanel(QWidget *parent);

    LabelMenu *mnuPropertiesEdit = nullptr;
    QMenu *pmnuPropertiesEdit = nullptr;
    QAction *mnuPropertiesEditAdd = nullptr;
    QAction *mnuPropertiesEditDelete = nullptr;
    QAction *mnuPropertiesEditTexturesDir = nullptr;
    QTableView *lstProperties = nullptr;
    QComboBox *cmbProperties = nullptr;
    QComboBox *cmbPropertiesTga = nullptr;
    QListWidget *lstScripts = nullptr;
    QPushButton *cmdScripts = nullptr;

    // Index of the property row of the grid's current row; -1 for none.
    int SelectedProperty = -1;

    const QStringList &gridRows() const;
    void loadGrid(const QStringList &rows);
    // No map: the grid empty and disabled, no value editor shown.
    void resetGrid();

    void PropertiesMenuChangeEnabled(bool enabled);
    void pnlPropertiesChangeEnabled(bool enabled);

protected:
    void panelResize() override;

private:
    KeyValueGridModel *m_grid = nullptr;
};

} // namespace tervelle
