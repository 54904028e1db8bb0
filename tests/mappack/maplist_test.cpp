#include "core/errors.h"
#include "mappack/compilerfolder.h"
#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

class MapList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
    }
    QString appDir() const { return app.path() + QLatin1Char('/'); }
    QString staged(const QString &name) const { return StagingFolder(appDir()) + name; }
    QString save() { return save(appDir()); }
    QString save(const QString &into) { return SaveMapList(planPack(model, into)); }
    QByteArray listBytes() { return MapListBytes(planPack(model, appDir())); }

    QTemporaryDir app;
    Settings settings;
    ProjectModel model;
};

TEST_F(MapList, NewProjectWithOneMapGivesTheKnownElevenLines)
{
    model.AddMap();
    // The staging folder is made when a fresh set-up lacks it.
    ASSERT_FALSE(QDir(compilerFolder(appDir())).exists());
    EXPECT_EQ(save(), staged("New map pack.mpl"));
    EXPECT_EQ(test::readBytes(staged("New map pack.mpl")),
              test::crlfLines({"[english]=New map pack", "[htmlenglish]=", "{", "[text]=New map", "[image]=nolevel.tga",
                               "[scripts]=stdvs,wormpot", "[map]=", "[textures]=ThemeBuilding\\ThemeBuilding.txt",
                               "[texture1]=C01", "[texture2]=C03", "}"}));
}

TEST_F(MapList, RowsAreWrittenAsTheyStand)
{
    EXPECT_EQ(listBytes(), test::crlfLines({"[english]=New map pack", "[htmlenglish]="})) << "no maps";

    model.AddHeaderKey("[german]", TextKey);
    model.SetHeaderValue(2, "Karten=Spaß");
    const int first = model.AddMap();
    model.AddMapProperty(first, "[author]");
    model.SetMapPropertyValue(first, 7, "a=b");
    const int second = model.AddMap();
    model.CommitMapProperties(second, {"[text]=Two", "[text]=again"});
    const QByteArray bytes = listBytes();
    const QList<QByteArray> lines = bytes.split('\n');
    EXPECT_EQ(lines[2], "[german]=Karten=Spa\xDF\r");
    EXPECT_EQ(lines[11], "[author]=a=b\r");
    EXPECT_EQ(lines.mid(12, 5), (QList<QByteArray>{"}\r", "{\r", "[text]=Two\r", "[text]=again\r", "}\r"}));
    EXPECT_TRUE(bytes.endsWith("}\r\n"));
}

TEST_F(MapList, TitleNamesTheFileAndAChangedTitleLeavesTheOldOne)
{
    save();
    model.AddMap();
    save();
    EXPECT_TRUE(test::readBytes(staged("New map pack.mpl")).contains("{\r\n")) << "overwritten";

    model.SetHeaderValue(0, "");
    EXPECT_EQ(save(), staged(".mpl"));
    model.SetHeader({"[htmlenglish]="}, {THeaderKeyInfo{LinkKey}});
    EXPECT_EQ(planPack(model, appDir()).mapListName(), ".mpl");
    EXPECT_EQ(QDir(StagingFolder(appDir())).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".mpl", "New map pack.mpl"}));
}

TEST_F(MapList, FailuresNameTheFileAndKeepEarlierOnes)
{
    save();
    const QByteArray before = test::readBytes(staged("New map pack.mpl"));

    // A title that would lead out of the staging folder: no plan is made of it.
    model.SetHeaderValue(0, "../escape");
    try {
        save();
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("\"../escape.mpl\"")) << e.what();
    }
    EXPECT_FALSE(QFile::exists(appDir() + "iscc/escape.mpl"));

    // A text the code page cannot hold writes nothing.
    model.SetHeaderValue(0, "New map pack");
    test::appendHeaderRow(model, QString::fromUtf8("[русский]="));
    try {
        save();
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(staged("New map pack.mpl"))) << e.what();
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("русский"))) << e.what();
    }
    EXPECT_EQ(test::readBytes(staged("New map pack.mpl")), before);

    // The launcher would take a carriage return for a line end.
    test::putHeaderValue(model, 2, "two\rlines");
    EXPECT_THROW(save(), UserError);
    EXPECT_EQ(test::readBytes(staged("New map pack.mpl")), before);

    // A staging folder that cannot be made: a file stands in its way.
    QTemporaryDir other;
    test::writeBytes(other.path() + "/iscc", "not a folder");
    model.DeleteHeaderKey(2);
    try {
        save(other.path() + "/");
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(other.path() + "/iscc/maplists/New map pack.mpl")) << e.what();
        EXPECT_TRUE(e.message().contains("File exists") || e.message().contains("Not a directory")) << e.what();
    }
}

} // namespace
