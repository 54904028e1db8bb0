#include "mappack/setuplanguages.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

class SetupLanguages : public ::testing::Test
{
protected:
    QString appDir() const { return app.path() + QLatin1Char('/'); }
    QString languages() const { return setupLanguagesFolder(appDir()) + "/"; }
    void addFile(const QString &name) { test::writeBytes(languages() + name, "[LangOptions]\r\n"); }
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(languages())); }

    QStringList displayNames() const
    {
        QStringList names;
        for (const SetupLanguage &l : setupLanguages(appDir()))
            names << l.displayName + "=" + l.language;
        return names;
    }

    QTemporaryDir app;
};

TEST_F(SetupLanguages, ListsLanguageFilesSortedWithLowerCaseNames)
{
    addFile("Russian.isl");
    addFile("BrazilianPortuguese.isl");
    addFile("german.ISL");
    addFile("Czech.isl");
    EXPECT_EQ(
        displayNames(),
        QStringList({"BrazilianPortuguese=brazilianportuguese", "Czech=czech", "german=german", "Russian=russian"}));
}

TEST_F(SetupLanguages, LeavesOutEnglishBecauseTheScriptAlwaysNamesIt)
{
    addFile("English.isl");
    addFile("Russian.isl");
    EXPECT_EQ(displayNames(), QStringList({"Russian=russian"}));
}

TEST_F(SetupLanguages, ListsNamesDifferingOnlyInCaseOnce)
{
    addFile("Russian.isl");
    addFile("russian.isl");
    addFile("RUSSIAN.Isl");
    EXPECT_EQ(displayNames(), QStringList({"RUSSIAN=russian"}));
}

TEST_F(SetupLanguages, TakesRegularFilesWithTheSuffixOnly)
{
    addFile("Dutch.isl");
    addFile("Readme.txt");
    addFile("Finnish.isl.bak");
    addFile("isl");
    ASSERT_TRUE(QDir().mkpath(languages() + "Folder.isl"));
    ASSERT_TRUE(QFile::link(languages() + "Missing.isl.target", languages() + "Broken.isl"));
    ASSERT_TRUE(QFile::link(languages() + "Dutch.isl", languages() + "Linked.isl"));
    EXPECT_EQ(displayNames(), QStringList({"Dutch=dutch", "Linked=linked"}));
}

TEST_F(SetupLanguages, LeavesOutNamesTheScriptCannotCarry)
{
    addFile(".isl");
    addFile("Bad\"Quote.isl");
    addFile("Line\nBreak.isl");
    addFile("Trailing .isl");
    addFile("Polish.isl");
    EXPECT_EQ(displayNames(), QStringList({"Polish=polish"}));
}

TEST_F(SetupLanguages, MissingOrEmptyFolderGivesNoLanguages)
{
    EXPECT_TRUE(setupLanguages(appDir()).isEmpty());
    ASSERT_TRUE(QDir(languages()).removeRecursively());
    EXPECT_TRUE(setupLanguages(appDir()).isEmpty());
}

TEST(SetupLanguagesReal, TheLaidOutCompilerOffersItsLanguages)
{
    const QString appDir = QStringLiteral(TERVELLE_BINARY_DIR "/");
    if (!QFile::exists(setupLanguagesFolder(appDir)))
        GTEST_SKIP() << "compiler folder not laid out (scripts/setup-iscc)";
    QStringList names;
    for (const SetupLanguage &l : setupLanguages(appDir))
        names << l.language;
    EXPECT_TRUE(names.contains("russian"));
    EXPECT_FALSE(names.contains("english"));
    EXPECT_EQ(names.removeDuplicates(), 0);
}

} // namespace
