#include "ui/editor/keyvaluegrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

namespace tervelle {

namespace {

constexpr int KeyColumnWidth = 90;
const char *const ClickingProperty = "clicking";

class ClickWatcher : public QObject
{
public:
    ClickWatcher(QTableView *grid) : QObject(grid), m_grid(grid) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            m_grid->setProperty(ClickingProperty, true);
        else if (event->type() == QEvent::MouseButtonRelease)
            m_grid->setProperty(ClickingProperty, false);
        return false;
    }

private:
    QTableView *m_grid;
};

} // namespace

QTableView *makeKeyValueGrid(const QString &name, QAbstractItemModel *model, QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    // The stretched value column may shrink below the usual section size in a narrow column.
    grid->horizontalHeader()->setDefaultSectionSize(KeyColumnWidth / 2);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setAutoFillBackground(true);
    grid->setColumnWidth(0, KeyColumnWidth);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid->setWordWrap(false);
    // The value column stretches to the grid's edge; long values are elided, not scrolled.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->viewport()->installEventFilter(new ClickWatcher(grid));
    return grid;
}

bool isClicking(const QTableView *grid)
{
    return grid->property(ClickingProperty).toBool();
}

} // namespace tervelle
