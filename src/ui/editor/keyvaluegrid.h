#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace tervelle {

// A key/value grid: a title row, a key column and a value column, one row per line.
QTableView *makeKeyValueGrid(const QString &name, QAbstractItemModel *model, QWidget *parent);

// Where a value editor over the grid starts: the grid's left, the key column and one grid line.
int valueColumnLeft(const QTableView *grid);

} // namespace tervelle
