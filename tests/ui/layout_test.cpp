#include "core/settingsstore.h"
#include "editorfixture.h"

#include <QApplication>
#include <QDataStream>
#include <QLabel>
#include <QRubberBand>
#include <QScrollArea>
#include <QSplitter>
#include <QTest>

#include <algorithm>
#include <limits>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

using Layout = EditorTest;

TEST_F(Layout, ResizeRulesKeepControlsInPlace)
{
    editor->resize(900, 700);
    QApplication::processEvents();
    const QWidget *console = widget("pnlCompile");
    EXPECT_FALSE(console->isVisible());
    EXPECT_EQ(console->geometry(), QRect(0, 700 - 136, 900, 136));

    const std::pair<const char *, const char *> mains[] = {{"pnlMaps", "lstMaps"},
                                                           {"pnlHeader", "lstHeader"},
                                                           {"pnlProperties", "lstProperties"},
                                                           {"pnlFiles", "lstFiles"},
                                                           {"pnlResources", "lstResources"}};
    for (const auto &[panel, list] : mains) {
        const QWidget *p = widget(panel);
        const QWidget *l = widget(list);
        EXPECT_EQ(l->width(), p->width() - 16) << list;
        EXPECT_EQ(l->height(), p->height() - 48) << list;
        EXPECT_EQ(l->x(), 8) << list;
    }
    EXPECT_EQ(widget("lstMaps")->y(), 39);
    EXPECT_EQ(widget("lstFiles")->y(), 40);
    EXPECT_EQ(widget("sbPreview")->width(), widget("pnlPreview")->width() - 16);
    EXPECT_EQ(widget("txtPreview")->height(), widget("pnlPreview")->height() - 31);
    EXPECT_EQ(widget("lstCompile")->width(), console->width() - 16);
    EXPECT_EQ(widget("lstCompile")->height(), console->height() - 32);

    // The columns keep their widths; the right one takes the rest.
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
    EXPECT_EQ(widget("pnlMid")->width(), 281);
    EXPECT_EQ(widget("pnlRight")->width(), 900 - 204 - 281 - 8);
    EXPECT_EQ(widget("pnlMaps")->height(), 300);

    // At the smallest size no column is narrower than 200 and the console still sits at the bottom.
    editor->resize(editor->minimumSize());
    QApplication::processEvents();
    EXPECT_EQ(editor->minimumSize(), QSize(608, 608));
    for (const char *column : {"pnlLeft", "pnlMid", "pnlRight"})
        EXPECT_GE(widget(column)->width(), 200) << column;
    const QWidget *right = widget("pnlRight");
    EXPECT_EQ(right->mapTo(editor.get(), QPoint(right->width() - 1, 0)).x(), editor->width() - 1);
    EXPECT_EQ(console->geometry(), QRect(0, 608 - 136, 608, 136));

    // A narrow window takes from the middle column first.
    editor->resize(650, 700);
    QApplication::processEvents();
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
    EXPECT_EQ(widget("pnlMid")->width(), 650 - 8 - 204 - 200);

    // Growing again gives the columns their widths back.
    editor->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
    EXPECT_EQ(widget("pnlMid")->width(), 281);
}

TEST_F(Layout, APictureLargerThanThePreviewStartsAtTheTopLeft)
{
    auto *image = widget<QLabel>("imgPreview");
    auto *box = widget<QScrollArea>("sbPreview");
    box->show();
    QPixmap big(1200, 1200);
    big.fill(Qt::red);
    image->setPixmap(big);
    image->adjustSize();
    editor->resize(700, 650);
    QApplication::processEvents();
    EXPECT_EQ(image->pos(), QPoint(0, 0));

    QPixmap small(20, 10);
    small.fill(Qt::blue);
    image->setPixmap(small);
    image->adjustSize();
    editor->resize(900, 800);
    QApplication::processEvents();
    EXPECT_EQ(image->x(), (box->viewport()->width() - 20) / 2);
    EXPECT_EQ(image->y(), (box->viewport()->height() - 10) / 2);
}

TEST_F(Layout, DraggingASplitterKeepsBothSidesAtTheirMinimum)
{
    editor->resize(1000, 700);
    QApplication::processEvents();
    QWidget *splitter = widget("splLeftMid");
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 300));
    QTest::mouseMove(splitter, QPoint(-150, 300));
    // The drag shows a line; the panels move when the button is released.
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
    const QList<QRubberBand *> lines = editor->findChildren<QRubberBand *>();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QRubberBand *line) { return line->isVisible(); }));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(-150, 300));
    EXPECT_EQ(widget("pnlLeft")->width(), 200);
    EXPECT_EQ(splitter->x(), 200);
    EXPECT_EQ(widget("pnlMid")->width(), 281) << "the right column takes the difference";
    EXPECT_EQ(widget("pnlRight")->width(), 1000 - 200 - 281 - 8);

    QWidget *inner = widget("splMapsHeader");
    const int y = inner->mapTo(editor.get(), QPoint(0, 0)).y();
    QTest::mousePress(inner, Qt::LeftButton, {}, QPoint(50, 2));
    QTest::mouseRelease(inner, Qt::LeftButton, {}, QPoint(50, 2 + 1000));
    EXPECT_EQ(widget("pnlHeader")->height(), 100);
    EXPECT_GT(inner->mapTo(editor.get(), QPoint(0, 0)).y(), y);
}

TEST_F(Layout, RemembersItsSizeAndSplittersBetweenRuns)
{
    editor->resize(790, 750);
    QApplication::processEvents();
    QWidget *splitter = widget("splMidRight");
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 300));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(42, 300));
    const int mid = widget("pnlMid")->width();
    EXPECT_EQ(mid, 281 + 40);
    makeEditor();
    EXPECT_EQ(editor->size(), QSize(790, 750));
    EXPECT_EQ(widget("pnlMid")->width(), mid);
}

TEST_F(Layout, TheConsolesTopEdgeDragsItsHeightWhichIsKept)
{
    QWidget *console = widget("pnlCompile");
    console->show();
    QWidget *edge = widget("grpCompile");
    QTest::mousePress(edge, Qt::LeftButton, {}, QPoint(50, 2));
    QTest::mouseMove(edge, QPoint(50, -58));
    QTest::mouseRelease(edge, Qt::LeftButton, {}, QPoint(50, -58));
    EXPECT_EQ(console->height(), 136 + 60);
    EXPECT_EQ(console->geometry().bottom(), editor->height() - 1) << "it stays at the bottom";
    makeEditor();
    EXPECT_EQ(widget("pnlCompile")->height(), 196);
}

TEST_F(Layout, AnEarlierVersionsPanelSizesAreTakenOverAndBadLayoutsIgnoredWhole)
{
    const auto restart = [this](const QString &layout, const char *sizes) {
        editor.reset(); // it stores its own layout as it goes
        SettingsStore store(SettingsStore::Key::Editor);
        store.writeString("PanelLayout", layout);
        store.writeString("PanelSizes", sizes);
        makeEditor();
        editor->resize(1000, 700);
        QApplication::processEvents();
    };
    const auto sizes = [this] {
        QList<int> shown;
        for (const char *panel : {"pnlLeft", "pnlMid"})
            shown << widget(panel)->width();
        for (const char *panel : {"pnlMaps", "pnlProperties", "pnlResources"})
            shown << widget(panel)->height();
        return shown;
    };
    const QList<int> defaults = {204, 281, 300, 300, 300};

    // Before the splitters kept their own state, five numbers were kept.
    restart(QString(), "250,300,150,160,170");
    EXPECT_EQ(sizes(), QList<int>({250, 300, 150, 160, 170}));
    // From then on the splitters' own form is read, and the old one no longer matters.
    editor.reset();
    SettingsStore(SettingsStore::Key::Editor).writeString("PanelSizes", "1,1,1,1,1");
    makeEditor();
    editor->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(sizes(), QList<int>({250, 300, 150, 160, 170}));

    for (const char *bad : {"x,300,150,150,150", "250,300,1.5e2,150,150", "250,300,150,150"}) {
        restart(QStringLiteral("not a layout"), bad);
        EXPECT_EQ(sizes(), defaults) << bad;
    }
    // One splitter's state broken, or claiming more sizes than memory holds: none is taken.
    const auto state = [](const QList<int> &sizes) {
        QSplitter other;
        for (qsizetype i = 0; i < sizes.size(); ++i)
            other.addWidget(new QWidget);
        other.setSizes(sizes);
        return other.saveState();
    };
    const QString left = QString::fromLatin1(state({260, 200}).toBase64());
    const QString mid = QString::fromLatin1(state({310, 200}).toBase64());
    const QString column = QString::fromLatin1(state({250, 300}).toBase64());
    QByteArray huge = state({250, 300});
    huge.replace(8, 4, QByteArray("\x7f\xff\xff\xff", 4));
    const QString threePanels = QString::fromLatin1(state({250, 300, 200}).toBase64());
    for (const QString &broken : {QStringLiteral("broken"), QString::fromLatin1(huge.toBase64()), threePanels}) {
        restart(QStringList({left, mid, column, broken, column}).join(','), "");
        EXPECT_EQ(sizes(), defaults);
    }
    restart(QStringList({left, mid, column, column, column}).join(','), "");
    EXPECT_EQ(sizes(), QList<int>({260, 310, 250, 250, 250}));
}

// Sizes no screen could show, kept in the settings by hand or by an earlier fault: ignored or
// bounded, and the settings then hold what the window shows.
TEST_F(Layout, CraftedLayoutValuesAreBoundedByTheScreenAndWhatIsWrittenBackIsShown)
{
    const auto state = [](const QList<int> &sizes) {
        QSplitter other;
        for (qsizetype i = 0; i < sizes.size(); ++i)
            other.addWidget(new QWidget);
        other.setSizes(sizes);
        return other.saveState();
    };
    const auto withSize = [&](qint32 size) {
        QByteArray crafted = state({250, 300});
        QByteArray bytes;
        QDataStream(&bytes, QIODevice::WriteOnly) << size;
        crafted.replace(12, 4, bytes);
        return QString::fromLatin1(crafted.toBase64());
    };
    const QString column = QString::fromLatin1(state({250, 300}).toBase64());
    QWidget huge;
    huge.setGeometry(0, 0, 9000, 9000);
    editor.reset();
    {
        SettingsStore store(SettingsStore::Key::Editor);
        store.writeString("PanelLayout",
                          QStringList({withSize(std::numeric_limits<qint32>::max()), column,
                                       withSize(std::numeric_limits<qint32>::min()), column, column})
                              .join(','));
        store.writeString("PanelSizes", "2147483647,-2147483647,150,150,150");
        store.writeString("WindowGeometry", QString::fromLatin1(huge.saveGeometry().toBase64()));
    }
    makeEditor();
    const QRect screen = editor->screen()->availableGeometry();
    EXPECT_LE(editor->width(), std::max(screen.width(), editor->minimumWidth()));
    EXPECT_LE(editor->height(), std::max(screen.height(), editor->minimumHeight()));
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
    EXPECT_EQ(widget("pnlMaps")->height(), 300);
    const QSize shown = editor->size();
    makeEditor();
    EXPECT_EQ(editor->size(), shown);
    EXPECT_EQ(widget("pnlLeft")->width(), 204);
}

} // namespace
