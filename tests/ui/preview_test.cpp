// The preview panel through the window: what a selected node shows, by its file type.

#include "filesfixture.h"

#include "support/tgabuilder.h"
#include "ui/editor/previewpanel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <sys/stat.h>

namespace tervelle::test {
namespace {

class Preview : public FilesTest
{
protected:
    enum class Shown { None, Picture, Text, Broken };

    Shown shown() const
    {
        const bool none = !widget("lblNoPreview")->isHidden();
        const bool picture = !widget("sbPreview")->isHidden();
        const bool text = !widget("txtPreview")->isHidden();
        if (none + picture + text != 1)
            return Shown::Broken;
        return none ? Shown::None : picture ? Shown::Picture : Shown::Text;
    }

    // Places one file under a group and selects it with a click.
    TreeNode *placeAndClick(RootGroup group, const QString &relative, const QByteArray &bytes)
    {
        const QString path = makeFile(relative, bytes);
        addResources({path});
        const QString name = path.section(QLatin1Char('/'), -1);
        addToNode(root(group), {name});
        TreeNode *node = childNamed(root(group), name);
        if (node)
            clickNode(node);
        else
            ADD_FAILURE() << "not placed: " << name.toStdString();
        return node;
    }

    static QByteArray redTga(int width, int height)
    {
        return standardTga(width, height, 24, repeatPixel({0, 0, 255}, width * height));
    }
};

TEST_F(Preview, AnIconIsCentredAndALargeOneScrollsFromTheTopLeft)
{
    placeAndClick(IconsRoot, "icons/small.tga", redTga(20, 10));
    ASSERT_EQ(shown(), Shown::Picture);
    auto *image = widget<QLabel>("imgPreview");
    auto *box = widget<QScrollArea>("sbPreview");
    const QImage picture = image->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(20, 10));
    EXPECT_EQ(QColor(picture.pixel(0, 0)), QColor(255, 0, 0));
    const QSize room = box->viewport()->size();
    EXPECT_NEAR(image->x(), (room.width() - 20) / 2.0, 1);
    EXPECT_NEAR(image->y(), (room.height() - 10) / 2.0, 1);

    placeAndClick(IconsRoot, "icons/large.tga", redTga(512, 512));
    ASSERT_EQ(shown(), Shown::Picture);
    EXPECT_EQ(image->size(), QSize(512, 512));
    EXPECT_EQ(image->pos(), QPoint(0, 0));
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0);
}

TEST_F(Preview, TextsShowTheirSourceAndTheFileTypeDecides)
{
    placeAndClick(ScriptsRoot, "s/mylib.lua", "print(1)\r\nprint(2)\n");
    ASSERT_EQ(shown(), Shown::Text);
    EXPECT_EQ(widget<QPlainTextEdit>("txtPreview")->toPlainText(), "print(1)\nprint(2)");

    placeAndClick(FilesRoot, "p/page.htm", "<html>hi</html>");
    ASSERT_EQ(shown(), Shown::Text);
    EXPECT_EQ(widget<QPlainTextEdit>("txtPreview")->toPlainText(), "<html>hi</html>");

    // A picture placed as a plain file, a map and a group root have no preview.
    placeAndClick(FilesRoot, "f/plain.tga", redTga(4, 4));
    EXPECT_EQ(shown(), Shown::None);
    placeAndClick(MapsRoot, "m/level.xan", "map");
    EXPECT_EQ(shown(), Shown::None);
    clickNode(root(IconsRoot));
    EXPECT_EQ(shown(), Shown::None);
}

TEST_F(Preview, AMissingIconADeclinedIconAndAFifoShowNoPreview)
{
    TreeNode *icon = placeAndClick(IconsRoot, "gone/icon.tga", redTga(4, 4));
    ASSERT_EQ(shown(), Shown::Picture);
    clickNode(root(IconsRoot));
    ASSERT_TRUE(QFile::remove(tempPath("gone/icon.tga")));
    clickNode(icon);
    EXPECT_EQ(shown(), Shown::None);
    EXPECT_TRUE(widget<QLabel>("imgPreview")->pixmap().isNull());

    placeAndClick(IconsRoot, "wide/wide.tga", redTga(513, 10));
    EXPECT_EQ(shown(), Shown::None);

    // A script whose file was swapped for a FIFO after it was placed must not hang the window.
    TreeNode *script = placeAndClick(ScriptsRoot, "swap/pipe.lua", "x");
    clickNode(root(ScriptsRoot));
    const QString fifo = tempPath("swap/pipe.lua");
    ASSERT_TRUE(QFile::remove(fifo));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    clickNode(script);
    EXPECT_EQ(shown(), Shown::None);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Preview, NewAndDeleteLeaveNoPreviewOfANodeThatIsGone)
{
    placeAndClick(IconsRoot, "i/icon.tga", redTga(4, 4));
    ASSERT_EQ(shown(), Shown::Picture);
    item("mnuFilesEditDelete")->trigger();
    EXPECT_NE(shown(), Shown::Picture);
    EXPECT_TRUE(widget<QLabel>("imgPreview")->pixmap().isNull());

    placeAndClick(ScriptsRoot, "s/a.lua", "x");
    ASSERT_EQ(shown(), Shown::Text);
    item("mnuFileNew")->trigger();
    EXPECT_EQ(shown(), Shown::None);
    EXPECT_TRUE(widget<QPlainTextEdit>("txtPreview")->toPlainText().isEmpty());
}

} // namespace
} // namespace tervelle::test
