#include "core/langload.h"
#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

using test::PackRun;
using test::runPack;

class LangCheck : public ::testing::Test
{
protected:
    void SetUp() override { test::resetLanguage(); }
    void TearDown() override { test::resetLanguage(); }

    // The complete English file, as a translator starts from it.
    QByteArray completeFile()
    {
        const PackRun run = runPack({"lang-template"});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        return run.out;
    }

    PackRun check(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath("Lang.lng");
        test::writeBytes(path, bytes);
        return runPack({"lang-check", path});
    }

    static QByteArray replaced(QByteArray file, const QByteArray &key, const QByteArray &line)
    {
        const qsizetype start = file.indexOf(key + '=');
        const qsizetype end = file.indexOf('\n', start) + 1;
        return file.replace(start, end - start, line);
    }

    QTemporaryDir m_dir;
};

TEST_F(LangCheck, CompleteFilesPassTheShippedGermanAmongThem)
{
    const PackRun english = check(completeFile());
    EXPECT_EQ(english.exitCode, 0) << english.out.constData() << english.err.constData();
    EXPECT_TRUE(english.out.isEmpty());

    const PackRun german = runPack({"lang-check", TERVELLE_SOURCE_DIR "/translations/de/Lang.lng"});
    EXPECT_EQ(german.exitCode, 0) << german.out.constData() << german.err.constData();
    EXPECT_TRUE(german.out.isEmpty()) << german.out.constData();
}

TEST_F(LangCheck, EachBrokenEntryIsOneLineAndTheFileFails)
{
    QByteArray file = completeFile();
    file = replaced(file, "[mnuEdit.Caption]", "");
    file = replaced(file, "[message.NewKey.Exist]", "[message.NewKey.Exist]=Schl\xFCssel /k gibt es schon\r\n");
    file = replaced(file, "[message.NewFolder.Exist]", "[message.NewFolder.Exist]=Ordner //k gibt es schon\r\n");
    file = replaced(file, "[lstFiles.RootNames.Maps]", "[lstFiles.RootNames.Maps]=Kar/nten\r\n");
    file = replaced(file, "[message.NewFolder.Default]", "[message.NewFolder.Default]=Neu: Ordner\r\n");
    file = replaced(file, "[message.Compile.Success]", "[message.Compile.Success]=Fertig\x1b[2J\r\n");
    file += "[mnuEdit.Caption.Typo]=Bearbeiten\r\n";
    const PackRun run = check(file);
    EXPECT_EQ(run.exitCode, 1);
    const QString out = QString::fromUtf8(run.out);
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 7) << out.toStdString();
    for (const char *expected :
         {"missing key [mnuEdit.Caption]", "unknown key [mnuEdit.Caption.Typo]",
          "[message.NewKey.Exist]: placeholders none, the English text has /k",
          "[message.NewFolder.Exist]: placeholders /k, the English text has /f",
          "[lstFiles.RootNames.Maps]: The text \"Kar\\r\\nten\" holds a control character",
          "[message.NewFolder.Default]: The text \"Neu: Ordner\" cannot be a file or folder name",
          "[message.Compile.Success]: The text \"Fertig\\x1b[2J\" holds a control character"}) {
        EXPECT_EQ(lines.filter(QString::fromLatin1(expected)).size(), 1) << expected << "\n" << out.toStdString();
    }

    // What the check says is kept is kept: the editor shows the built-in text, not the broken one.
    test::writeBytes(m_dir.filePath("Lang.lng"), file);
    test::ProblemCapture problems;
    InitLanguage(m_dir.path());
    EXPECT_EQ(GetLangText("[message.NewFolder.Default]"), "New folder");
    EXPECT_EQ(GetLangText("[lstFiles.RootNames.Maps]"), "Maps");
    EXPECT_EQ(GetLangText("[message.Compile.Success]"), "Done");
    EXPECT_EQ(GetLangText("[message.NewKey.Exist]"), QString::fromLatin1("Schl\xFCssel  gibt es schon"));
}

TEST_F(LangCheck, TextsInAnotherCodePageUsageAndUnreadableFile)
{
    const QByteArray file = completeFile();
    const PackRun utf8 = check(replaced(file, "[mnuEdit.Caption]", "[mnuEdit.Caption]=\xC3\x84ndern\r\n"));
    EXPECT_EQ(utf8.exitCode, 1);
    EXPECT_TRUE(utf8.out.contains("saved as UTF-8")) << utf8.out.constData();

    // Every byte is text in windows-1252; in UTF-8 a windows-1252 letter is not.
    test::TempConfigHome config;
    test::writeBytes(config.editorFile(), "CodePage=utf-8\n");
    const PackRun other = check(replaced(file, "[mnuEdit.Caption]", "[mnuEdit.Caption]=\xC4ndern\r\n"));
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_EQ(other.out.count('\n'), 1) << other.out.constData();
    EXPECT_TRUE(other.out.contains("[mnuEdit.Caption]: the line holds bytes that are no text in the code page"))
        << other.out.constData();

    EXPECT_EQ(runPack({"lang-check"}).exitCode, 2);
    EXPECT_EQ(runPack({"lang-check", "a.lng", "b.lng"}).exitCode, 2);
    const PackRun missing = runPack({"lang-check", m_dir.filePath("none.lng")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.constData();
}

} // namespace
