#pragma once

// What the yardstick windows share: a window of the editor's title and size, and standard item
// views on models of plain items.

#include <QRect>
#include <QStandardItemModel>
#include <QWidget>

inline void likeTheEditor(QWidget &window)
{
    window.setWindowTitle(QStringLiteral("Tervelle"));
    window.resize(746, 706);
}

inline QStandardItemModel *plainModel(QObject *parent, int rows, int columns)
{
    auto *items = new QStandardItemModel(rows, columns, parent);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            items->setItem(row, column, new QStandardItem(QStringLiteral("Item %1").arg(row)));
    return items;
}

template <typename View>
View *placeView(QWidget *parent, QAbstractItemModel *items, const QRect &place)
{
    auto *shown = new View(parent);
    shown->setModel(items);
    shown->setGeometry(place);
    return shown;
}
