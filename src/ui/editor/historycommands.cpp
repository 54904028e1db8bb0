// Undo and Redo of the maps panel's Edit menu: the project's history, in the window.

#include "ui/editor/frmeditor.h"

#include "core/langload.h"
#include "ui/editor/mapspanel.h"

#include <QAction>
#include <QUndoStack>

namespace tervelle {

namespace {

QString historyCaption(const char *key, const QString &what)
{
    return GetLangText(QString::fromLatin1(key)).replace(QStringLiteral("/c"), what).trimmed();
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
    connect(undo, &QAction::triggered, this, &TfrmEditor::mnuEditUndoClick);
    connect(redo, &QAction::triggered, this, &TfrmEditor::mnuEditRedoClick);
    const QUndoStack &history = m_document->history();
    connect(&history, &QUndoStack::indexChanged, this, &TfrmEditor::updateHistoryItems);
    connect(&history, &QUndoStack::cleanChanged, this, &TfrmEditor::updateHistoryItems);
    updateHistoryItems();
}

void TfrmEditor::updateHistoryItems()
{
    const QUndoStack &history = m_document->history();
    const bool allowed = m_panelsEnabled && !isBuilding();
    const MapsPanel::WindowItems items = m_maps->windowItems();
    items.mnuEditUndo->setEnabled(allowed && history.canUndo());
    items.mnuEditRedo->setEnabled(allowed && history.canRedo());
    items.mnuEditUndo->setText(historyCaption("[mnuEdit.Undo.Caption]", history.undoText()));
    items.mnuEditRedo->setText(historyCaption("[mnuEdit.Redo.Caption]", history.redoText()));
}

void TfrmEditor::mnuEditUndoClick()
{
    // A shortcut reaches here past disabled panels.
    if (!m_panelsEnabled || isBuilding())
        return;
    commitGrid();
    m_document->history().undo();
}

void TfrmEditor::mnuEditRedoClick()
{
    if (!m_panelsEnabled || isBuilding())
        return;
    commitGrid();
    m_document->history().redo();
}

} // namespace tervelle
