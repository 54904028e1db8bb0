#include "core/langload.h"
#include "support/testsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tervelle;

namespace {

using test::PackRun;
using test::runPack;

class LangTemplate : public ::testing::Test
{
protected:
    void SetUp() override { test::resetLanguage(); }
    void TearDown() override { test::resetLanguage(); }
    QTemporaryDir m_dir;
};

TEST_F(LangTemplate, ListsEveryEntryInOrderWithCrLf)
{
    const PackRun run = runPack({"lang-template"});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_EQ(lines.size(), LangCount + 1);
    EXPECT_TRUE(lines.last().isEmpty());
    for (int i = 0; i < LangCount; ++i) {
        EXPECT_TRUE(lines[i].endsWith('\r'));
        EXPECT_TRUE(lines[i].startsWith(QByteArray(LangKeys[i]) + '=')) << lines[i].constData();
    }
    EXPECT_EQ(lines[26], "[message.ReplaceFile.Caption]=File //f already exists./nDo you want to replace it?\r");
    EXPECT_EQ(lines[46], "[dlgTexturesDir.Title]=Select textures directory(Ex. //data//Themes//)\r");
}

TEST_F(LangTemplate, ReadsBackToTheSameTextsIncludingOverrides)
{
    const QString source = m_dir.filePath("German.lng");
    test::writeBytes(source,
                     "[mnuFile.Caption]=Da/=tei/nzwei//x\r\n"
                     "[lblMaps.Caption]=a\rb\r\n"
                     "[mnuEdit.Caption]=\xC4nderung\r\n");
    const PackRun run = runPack({"lang-template", source});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();

    const QString templ = m_dir.filePath("Lang.lng");
    test::writeBytes(templ, run.out);
    InitLanguage(m_dir.path());
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "Da=tei\r\nzwei/x");
    EXPECT_EQ(GetLangText("[lblMaps.Caption]"), "a\rb");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), QString::fromUtf8("Änderung"));
    for (int i = 0; i < LangCount; ++i) {
        if (i != langIndex("[mnuFile.Caption]") && i != langIndex("[lblMaps.Caption]")
            && i != langIndex("[mnuEdit.Caption]")) {
            EXPECT_EQ(LangTexts()[i], QString::fromLatin1(LangDefaults[i])) << LangKeys[i];
        }
    }
}

TEST_F(LangTemplate, MissingFileAndBadUsageFail)
{
    const PackRun missing = runPack({"lang-template", m_dir.filePath("none.lng")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(missing.err.count('\n'), 1);
    EXPECT_TRUE(missing.err.contains("No such file or directory")) << missing.err.constData();
    EXPECT_EQ(runPack({"lang-template", "a", "b"}).exitCode, 2);
    EXPECT_EQ(runPack({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(runPack({}).exitCode, 2);
}

TEST_F(LangTemplate, FolderOrFifoIsNamedForWhatItIsAndNeverWaitedOn)
{
    const QString fifo = m_dir.filePath("Lang.lng");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const PackRun fromFifo = runPack({"lang-template", fifo});
    EXPECT_EQ(fromFifo.exitCode, 1);
    EXPECT_TRUE(fromFifo.out.isEmpty());
    EXPECT_TRUE(fromFifo.err.contains("it is a FIFO")) << fromFifo.err.constData();

    const PackRun fromFolder = runPack({"lang-template", m_dir.path()});
    EXPECT_EQ(fromFolder.exitCode, 1);
    EXPECT_TRUE(fromFolder.err.contains("is a folder")) << fromFolder.err.constData();
}

} // namespace
