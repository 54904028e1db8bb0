// The editor's standard widgets, of its kinds and in its numbers and arrangement, with no editor
// code: what Qt alone costs for such a window (font database, item views, menus, splitters, text
// measured for the layout). Sits between the bare window and the editor.
//
// As in the editor: three columns of two panels in splitters; each panel a frame with a caption,
// most with a strip of menu buttons (text measured for their widths) whose popups hold the
// editor's numbers of items; a list, two grids, two trees and the preview's picture box, "No
// preview" label and hidden memo; and the hidden console with its memo and menu.
#include "firstexpose.h"
#include "yardstick.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>

#include <initializer_list>
#include <utility>

namespace {

constexpr int PanelWidth = 245;
constexpr int PanelHeight = 350;

// Below the caption and the strip of menu buttons.
const QRect MainControl(8, 44, PanelWidth - 16, PanelHeight - 48);

using MenuItems = std::pair<const char *, int>; // a button's caption and its popup's number of items

QSplitter *column(Qt::Orientation orientation, QWidget *parent)
{
    auto *splitter = new QSplitter(orientation, parent);
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(false);
    return splitter;
}

QMenu *popup(QWidget *owner, int items)
{
    auto *menu = new QMenu(owner);
    for (int item = 0; item < items; ++item)
        menu->addAction(QStringLiteral("Item %1").arg(item));
    return menu;
}

QFrame *panel(QWidget *parent, const QString &title, std::initializer_list<MenuItems> menus)
{
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    frame->resize(PanelWidth, PanelHeight);
    auto *caption = new QLabel(title, frame);
    caption->setAlignment(Qt::AlignCenter);
    caption->setAutoFillBackground(true);
    caption->setGeometry(2, 2, PanelWidth - 4, 16);
    if (menus.size() == 0)
        return frame;
    auto *strip = new QFrame(frame);
    strip->setFrameStyle(QFrame::Box | QFrame::Plain);
    strip->setAutoFillBackground(true);
    strip->setGeometry(8, 24, PanelWidth - 16, 17);
    int left = 1;
    for (const auto &[text, items] : menus) {
        auto *button = new QToolButton(strip);
        button->setText(QString::fromLatin1(text));
        button->setMenu(popup(frame, items));
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        const int width = button->fontMetrics().horizontalAdvance(button->text()) + 10;
        button->setGeometry(left, 1, width, 15);
        left += width;
    }
    return frame;
}

QPlainTextEdit *memo(QWidget *parent)
{
    auto *text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    text->setGeometry(8, 24, PanelWidth - 16, PanelHeight - 31);
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    likeTheEditor(window);

    QSplitter *columns = column(Qt::Horizontal, &window);
    columns->setGeometry(window.rect());
    QSplitter *left = column(Qt::Vertical, columns);
    QSplitter *rightColumns = column(Qt::Horizontal, columns);
    QSplitter *middle = column(Qt::Vertical, rightColumns);
    QSplitter *right = column(Qt::Vertical, rightColumns);

    QFrame *maps = panel(left, QStringLiteral("Maps"), {{"File", 12}, {"Edit", 7}});
    placeView<QListView>(maps, plainModel(&window, 0, 1), MainControl);
    maps->findChildren<QMenu *>().constFirst()->addMenu(QStringLiteral("Open recent"));
    QFrame *header = panel(left, QStringLiteral("Pack properties"), {{"Edit", 3}});
    placeView<QTableView>(header, plainModel(&window, 2, 2), MainControl);
    QFrame *properties = panel(middle, QStringLiteral("Properties"), {{"Edit", 3}});
    placeView<QTableView>(properties, plainModel(&window, 0, 2), MainControl);
    QFrame *files = panel(middle, QStringLiteral("Files"), {{"Edit", 5}});
    placeView<QTreeView>(files, plainModel(&window, 6, 1), MainControl);
    QFrame *resources = panel(right, QStringLiteral("Resources"), {{"Edit", 6}});
    placeView<QTreeView>(resources, plainModel(&window, 0, 2), MainControl);
    QFrame *preview = panel(right, QStringLiteral("Preview"), {});
    auto *none = new QLabel(QStringLiteral("No preview"), preview);
    none->setAlignment(Qt::AlignCenter);
    none->setAutoFillBackground(true);
    none->setGeometry(2, 20, PanelWidth - 4, PanelHeight - 22);
    auto *pictureBox = new QScrollArea(preview);
    pictureBox->setWidget(new QLabel);
    pictureBox->hide();
    memo(preview)->hide();
    for (QSplitter *splitter : {columns, left, rightColumns, middle, right})
        splitter->setSizes({PanelWidth, 0});

    auto *console = new QFrame(&window);
    console->setFrameStyle(QFrame::Panel | QFrame::Raised);
    console->setAutoFillBackground(true);
    auto *consoleTitle = new QLabel(QStringLiteral("Console"), console);
    consoleTitle->setAutoFillBackground(true);
    memo(console);
    popup(console, 2);
    console->hide();

    QuitOnFirstExpose quit(&window);
    window.show();
    return QApplication::exec();
}
