#include "ui/editor/propertiespanel.h"
#include "core/common.h"

#include "core/errors.h"
#include "core/langload.h"
#include "project/picklists.h"
#include "project/projectdocument.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/keyvaluegrid.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"
#include "ui/editor/tilecombo.h"
#include "ui/editor/valueeditors.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace tervelle {

namespace {

CellEditor editorForKind(ValueKind kind)
{
    switch (kind) {
    case LevelIconValue:
    case MapFileValue:
    case TextureListValue: return CellEditor::PickList;
    case ScriptsValue: return CellEditor::Scripts;
    case TextureTileValue: return CellEditor::Tiles;
    default: return CellEditor::Text; // kind 0 and kinds this editor does not know
    }
}

} // namespace

PropertiesPanel::PropertiesPanel(ProjectDocument &document, Settings &settings, Dialogs &dialogs,
                                 SelectDirectory selectDirectory, QWidget *parent)
    : KeyValuePanel(QStringLiteral("pnlProperties"), QStringLiteral("lblProperties"), LangKey::lblProperties_Caption,
                    document, dialogs, parent)
    , m_settings(settings)
{
    this->selectDirectory = std::move(selectDirectory);
    mnuPropertiesEdit = addLabelMenu(QStringLiteral("pnlPropertiesMenu"), QStringLiteral("mnuPropertiesEdit"),
                                     QStringLiteral("pmnuPropertiesEdit"), &pmnuPropertiesEdit);
    mnuPropertiesEdit->setCaption(lang(LangKey::mnuPropertiesEdit_Caption));
    mnuPropertiesEditAdd =
        addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditAdd"), LangKey::mnuPropertiesEdit_Add_Caption);
    mnuPropertiesEditDelete = addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditDelete"),
                                          LangKey::mnuPropertiesEdit_Delete_Caption);
    mnuPropertiesEditTexturesDir = addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditTexturesDir"),
                                               LangKey::mnuPropertiesEdit_TexturesDir_Caption);
    mnuPropertiesEditAdd->setEnabled(false);
    mnuPropertiesEditDelete->setEnabled(false);
    connect(mnuPropertiesEditAdd, &QAction::triggered, this, &PropertiesPanel::mnuPropertiesEditAddClick);
    connect(mnuPropertiesEditDelete, &QAction::triggered, this, &PropertiesPanel::mnuPropertiesEditDeleteClick);
    connect(mnuPropertiesEditTexturesDir, &QAction::triggered, this,
            &PropertiesPanel::mnuPropertiesEditTexturesDirClick);

    const ProjectModel &project = m_project;
    lstProperties = makeGrid(QStringLiteral("lstProperties"), QStringLiteral("cmbProperties"), FixedMapProperties);
    m_delegate->tiles = &m_tiles;
    m_delegate->editorFor = [this](int row) { return editorForKind(valueKind(row)); };
    m_delegate->pickItems = [this](int row) { return m_pickLists->itemsFor(valueKind(row)); };
    m_delegate->scripts = [this] { return m_pickLists->scripts(); };

    connect(&project, &ProjectModel::mapChanged, this, &PropertiesPanel::mapChanged);
    // Undo and redo take maps away and bring them back: the grid keeps showing its own map.
    connect(&project, &ProjectModel::mapRemoved, this, [this](int index) {
        if (index == m_map)
            resetGrid();
        else if (index < m_map)
            --m_map;
    });
    connect(&project, &ProjectModel::mapInserted, this, [this](int index) {
        if (m_map >= 0 && index <= m_map)
            ++m_map;
    });
    connect(m_pickLists, &PickLists::listsChanged, this, [this] {
        // An open pick list shows the files the tree has now.
        if (cmbProperties && ValueEditorRow >= 0)
            GridDelegate::refill(cmbProperties, m_pickLists->itemsFor(valueKind(ValueEditorRow)));
        if (ValueEditorRow < 0 || ValueEditorRow >= m_grid->rowCount())
            return;
        if (auto *editor = qobject_cast<ScriptsEditor *>(lstProperties->indexWidget(m_grid->index(ValueEditorRow, 1))))
            editor->setScripts(m_pickLists->scripts());
    });
}

PropertiesPanel::~PropertiesPanel() = default;

const QStringList &PropertiesPanel::gridRows() const
{
    return m_grid->rows();
}

void PropertiesPanel::loadGrid(const QStringList &rows)
{
    closeValueEditor();
    m_grid->setRows(rows);
}

void PropertiesPanel::loadMap(int map)
{
    // The current cell stays where it was, so its editor shows the same property of this map
    // (the seven fixed ones stand in the same rows in every map).
    const QModelIndex current = lstProperties->currentIndex();
    closeValueEditor();
    m_map = map;
    m_grid->setRows(m_project.map(map).Info.Properties);
    const bool stays = m_map >= 0 && current.isValid() && current.row() < m_grid->rowCount();
    {
        const QSignalBlocker quiet(lstProperties->selectionModel());
        lstProperties->setCurrentIndex(stays ? m_grid->index(current.row(), current.column()) : QModelIndex());
    }
    lstPropertiesClick();
}

void PropertiesPanel::showMap(int map)
{
    if (map < 0 || map >= m_project.mapCount()) {
        resetGrid();
        return;
    }
    pnlPropertiesChangeEnabled(true);
    loadMap(map);
}

void PropertiesPanel::commitGrid()
{
    if (m_map < 0 || m_map >= m_project.mapCount())
        return;
    m_document.change(lang(LangKey::Change_EditProperty),
                      [this](ProjectModel &project) { project.CommitMapProperties(m_map, m_grid->rows(), this); });
}

void PropertiesPanel::resetGrid()
{
    closeValueEditor();
    m_map = -1;
    pnlPropertiesChangeEnabled(false);
    m_grid->setRows({});
    SelectedProperty = -1;
}

ValueKind PropertiesPanel::valueKind(int row) const
{
    if (m_map < 0 || m_map >= m_project.mapCount())
        return TextValue;
    const QVector<ValueKind> &kinds = m_project.map(m_map).Info.ValueKinds;
    return row >= 0 && row < kinds.size() ? kinds[row] : TextValue;
}

void PropertiesPanel::openValueEditor(int row, bool giveFocus)
{
    const CellEditor kind = editorForKind(valueKind(row));
    if (kind == CellEditor::Text)
        return;
    // The row grows to the editor, less the two pixels the editor may reach over its borders.
    const int height = kind == CellEditor::Tiles ? 70 : kind == CellEditor::Scripts ? 21 : 19;
    lstProperties->setRowHeight(row, height);
    const QModelIndex value = m_grid->index(row, 1);
    lstProperties->openPersistentEditor(value);
    ValueEditorRow = row;
    QWidget *editor = lstProperties->indexWidget(value);
    if (!editor)
        return;
    editor->setAccessibleName(lang(LangKey::TValueListEditor_Value_Name));
    if (auto *scripts = qobject_cast<ScriptsEditor *>(editor)) {
        lstScripts = scripts->list();
        cmdScripts = scripts->findChild<QToolButton *>(QStringLiteral("cmdScripts"));
    } else if (auto *tiles = qobject_cast<TileCombo *>(editor)) {
        cmbPropertiesTga = tiles;
    } else {
        cmbProperties = qobject_cast<QComboBox *>(editor);
    }
    if (giveFocus)
        editor->setFocus();
}

void PropertiesPanel::lstPropertiesClick()
{
    const QModelIndex current = lstProperties->currentIndex();
    SelectedProperty = current.isValid() ? current.row() : -1;
    // Typing in another cell is another step.
    m_document.endTyping();
    closeValueEditor();
    mnuPropertiesEditDelete->setEnabled(m_map >= 0 && SelectedProperty >= FixedMapProperties);
    if (m_map < 0 || SelectedProperty < 0)
        return;
    // A key cell keeps the keyboard; the value editor opens for the value cell only.
    if (current.column() == 1)
        openValueEditor(SelectedProperty, isClicking(lstProperties));
}

std::optional<QString> PropertiesPanel::writeCell(int row, int column, const QString &text)
{
    if (m_map < 0 || m_map >= m_project.mapCount())
        return std::nullopt;
    try {
        const QString cell = QStringLiteral("property %1 %2 %3").arg(m_map).arg(row).arg(column);
        m_document.change(
            lang(LangKey::Change_EditProperty),
            [&](ProjectModel &project) {
                if (column == 0)
                    project.SetMapPropertyKey(m_map, row, text, this);
                else
                    project.SetMapPropertyValue(m_map, row, text, this);
            },
            cell);
    } catch (const UserError &e) {
        showError(e.message());
        return std::nullopt;
    }
    const QStringList &rows = m_project.map(m_map).Info.Properties;
    return row < rows.size() ? std::optional<QString>(rows[row]) : std::nullopt;
}

void PropertiesPanel::mapChanged(int index, QObject *origin)
{
    // What this grid wrote itself it shows already.
    if (index == m_map && origin != this)
        reloadRows(m_project.map(m_map).Info.Properties);
}

void PropertiesPanel::mnuPropertiesEditAddClick()
{
    if (m_map < 0 || m_map >= m_project.mapCount())
        return;
    const std::optional<QString> key =
        m_dialogs.inputText(lang(LangKey::message_NewKey_Caption), lang(LangKey::message_NewKey_Promt),
                            lang(LangKey::message_NewKey_Default));
    if (!key)
        return;
    int row = -1;
    try {
        m_document.change(lang(LangKey::Change_AddProperty),
                          [&](ProjectModel &project) { row = project.AddMapProperty(m_map, *key); });
    } catch (const UserError &e) {
        showError(e.message());
        return;
    }
    if (row < 0)
        return;
    SelectedProperty = row;
    lstProperties->setCurrentIndex(m_grid->index(row, 1));
    lstProperties->setFocus();
    mnuPropertiesEditDelete->setEnabled(true);
}

void PropertiesPanel::mnuPropertiesEditDeleteClick()
{
    const int row = SelectedProperty;
    if (m_map < 0 || row < FixedMapProperties || row >= m_grid->rowCount())
        return;
    closeValueEditor();
    m_document.change(lang(LangKey::Change_DeleteProperty),
                      [&](ProjectModel &project) { project.DeleteMapProperty(m_map, row); });
    const int next = std::min(row, m_grid->rowCount() - 1);
    lstProperties->setCurrentIndex(m_grid->index(next, 1));
    lstPropertiesClick();
}

void PropertiesPanel::mnuPropertiesEditTexturesDirClick()
{
    QString folder;
    if (!selectDirectory || !selectDirectory(lang(LangKey::dlgTexturesDir_Title), folder))
        return;
    if (folder.isEmpty() || !QDir(folder).exists())
        return;
    if (!folder.endsWith(QDir::separator()) && !folder.endsWith(QLatin1Char('/')))
        folder += QDir::separator();
    m_settings.TexturesDir = folder;
    ChangeTexturesDir();
}

void PropertiesPanel::ChangeTexturesDir()
{
    m_tiles.setFolder(m_settings.TexturesDir);
    if (cmbPropertiesTga) {
        cmbPropertiesTga->fill();
        if (ValueEditorRow >= 0 && ValueEditorRow < m_grid->rowCount())
            GridDelegate::showValue(cmbPropertiesTga,
                                    m_grid->data(m_grid->index(ValueEditorRow, 1), Qt::EditRole).toString());
        cmbPropertiesTga->update();
    }
}

void PropertiesPanel::PropertiesMenuChangeEnabled(bool enabled)
{
    mnuPropertiesEditAdd->setEnabled(enabled);
    mnuPropertiesEditDelete->setEnabled(enabled && SelectedProperty >= FixedMapProperties);
}

void PropertiesPanel::pnlPropertiesChangeEnabled(bool enabled)
{
    lstProperties->setEnabled(enabled);
    PropertiesMenuChangeEnabled(enabled);
}

void PropertiesPanel::panelResize()
{
    // The value editors sit on their cells and follow the grid by themselves.
    layoutMainControl(lstProperties);
}

} // namespace tervelle
