#include "ui/editor/keyvaluepanel.h"

#include "core/langload.h"
#include "project/picklists.h"
#include "project/projectdocument.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/keyvaluegrid.h"
#include "ui/editor/projectitemmodels.h"
#include "ui/editor/valueeditors.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>

#include <algorithm>

namespace tervelle {

KeyValuePanel::KeyValuePanel(const QString &name, const QString &titleName, LangKey titleKey, ProjectDocument &document,
                             Dialogs &dialogs, QWidget *parent)
    : ContentPanel(name, titleName, parent), m_document(document), m_project(document.model()), m_dialogs(dialogs)
{
    title()->setText(lang(titleKey));
}

QTableView *KeyValuePanel::makeGrid(const QString &gridName, const QString &editorName, int fixedRows)
{
    m_pickLists = new PickLists(m_project, this);
    m_grid = new KeyValueGridModel(this);
    m_grid->setTitles(lang(LangKey::TValueListEditor_Key_Name), lang(LangKey::TValueListEditor_Value_Name));
    m_grid->setFixedRows(fixedRows);
    m_grid->writer = [this](int row, int column, const QString &text) { return writeCell(row, column, text); };
    m_view = makeKeyValueGrid(gridName, m_grid, this);
    m_view->setAccessibleName(title()->text());

    m_delegate = new GridDelegate(editorName, this);
    m_view->setItemDelegate(m_delegate);
    // Each editing of a cell is a step of its own: it begins with the editor and ends with Enter
    // or with leaving the cell; Esc takes it back whole.
    connect(m_delegate, &GridDelegate::editStarted, this, [this] { m_document.endTyping(); });
    connect(m_delegate, &GridDelegate::editFinished, this, [this] { m_document.endTyping(); });
    connect(m_delegate, &GridDelegate::editCancelled, this, [this] { m_document.cancelTyping(); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { currentCellChanged(); });
    return m_view;
}

void KeyValuePanel::closeValueEditor()
{
    const int row = ValueEditorRow;
    ValueEditorRow = -1;
    if (row < 0 || row >= m_grid->rowCount())
        return;
    m_view->closePersistentEditor(m_grid->index(row, 1));
    m_view->setRowHeight(row, m_view->verticalHeader()->defaultSectionSize());
}

void KeyValuePanel::reloadRows(const QStringList &rows)
{
    const QModelIndex current = m_view->currentIndex();
    closeValueEditor();
    m_grid->setRows(rows);
    if (!current.isValid())
        return;
    const int row = std::min(current.row(), m_grid->rowCount() - 1);
    {
        const QSignalBlocker quiet(m_view->selectionModel());
        m_view->setCurrentIndex(row >= 0 ? m_grid->index(row, current.column()) : QModelIndex());
    }
    currentCellChanged();
}

void KeyValuePanel::showError(const QString &message)
{
    m_dialogs.showMessage(messageCaption(), message);
}

} // namespace tervelle
