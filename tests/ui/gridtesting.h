#pragma once

#include <QApplication>
#include <QTableView>
#include <QTest>

namespace tervelle::test {

// Clicks one cell of a key/value grid as the user does.
inline void clickCell(QTableView *grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

inline QString cellText(QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// The editor open over a cell, if any.
template <typename T>
T *cellEditor(QTableView *grid, int row)
{
    return qobject_cast<T *>(grid->indexWidget(grid->model()->index(row, 1)));
}

} // namespace tervelle::test
