// The editor's item views, panels and labels in a window of its size, with no editor code: the
// yardstick of the start-up figure until it grew the editor's menus, splitters, hidden memo and
// console (startup_widgets.cpp). Kept so the two can be compared.
#include "firstexpose.h"
#include "yardstick.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollArea>
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

// Below the caption and the menu captions.
QRect inside(const QFrame *frame)
{
    return QRect(4, 40, frame->width() - 8, frame->height() - 44);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    likeTheEditor(window);

    QFrame *maps = panel(&window, QStringLiteral("Maps"), 0, 0, 245, 350);
    placeView<QListView>(maps, plainModel(&window, 0, 1), inside(maps));
    QFrame *header = panel(&window, QStringLiteral("Header"), 0, 355, 245, 350);
    placeView<QTableView>(header, plainModel(&window, 8, 2), inside(header));
    QFrame *properties = panel(&window, QStringLiteral("Properties"), 250, 0, 245, 350);
    placeView<QTableView>(properties, plainModel(&window, 0, 2), inside(properties));
    QFrame *files = panel(&window, QStringLiteral("Files"), 250, 355, 245, 350);
    placeView<QTreeView>(files, plainModel(&window, 6, 1), inside(files));
    QFrame *resources = panel(&window, QStringLiteral("Resources"), 500, 0, 245, 350);
    placeView<QTreeView>(resources, plainModel(&window, 0, 1), inside(resources));
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
