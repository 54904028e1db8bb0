#include "ui/editor/propertiespanel.h"

#include "core/langload.h"
#include "ui/editor/keyvaluegrid.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/projectitemmodels.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace tervelle {

PropertiesPanel::PropertiesPanel(QWidget *parent)
    : ContentPanel(QStringLiteral("pnlProperties"), QStringLiteral("lblProperties"), parent)
{
    title()->setText(GetLangText(QStringLiteral("[lblProperties.Caption]")));
    mnuPropertiesEdit = addLabelMenu(QStringLiteral("pnlPropertiesMenu"), QStringLiteral("mnuPropertiesEdit"),
                                     QStringLiteral("pmnuPropertiesEdit"), &pmnuPropertiesEdit);
    mnuPropertiesEdit->setCaption(GetLangText(QStringLiteral("[mnuPropertiesEdit.Caption]")));
    mnuPropertiesEditAdd =
        addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditAdd"), "[mnuPropertiesEdit.Add.Caption]");
    mnuPropertiesEditDelete =
        addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditDelete"), "[mnuPropertiesEdit.Delete.Caption]");
    mnuPropertiesEditTexturesDir = addMenuItem(pmnuPropertiesEdit, QStringLiteral("mnuPropertiesEditTexturesDir"),
                                               "[mnuPropertiesEdit.TexturesDir.Caption]");
    mnuPropertiesEditAdd->setEnabled(false);
    mnuPropertiesEditDelete->setEnabled(false);

    m_grid = new KeyValueGridModel(this);
    m_grid->setTitles(GetLangText(QStringLiteral("[TValueListEditor.Key.Name]")),
                      GetLangText(QStringLiteral("[TValueListEditor.Value.Name]")));
    lstProperties = makeKeyValueGrid(QStringLiteral("lstProperties"), m_grid, this);
    lstProperties->setAccessibleName(title()->text());
    lstProperties->setEnabled(false);

    cmbProperties = new QComboBox(this);
    cmbProperties->setObjectName(QStringLiteral("cmbProperties"));
    cmbProperties->setEditable(true);
    cmbProperties->setFixedHeight(21);
    cmbPropertiesTga = new QComboBox(this);
    cmbPropertiesTga->setObjectName(QStringLiteral("cmbPropertiesTga"));
    cmbPropertiesTga->setFixedHeight(72);
    cmbPropertiesTga->setMaxVisibleItems(6);
    lstScripts = new QListWidget(this);
    lstScripts->setObjectName(QStringLiteral("lstScripts"));
    lstScripts->setFixedHeight(73);
    cmdScripts = new QPushButton(QStringLiteral("+"), this);
    cmdScripts->setObjectName(QStringLiteral("cmdScripts"));
    cmdScripts->setFixedSize(21, 21);
    for (QWidget *editor : std::initializer_list<QWidget *>{cmbProperties, cmbPropertiesTga, lstScripts, cmdScripts})
        editor->hide();
}

const QStringList &PropertiesPanel::gridRows() const
{
    return m_grid->rows();
}

void PropertiesPanel::loadGrid(const QStringList &rows)
{
    m_grid->setRows(rows);
}

void PropertiesPanel::resetGrid()
{
    pnlPropertiesChangeEnabled(false);
    m_grid->setRows({});
    SelectedProperty = -1;
    for (QWidget *editor : std::initializer_list<QWidget *>{cmbProperties, cmbPropertiesTga, lstScripts, cmdScripts})
        editor->hide();
}

void PropertiesPanel::PropertiesMenuChangeEnabled(bool enabled)
{
    mnuPropertiesEditAdd->setEnabled(enabled);
    mnuPropertiesEditDelete->setEnabled(enabled);
}

void PropertiesPanel::pnlPropertiesChangeEnabled(bool enabled)
{
    lstProperties->setEnabled(enabled);
    PropertiesMenuChangeEnabled(enabled);
}

void PropertiesPanel::panelResize()
{
    layoutMainControl(lstProperties);
    if (SelectedProperty < 0)
        return;
    // The value editors follow the value column.
    const int left = valueColumnLeft(lstProperties);
    const int width = lstProperties->columnWidth(1);
    for (QWidget *editor : std::initializer_list<QWidget *>{cmbProperties, cmbPropertiesTga, lstScripts})
        editor->setGeometry(left, editor->y(), width, editor->height());
}

} // namespace tervelle
