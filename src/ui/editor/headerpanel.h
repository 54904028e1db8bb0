#pragma once

#include "ui/editor/keyvaluepanel.h"

#include <QComboBox>
#include <QPointer>

#include <optional>

class QTableView;

namespace tervelle {

enum HeaderKeyKind : qint32;

class LabelMenu;

// `pnlHeader`: the pack header grid, showing the project's header rows themselves, with the
// link pick list over the value cell of a link row.
class HeaderPanel : public KeyValuePanel
{
    Q_OBJECT

public:
    HeaderPanel(ProjectDocument &document, Dialogs &dialogs, QWidget *parent);

    // Index of the header row of the grid's current row; -1 for none.
    int selectedHeaderRow() const { return SelectedHeaderRow; }

    void HeaderMenuChangeEnabled(bool enabled);
    void pnlHeaderChangeEnabled(bool enabled);
    // A new or opened project: no row selected, the panel on but Delete off.
    void showNewProject();

    void mnuHeaderEditAddClick();
    void mnuHeaderEditAddInfoClick();
    void mnuHeaderEditDeleteClick();
    // Places the link pick list for the grid's current row.
    void lstHeaderClick();

protected:
    void panelResize() override;

private:
    void addKey(HeaderKeyKind kind);
    std::optional<QString> writeCell(int row, int column, const QString &text) override;
    void currentCellChanged() override { lstHeaderClick(); }
    void checkPackTitle(int row, int column);
    void resetSelection();

    LabelMenu *mnuHeaderEdit = nullptr;
    QMenu *pmnuHeaderEdit = nullptr;
    QAction *mnuHeaderEditAdd = nullptr;
    QAction *mnuHeaderEditAddInfo = nullptr;
    QAction *mnuHeaderEditDelete = nullptr;
    QTableView *lstHeader = nullptr;
    // The link pick list while a link row is current.
    QPointer<QComboBox> cmbHeader;

    int SelectedHeaderRow = -1; // see selectedHeaderRow
};

} // namespace tervelle
