#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace tervelle {

// A key/value grid: a title row, a key column and a value column, one row per line.
QTableView *makeKeyValueGrid(const QString &name, QAbstractItemModel *model, QWidget *parent);

// True while a mouse button is down on the grid's cells. A cell made current by a click hands
// the keyboard to its value editor; one reached with the arrow keys leaves it in the grid, so
// the arrows go on moving between rows instead of changing a pick list's choice.
bool isClicking(const QTableView *grid);

} // namespace tervelle
