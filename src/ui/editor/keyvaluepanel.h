#pragma once

#include "ui/editor/contentpanel.h"

#include <optional>

class QTableView;

namespace tervelle {

class Dialogs;
class GridDelegate;
class KeyValueGridModel;
class PickLists;
class ProjectDocument;
class ProjectModel;

// A content panel whose main control is a key/value grid over rows of the project, with at most
// one value editor open over a value cell: what the header and the properties panels share.
class KeyValuePanel : public ContentPanel
{
    Q_OBJECT

public:
    // The grid.
    QTableView *list() const { return m_view; }
    // Row whose value editor is open and whose height was changed; -1 for none.
    int valueEditorRow() const { return ValueEditorRow; }

protected:
    KeyValuePanel(const QString &name, const QString &titleName, LangKey titleKey, ProjectDocument &document,
                  Dialogs &dialogs, QWidget *parent);

    // Makes the pick lists and the grid with its first `fixedRows` rows fixed, disabled until
    // there is something to show, and the delegate whose editors are named `editorName`. Typed
    // cells go to writeCell; a new current cell runs currentCellChanged.
    QTableView *makeGrid(const QString &gridName, const QString &editorName, int fixedRows);
    void closeValueEditor();
    // Shows `rows` anew; the current cell stays, or a row that went leaves its neighbour
    // current, as Delete does.
    void reloadRows(const QStringList &rows);
    void showError(const QString &message);

    // Stores a typed cell as one change; the cell's text as stored, or none when refused.
    virtual std::optional<QString> writeCell(int row, int column, const QString &text) = 0;
    virtual void currentCellChanged() = 0;

    int ValueEditorRow = -1; // see valueEditorRow
    ProjectDocument &m_document;
    const ProjectModel &m_project;
    Dialogs &m_dialogs;
    PickLists *m_pickLists = nullptr;
    KeyValueGridModel *m_grid = nullptr;
    GridDelegate *m_delegate = nullptr;

private:
    QTableView *m_view = nullptr;
};

} // namespace tervelle
