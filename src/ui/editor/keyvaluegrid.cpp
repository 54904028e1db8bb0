#include "ui/editor/keyvaluegrid.h"

#include <QHeaderView>
#include <QTableView>

namespace tervelle {

namespace {
constexpr int GridLineWidth = 1;
constexpr int KeyColumnWidth = 110;
} // namespace

QTableView *makeKeyValueGrid(const QString &name, QAbstractItemModel *model, QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setAutoFillBackground(true);
    grid->setColumnWidth(0, KeyColumnWidth);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    return grid;
}

int valueColumnLeft(const QTableView *grid)
{
    return grid->x() + grid->columnWidth(0) + GridLineWidth;
}

} // namespace tervelle
