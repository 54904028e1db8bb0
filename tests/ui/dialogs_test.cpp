#include "ui/dialogs/dialogs.h"

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

TEST(FileDialogFilters, ComeFromTheLanguageTableForm)
{
    EXPECT_EQ(qtNameFilters("Map pack project(*.mpr)|*.mpr"), QStringList{"Map pack project(*.mpr)"});
    EXPECT_EQ(qtNameFilters("All|*.*|Text|*.txt;*.log"), (QStringList{"All (*.*)", "Text (*.txt *.log)"}));
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

} // namespace
