#include "ui/editor/headerpanel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "project/keyvalue.h"
#include "project/picklists.h"
#include "project/projectdocument.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/keyvaluegrid.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"
#include "ui/editor/valueeditors.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include <algorithm>

namespace tervelle {

namespace {

constexpr int PickListRowHeight = 19; // the pick list's 21 pixels less its borders

} // namespace

HeaderPanel::HeaderPanel(ProjectDocument &document, Dialogs &dialogs, QWidget *parent)
    : KeyValuePanel(QStringLiteral("pnlHeader"), QStringLiteral("lblHeader"), LangKey::lblHeader_Caption, document,
                    dialogs, parent)
{
    const ProjectModel &project = m_project;
    mnuHeaderEdit = addLabelMenu(QStringLiteral("pnlHeaderMenu"), QStringLiteral("mnuHeaderEdit"),
                                 QStringLiteral("pmnuHeaderEdit"), &pmnuHeaderEdit);
    mnuHeaderEdit->setCaption(lang(LangKey::mnuHeaderEdit_Caption));
    mnuHeaderEditAdd =
        addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditAdd"), LangKey::mnuHeaderEdit_Add_Caption);
    mnuHeaderEditAddInfo =
        addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditAddInfo"), LangKey::mnuHeaderEdit_AddInfo_Caption);
    mnuHeaderEditDelete =
        addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditDelete"), LangKey::mnuHeaderEdit_Delete_Caption);
    for (QAction *item : {mnuHeaderEditAdd, mnuHeaderEditAddInfo, mnuHeaderEditDelete})
        item->setEnabled(false);
    connect(mnuHeaderEditAdd, &QAction::triggered, this, &HeaderPanel::mnuHeaderEditAddClick);
    connect(mnuHeaderEditAddInfo, &QAction::triggered, this, &HeaderPanel::mnuHeaderEditAddInfoClick);
    connect(mnuHeaderEditDelete, &QAction::triggered, this, &HeaderPanel::mnuHeaderEditDeleteClick);

    lstHeader = makeGrid(QStringLiteral("lstHeader"), QStringLiteral("cmbHeader"), FixedHeaderRows);
    m_delegate->editorFor = [this](int row) {
        const QVector<THeaderKeyInfo> &info = m_project.headerInfo();
        return row >= 0 && row < info.size() && info[row].KeyKind == LinkKey ? CellEditor::PickList : CellEditor::Text;
    };
    m_delegate->pickItems = [this](int) { return m_pickLists->headerLinks(); };
    connect(m_delegate, &GridDelegate::editFinished, this, &HeaderPanel::checkPackTitle);

    connect(&project, &ProjectModel::headerChanged, this, [this](QObject *origin) {
        if (origin != this)
            reloadRows(m_project.headerRows());
    });
    connect(&project, &ProjectModel::projectReset, this, [this] {
        resetSelection();
        m_grid->setRows(m_project.headerRows());
    });
    connect(m_pickLists, &PickLists::listsChanged, this, [this] {
        if (cmbHeader)
            GridDelegate::refill(cmbHeader, m_pickLists->headerLinks());
    });
    m_grid->setRows(m_project.headerRows());
}

void HeaderPanel::HeaderMenuChangeEnabled(bool enabled)
{
    mnuHeaderEdit->setEnabled(enabled);
    for (QAction *item : {mnuHeaderEditAdd, mnuHeaderEditAddInfo})
        item->setEnabled(enabled);
    mnuHeaderEditDelete->setEnabled(enabled && SelectedHeaderRow >= FixedHeaderRows);
}

void HeaderPanel::pnlHeaderChangeEnabled(bool enabled)
{
    lstHeader->setEnabled(enabled);
    HeaderMenuChangeEnabled(enabled);
}

void HeaderPanel::showNewProject()
{
    resetSelection();
    pnlHeaderChangeEnabled(true);
    mnuHeaderEditDelete->setEnabled(false);
}

void HeaderPanel::resetSelection()
{
    closeValueEditor();
    SelectedHeaderRow = -1;
    const QSignalBlocker quiet(lstHeader->selectionModel());
    lstHeader->selectionModel()->clear();
}

void HeaderPanel::lstHeaderClick()
{
    const QModelIndex current = lstHeader->currentIndex();
    SelectedHeaderRow = current.isValid() ? current.row() : -1;
    // Typing in another cell is another step.
    m_document.endTyping();
    closeValueEditor();
    mnuHeaderEditDelete->setEnabled(lstHeader->isEnabled() && SelectedHeaderRow >= FixedHeaderRows);
    const QVector<THeaderKeyInfo> &info = m_project.headerInfo();
    if (SelectedHeaderRow < 0 || SelectedHeaderRow >= info.size() || info[SelectedHeaderRow].KeyKind != LinkKey)
        return;
    // Whichever cell of a link row is current, the pick list covers its value cell.
    const QModelIndex value = m_grid->index(SelectedHeaderRow, 1);
    lstHeader->setRowHeight(SelectedHeaderRow, PickListRowHeight);
    lstHeader->openPersistentEditor(value);
    ValueEditorRow = SelectedHeaderRow;
    cmbHeader = qobject_cast<QComboBox *>(lstHeader->indexWidget(value));
    if (!cmbHeader)
        return;
    cmbHeader->setAccessibleName(lang(LangKey::TValueListEditor_Value_Name));
    // A key cell keeps the keyboard.
    if (current.column() == 1 && isClicking(lstHeader))
        cmbHeader->setFocus();
}

std::optional<QString> HeaderPanel::writeCell(int row, int column, const QString &text)
{
    try {
        // An "[english]" edit renames the map list node and changes the caption in the same step.
        m_document.change(
            lang(LangKey::Change_EditHeader),
            [&](ProjectModel &project) {
                if (column == 0)
                    project.SetHeaderKey(row, text, this);
                else
                    project.SetHeaderValue(row, text, this);
            },
            QStringLiteral("header %1 %2").arg(row).arg(column));
    } catch (const UserError &e) {
        showError(e.message());
        return std::nullopt;
    }
    const QStringList &rows = m_project.headerRows();
    return row < rows.size() ? std::optional<QString>(rows[row]) : std::nullopt;
}

void HeaderPanel::checkPackTitle(int row, int column)
{
    // The title is written as typed (half a name is no name yet); a finished one that cannot
    // name the map list file is told at once rather than when the pack is saved.
    const QStringList &rows = m_project.headerRows();
    if (column != 1 || row < 0 || row >= rows.size() || !SameKey(KeyOf(rows[row]), QStringLiteral("[english]")))
        return;
    if (const std::optional<QString> fault =
            windowsNameFault(lang(LangKey::message_Subject_PackTitle), ValueOf(rows[row])))
        showError(*fault);
}

void HeaderPanel::mnuHeaderEditAddClick()
{
    addKey(TextKey);
}

void HeaderPanel::mnuHeaderEditAddInfoClick()
{
    addKey(LinkKey);
}

void HeaderPanel::addKey(HeaderKeyKind kind)
{
    const bool link = kind == LinkKey;
    const std::optional<QString> key = m_dialogs.inputText(
        lang(link ? LangKey::message_NewHeaderLinkKey_Caption : LangKey::message_NewHeaderKey_Caption),
        lang(link ? LangKey::message_NewHeaderLinkKey_Promt : LangKey::message_NewHeaderKey_Promt),
        lang(link ? LangKey::message_NewHeaderLinkKey_Default : LangKey::message_NewHeaderKey_Default));
    if (!key || key->isEmpty())
        return;
    int row = -1;
    try {
        m_document.change(lang(link ? LangKey::Change_AddHeaderLink : LangKey::Change_AddHeaderRow),
                          [&](ProjectModel &project) { row = project.AddHeaderKey(*key, kind); });
    } catch (const UserError &e) {
        showError(e.message());
        return;
    }
    SelectedHeaderRow = row;
    lstHeader->setFocus();
    lstHeader->setCurrentIndex(m_grid->index(row, 1));
    mnuHeaderEditDelete->setEnabled(row >= FixedHeaderRows);
}

void HeaderPanel::mnuHeaderEditDeleteClick()
{
    const int row = SelectedHeaderRow;
    if (row < FixedHeaderRows || row >= m_grid->rowCount())
        return;
    closeValueEditor();
    m_document.change(lang(LangKey::Change_DeleteHeaderRow),
                      [&](ProjectModel &project) { project.DeleteHeaderKey(row); });
    lstHeader->setCurrentIndex(m_grid->index(std::min(row, m_grid->rowCount() - 1), 1));
    lstHeaderClick();
}

void HeaderPanel::panelResize()
{
    // The pick list sits on its cell and follows the grid by itself.
    layoutMainControl(lstHeader);
}

} // namespace tervelle
