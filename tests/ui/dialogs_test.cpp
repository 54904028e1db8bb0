#include "support/testsupport.h"
#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

TEST(FileDialogFilters, ComeFromTheLanguageTableForm)
{
    EXPECT_EQ(qtNameFilters("Map pack project(*.mpr)|*.mpr"), QStringList{"Map pack project(*.mpr)"});
    EXPECT_EQ(qtNameFilters("All|*.*|Text|*.txt;*.log"), (QStringList{"All (*)", "Text (*.txt *.log)"}));
    EXPECT_EQ(qtNameFilters("Pictures(*.tga)|*.tga;*.bmp"), QStringList{"Pictures(*.tga) (*.tga *.bmp)"});
    EXPECT_EQ(qtNameFilters("Only a description"), QStringList{"Only a description (*)"});
    EXPECT_EQ(qtNameFilters(""), QStringList{});
}

TEST(FileDialogFilters, IndexCountsFromOneAndFallsBackToTheFirst)
{
    const QStringList filters = {"A (*.a)", "B (*.b)"};
    EXPECT_EQ(nameFilterAt(filters, 1), "A (*.a)");
    EXPECT_EQ(nameFilterAt(filters, 2), "B (*.b)");
    EXPECT_EQ(nameFilterAt(filters, 0), "A (*.a)");
    EXPECT_EQ(nameFilterAt(filters, 3), "A (*.a)");
    EXPECT_EQ(nameFilterAt({}, 1), "");
}

// "All(*.*)" as the language table has it, in the dialog a map maker really gets: a file
// without an extension is listed and kept when it is typed among others.
TEST(FileDialogFilters, EveryFileIsEveryFileWithOrWithoutADot)
{
    EXPECT_EQ(qtNameFilters("All(*.*)|*.*|Maps(*.xan)|*.xan"), (QStringList{"All(*)", "Maps(*.xan)"}));

    QTemporaryDir folder;
    test::writeBytes(folder.filePath("readme"), "text");
    test::writeBytes(folder.filePath("c.xan"), "map");
    QWidget owner;
    QtDialogs dialogs(&owner);
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // The folder's files arrive from a worker thread.
        QTest::qWait(300);
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(R"("readme" "c.xan")");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    FileDialogRequest request;
    request.filter = "All(*.*)|*.*|Maps(*.xan)|*.xan";
    request.folder = folder.path();
    QStringList chosen = dialogs.openFiles(request, true);
    chosen.sort();
    EXPECT_EQ(chosen, (QStringList{folder.filePath("c.xan"), folder.filePath("readme")}));
}

} // namespace
