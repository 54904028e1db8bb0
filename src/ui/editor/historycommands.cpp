// Undo and Redo of the maps panel's Edit menu: the project's history, in the window.

#include "ui/editor/frmeditor.h"

#include "core/errors.h"
#include "core/langload.h"
#include "project/treeoperations.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QAction>
#include <QListView>
#include <QTableView>
#include <QTreeView>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace tervelle {

namespace {

QString historyCaption(LangKey key, const QString &what)
{
    return lang(key, {{'c', what}}).trimmed();
}

// The first row where two lists differ, or -1 when they are equal.
int firstDifference(const QStringList &before, const QStringList &after)
{
    const qsizetype common = std::min(before.size(), after.size());
    for (qsizetype row = 0; row < common; ++row) {
        if (before[row] != after[row])
            return int(row);
    }
    return before.size() == after.size() ? -1 : int(common);
}

// A value cell made current and scrolled into view, without taking the keyboard.
void showCell(QTableView *grid, int row)
{
    const QModelIndex cell = grid->model()->index(row, 1);
    if (!cell.isValid())
        return;
    grid->setCurrentIndex(cell);
    grid->scrollTo(cell);
}

} // namespace

void TfrmEditor::connectHistory()
{
    QAction *undo = m_maps->windowItems().mnuEditUndo;
    QAction *redo = m_maps->windowItems().mnuEditRedo;
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // From anywhere in the window; a line being typed in a cell keeps its own Ctrl+Z.
    addActions({undo, redo});
    connectCommand(undo, &TfrmEditor::mnuEditUndoClick);
    connectCommand(redo, &TfrmEditor::mnuEditRedoClick);
    const QUndoStack &history = m_document->history();
    connect(&history, &QUndoStack::indexChanged, this, &TfrmEditor::updateHistoryItems);
    connect(&history, &QUndoStack::cleanChanged, this, &TfrmEditor::updateHistoryItems);
    connect(&history, &QUndoStack::indexChanged, this, &TfrmEditor::historyMoved);
    connect(&history, &QUndoStack::cleanChanged, this, [this] {
        if (!m_caption.isEmpty())
            showCaption();
    });
    // What an undo or redo changes, heard while it is made and shown once it is done.
    connect(m_project, &ProjectModel::mapInserted, this, [this](int index) {
        if (m_document->isReplaying() && m_replayed.map < 0)
            m_replayed.map = index;
    });
    connect(m_project, &ProjectModel::mapChanged, this, [this](int index) {
        if (m_document->isReplaying() && m_replayed.map < 0)
            m_replayed.map = index;
    });
    connect(m_project, &ProjectModel::mapRemoved, this, [this](int index) {
        if (m_document->isReplaying() && m_replayed.removedMap < 0)
            m_replayed.removedMap = index;
    });
    connect(m_project, &ProjectModel::headerChanged, this, [this] {
        if (m_document->isReplaying())
            m_replayed.header = true;
    });
    const auto heardNode = [this](const TreeNode *node) {
        if (m_document->isReplaying() && m_replayed.node.empty() && node)
            m_replayed.node = nodeRows(node);
    };
    connect(m_project, &ProjectModel::nodeInserted, this, heardNode);
    connect(m_project, &ProjectModel::nodeChanged, this, heardNode);
    connect(m_project, &ProjectModel::nodeRemoved, this, heardNode);
    updateHistoryItems();
}

void TfrmEditor::replayHistory(bool forward)
{
    m_replayed = Replayed();
    m_replayed.headerBefore = m_project->headerRows();
    for (int map = 0; map < m_project->mapCount(); ++map)
        m_replayed.propertiesBefore << m_project->map(map).Info.Properties;
    try {
        if (forward)
            m_document->redo();
        else
            m_document->undo();
    } catch (const UserError &e) {
        m_replayed = Replayed();
        m_dialogs->showMessage(messageCaption(), e.message());
        return;
    }
    showReplayed();
}

void TfrmEditor::showReplayed()
{
    const Replayed done = std::exchange(m_replayed, Replayed());
    if (done.map >= 0 && done.map < m_project->mapCount()) {
        const QStringList &now = m_project->map(done.map).Info.Properties;
        const bool same =
            done.map < done.propertiesBefore.size() && m_project->mapCount() == done.propertiesBefore.size();
        const int row = same ? firstDifference(done.propertiesBefore[done.map], now) : -1;
        QListView *maps = m_maps->list();
        maps->setCurrentIndex(maps->model()->index(done.map, 0));
        maps->scrollTo(maps->currentIndex());
        if (row >= 0)
            showCell(m_properties->list(), row);
        return;
    }
    if (done.removedMap >= 0 && m_project->mapCount() > 0) {
        // The map before the one taken back: the one a Duplicate copied, or the last before an Add.
        const int index = std::clamp(done.removedMap - 1, 0, m_project->mapCount() - 1);
        QListView *maps = m_maps->list();
        maps->setCurrentIndex(maps->model()->index(index, 0));
        maps->scrollTo(maps->currentIndex());
        return;
    }
    if (done.header) {
        const int row = firstDifference(done.headerBefore, m_project->headerRows());
        if (row >= 0)
            showCell(m_header->list(), std::min(row, int(m_project->headerRows().size()) - 1));
        return;
    }
    if (TreeNode *node = done.node.empty() ? nullptr : nodeAtRows(m_project->tree(), done.node)) {
        QTreeView *tree = m_files->list();
        const QModelIndex index = m_files->treeModel()->indexOf(node);
        // The tree opens the node's parents to show it.
        tree->scrollTo(index);
        tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
}

void TfrmEditor::updateHistoryItems()
{
    const QUndoStack &history = m_document->history();
    const bool allowed = m_panelsEnabled && !isBuilding();
    const MapsPanel::WindowItems items = m_maps->windowItems();
    items.mnuEditUndo->setEnabled(allowed && history.canUndo());
    items.mnuEditRedo->setEnabled(allowed && history.canRedo());
    items.mnuEditUndo->setText(historyCaption(LangKey::mnuEdit_Undo_Caption, history.undoText()));
    items.mnuEditRedo->setText(historyCaption(LangKey::mnuEdit_Redo_Caption, history.redoText()));
}

void TfrmEditor::mnuEditUndoClick()
{
    // A shortcut reaches here past disabled panels.
    if (!m_panelsEnabled || isBuilding())
        return;
    replayHistory(false);
}

void TfrmEditor::mnuEditRedoClick()
{
    if (!m_panelsEnabled || isBuilding())
        return;
    replayHistory(true);
}

} // namespace tervelle
