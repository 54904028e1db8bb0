#pragma once

#include "image/texturetiles.h"
#include "ui/editor/keyvaluepanel.h"
#include "ui/editor/tilecombo.h"

#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QToolButton>

#include <functional>

class QTableView;

namespace tervelle {

enum ValueKind : qint32;

class LabelMenu;
struct Settings;

// `pnlProperties`: the grid of the selected map's properties and the value editors over it.
// The grid is the map's working copy and every edit is committed into the project at once, so
// whatever reads the project sees the latest typed value.
class PropertiesPanel : public KeyValuePanel
{
    Q_OBJECT

public:
    // The window's folder picker; false on Cancel.
    using SelectDirectory = std::function<bool(const QString &caption, QString &folder)>;
    PropertiesPanel(ProjectDocument &document, Settings &settings, Dialogs &dialogs, SelectDirectory selectDirectory,
                    QWidget *parent);
    ~PropertiesPanel() override;

    // Index of the property row of the grid's current row; -1 for none.
    int selectedProperty() const { return SelectedProperty; }

    const QStringList &gridRows() const;
    // Puts rows into the grid as they stand, as if typed there: the next commit stores them.
    void loadGrid(const QStringList &rows);
    // Shows the map's properties and enables the grid.
    void loadMap(int map);
    // Shows the map enabled, or for -1 none (resetGrid).
    void showMap(int map);
    // Stores the grid into the map it shows, as one change. The grid commits every edit as it
    // is made; this keeps the map and the grid one copy.
    void commitGrid();
    // No map: the grid empty and disabled, no value editor shown.
    void resetGrid();

    void PropertiesMenuChangeEnabled(bool enabled);
    void pnlPropertiesChangeEnabled(bool enabled);

    void mnuPropertiesEditAddClick();
    void mnuPropertiesEditDeleteClick();
    void mnuPropertiesEditTexturesDirClick();
    void ChangeTexturesDir();
    // Places the value editor of the grid's current cell.
    void lstPropertiesClick();

    TextureTiles &tiles() { return m_tiles; }

protected:
    void panelResize() override;

private:
    SelectDirectory selectDirectory;
    ValueKind valueKind(int row) const;
    void openValueEditor(int row, bool giveFocus);
    std::optional<QString> writeCell(int row, int column, const QString &text) override;
    void currentCellChanged() override { lstPropertiesClick(); }
    void mapChanged(int index, QObject *origin);

    LabelMenu *mnuPropertiesEdit = nullptr;
    QMenu *pmnuPropertiesEdit = nullptr;
    QAction *mnuPropertiesEditAdd = nullptr;
    QAction *mnuPropertiesEditDelete = nullptr;
    QAction *mnuPropertiesEditTexturesDir = nullptr;
    QTableView *lstProperties = nullptr;
    // The value editor open over the current row, if any (at most one of them).
    QPointer<QComboBox> cmbProperties;
    QPointer<TileCombo> cmbPropertiesTga;
    QPointer<QListWidget> lstScripts;
    QPointer<QToolButton> cmdScripts;

    int SelectedProperty = -1; // see selectedProperty

    Settings &m_settings; // the textures folder is a setting, not part of the project
    TextureTiles m_tiles;
    int m_map = -1;
};

} // namespace tervelle
