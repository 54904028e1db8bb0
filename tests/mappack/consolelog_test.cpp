#include "core/errors.h"
#include "core/langload.h"
#include "core/textcodec.h"
#include "mappack/consolelog.h"
#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;
using tervelle::test::readBytes;
using tervelle::test::writeBytes;

namespace {

TEST(ConsoleFileName, TheDefaultExtensionCompletesANameTypedWithoutOne)
{
    EXPECT_EQ(withDefaultExtension("log", "txt"), "log.txt");
    EXPECT_EQ(withDefaultExtension("/home/me/build.d/log", "txt"), "/home/me/build.d/log.txt");
    EXPECT_EQ(withDefaultExtension("/home/me/log.txt", "txt"), "/home/me/log.txt");
    EXPECT_EQ(withDefaultExtension("/home/me/log.lst", "txt"), "/home/me/log.lst");
    EXPECT_EQ(withDefaultExtension("/home/me/log", ".txt"), "/home/me/log.txt");
    EXPECT_EQ(withDefaultExtension("/home/me/log", ""), "/home/me/log");
    EXPECT_EQ(withDefaultExtension("", "txt"), "");

    test::resetLanguage();
    EXPECT_EQ(consoleFileName("/tmp/log"), "/tmp/log.txt");
    const ScopedLangText extension(LangKey::dlgCompile_DefaultExt, "out");
    EXPECT_EQ(consoleFileName("/tmp/log"), "/tmp/log.out");
}

class ConsoleSave : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(setTextCodec("windows-1252")); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(ConsoleSave, LinesAreWrittenInTheCodePageEachEndedByCrLf)
{
    SaveConsoleToFile(path("log.txt"),
                      {"Started building map pack", QString::fromUtf8("Caf\u00e9"), "", "a\nb", "Done"});
    EXPECT_EQ(readBytes(path("log.txt")), QByteArray("Started building map pack\r\nCaf\xe9\r\n\r\na\nb\r\nDone\r\n"));

    // Saving again replaces the content.
    SaveConsoleToFile(path("log.txt"), {"x"});
    EXPECT_EQ(readBytes(path("log.txt")), QByteArray("x\r\n"));
    SaveConsoleToFile(path("log.txt"), {});
    EXPECT_EQ(readBytes(path("log.txt")), QByteArray());
}

TEST_F(ConsoleSave, AFailedSaveNamesTheFileAndKeepsTheOldOne)
{
    writeBytes(path("old.txt"), "keep me");
    try {
        SaveConsoleToFile(path("old.txt"), {"fine", QString::fromUtf8("\u65e5\u672c")});
        FAIL() << "a text the code page cannot hold was written";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QString::fromUtf8("\u65e5\u672c"))) << error.message().toStdString();
    }
    EXPECT_EQ(readBytes(path("old.txt")), QByteArray("keep me"));

    const QString nowhere = path("no-such-folder/log.txt");
    try {
        SaveConsoleToFile(nowhere, {"line"});
        FAIL() << "a file in a missing folder was reported as saved";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(nowhere)) << error.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(nowhere));
}

} // namespace
