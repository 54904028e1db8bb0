// The editor's item views, panels and labels in a window of its size, with no editor code: the
// yardstick of the start-up figure until it grew the editor's menus, splitters, hidden memo and
// console (startup_widgets.cpp). Kept so the two can be compared.
#include "firstexpose.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>

namespace {

QFrame *panel(QWidget *parent, const QString &title, int x, int y, int w, int h)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setGeometry(x, y, w, h);
    auto *caption = new QLabel(title, frame);
    caption->setGeometry(2, 2, w - 4, 16);
    int left = 2;
    for (const char *item : {"File", "Edit", "View"}) {
        auto *menu = new QLabel(QString::fromLatin1(item), frame);
        const int width = menu->fontMetrics().horizontalAdvance(menu->text()) + 10;
        menu->setGeometry(left, 20, width, menu->fontMetrics().height());
        left += width;
    }
    return frame;
}

QStandardItemModel *model(QObject *parent, int rows, int columns)
{
    auto *items = new QStandardItemModel(rows, columns, parent);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            items->setItem(row, column, new QStandardItem(QStringLiteral("Item %1").arg(row)));
    return items;
}

template <typename View>
View *view(QFrame *frame, QAbstractItemModel *items)
{
    auto *shown = new View(frame);
    shown->setModel(items);
    shown->setGeometry(4, 40, frame->width() - 8, frame->height() - 44);
    return shown;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tervelle"));
    window.resize(746, 706);

    QFrame *maps = panel(&window, QStringLiteral("Maps"), 0, 0, 245, 350);
    view<QListView>(maps, model(&window, 0, 1));
    QFrame *header = panel(&window, QStringLiteral("Header"), 0, 355, 245, 350);
    view<QTableView>(header, model(&window, 8, 2));
    QFrame *properties = panel(&window, QStringLiteral("Properties"), 250, 0, 245, 350);
    view<QTableView>(properties, model(&window, 0, 2));
    QFrame *files = panel(&window, QStringLiteral("Files"), 250, 355, 245, 350);
    view<QTreeView>(files, model(&window, 6, 1));
    QFrame *resources = panel(&window, QStringLiteral("Resources"), 500, 0, 245, 350);
    view<QTreeView>(resources, model(&window, 0, 1));
    QFrame *preview = panel(&window, QStringLiteral("Preview"), 500, 355, 245, 350);
    auto *scroll = new QScrollArea(preview);
    scroll->setGeometry(4, 40, 237, 306);
    scroll->setWidget(new QLabel(QStringLiteral("No preview")));
    auto *console = new QPlainTextEdit(&window);
    console->hide();

    QuitOnFirstExpose quit(&window);
    window.show();
    return QApplication::exec();
}
