#include "core/common.h"
#include "project/projectmodel.h"
#include "support/testsupport.h"
#include "ui/editor/frmeditor.h"

#include <QSettings>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

TEST(Editor, OpensWithTheNewProjectCaptionAndSavesSettingsOnClose)
{
    test::TempConfigHome config;
    test::resetLanguage();
    Common = SharedState();
    {
        TfrmEditor editor;
        EXPECT_EQ(editor.windowTitle(), "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - New map pack");
        EXPECT_EQ(editor.project().tree().count(), 7);

        editor.project().SetHeaderValue(0, "Arctic");
        EXPECT_EQ(editor.windowTitle(), "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - Arctic");
        editor.project().ProjectFileName = "/maps/arctic.mpr";
        editor.project().SetHeaderValue(0, "Arctic /f");
        EXPECT_EQ(editor.windowTitle(),
                  "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - Arctic /maps/arctic.mpr (/maps/arctic.mpr)");
        Common.LastDir = "/maps/";
    }
    QSettings stored(config.editorFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("LastDir").toString(), "/maps/");
    EXPECT_TRUE(stored.contains("AppDir"));
    EXPECT_TRUE(stored.contains("TexturesDir"));
    Common = SharedState();
}

} // namespace
