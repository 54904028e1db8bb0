#include "ui/editor/headerpanel.h"

#include "core/langload.h"
#include "project/projectmodel.h"
#include "ui/editor/keyvaluegrid.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTableView>

namespace tervelle {

HeaderPanel::HeaderPanel(ProjectModel &project, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlHeader"), QStringLiteral("lblHeader"), parent), m_project(project)
{
    title()->setText(GetLangText(QStringLiteral("[lblHeader.Caption]")));
    mnuHeaderEdit = addLabelMenu(QStringLiteral("pnlHeaderMenu"), QStringLiteral("mnuHeaderEdit"),
                                 QStringLiteral("pmnuHeaderEdit"), &pmnuHeaderEdit);
    mnuHeaderEdit->setCaption(GetLangText(QStringLiteral("[mnuHeaderEdit.Caption]")));
    mnuHeaderEditAdd = addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditAdd"), "[mnuHeaderEdit.Add.Caption]");
    mnuHeaderEditAddInfo =
        addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditAddInfo"), "[mnuHeaderEdit.AddInfo.Caption]");
    mnuHeaderEditDelete =
        addMenuItem(pmnuHeaderEdit, QStringLiteral("mnuHeaderEditDelete"), "[mnuHeaderEdit.Delete.Caption]");
    for (QAction *item : {mnuHeaderEditAdd, mnuHeaderEditAddInfo, mnuHeaderEditDelete})
        item->setEnabled(false);

    m_grid = new KeyValueGridModel(this);
    m_grid->setTitles(GetLangText(QStringLiteral("[TValueListEditor.Key.Name]")),
                      GetLangText(QStringLiteral("[TValueListEditor.Value.Name]")));
    lstHeader = makeKeyValueGrid(QStringLiteral("lstHeader"), m_grid, this);
    lstHeader->setAccessibleName(title()->text());
    lstHeader->setEnabled(false);
    cmbHeader = new QComboBox(this);
    cmbHeader->setObjectName(QStringLiteral("cmbHeader"));
    cmbHeader->setEditable(true);
    cmbHeader->setFixedHeight(21);
    cmbHeader->hide();

    const auto follow = [this] { m_grid->setRows(m_project.headerRows()); };
    connect(&project, &ProjectModel::headerChanged, this, follow);
    connect(&project, &ProjectModel::projectReset, this, follow);
    follow();
}

void HeaderPanel::HeaderMenuChangeEnabled(bool enabled)
{
    mnuHeaderEdit->setEnabled(enabled);
    for (QAction *item : {mnuHeaderEditAdd, mnuHeaderEditAddInfo, mnuHeaderEditDelete})
        item->setEnabled(enabled);
}

void HeaderPanel::pnlHeaderChangeEnabled(bool enabled)
{
    lstHeader->setEnabled(enabled);
    HeaderMenuChangeEnabled(enabled);
}

void HeaderPanel::resetSelection()
{
    SelectedHeaderRow = -1;
    cmbHeader->hide();
    lstHeader->clearSelection();
}

void HeaderPanel::panelResize()
{
    layoutMainControl(lstHeader);
    if (SelectedHeaderRow < 0)
        return;
    cmbHeader->setGeometry(valueColumnLeft(lstHeader), cmbHeader->y(), lstHeader->columnWidth(1), cmbHeader->height());
}

} // namespace tervelle
