#include "core/common.h"
#include "core/settingsfile.h"
#include "core/settingsstore.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tervelle;
using tervelle::test::readBytes;
using tervelle::test::TempConfigHome;
using tervelle::test::writeBytes;

namespace {

const QString Sep = QDir::separator();

class Settings : public ::testing::Test
{
protected:
    // Adds a "name=value" line, as a map maker editing the file would.
    void store(const QString &file, const QString &name, const QString &value)
    {
        writeBytes(file, readBytes(file) + name.toUtf8() + '=' + value.toUtf8() + '\n');
    }
    QString stored(const QString &file, const QString &name)
    {
        return parseSettingsFile(readBytes(file)).value(name).toString();
    }

    tervelle::Settings m_read; // what the last LoadSettings gave
    TempConfigHome m_config;
    QTemporaryDir m_exeDir;
    QTemporaryDir m_folder;
};

TEST_F(Settings, FirstStartCreatesBothKeysAndRecordsTheProgramFolder)
{
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_TRUE(QFile::exists(m_config.editorFile()));
    EXPECT_TRUE(QFile::exists(m_config.launcherFile()));
    EXPECT_EQ(m_read.AppDir, m_exeDir.path() + Sep);
    EXPECT_EQ(m_read.WormsDir, "");
    EXPECT_EQ(m_read.TexturesDir, "");
    EXPECT_EQ(m_read.LastDir, "");

    ASSERT_TRUE(SaveSettings(m_read));
    EXPECT_EQ(readBytes(m_config.editorFile()),
              "AppDir=" + (m_exeDir.path() + Sep).toUtf8() + "\nLastDir=\nTexturesDir=\n");
    EXPECT_EQ(readBytes(m_config.launcherFile()), "");
}

TEST_F(Settings, FoldersGetTheirTrailingSeparatorOrFallBack)
{
    store(m_config.editorFile(), "AppDir", m_folder.path());
    store(m_config.launcherFile(), "WormsDir", m_folder.path());
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.AppDir, m_folder.path() + Sep);
    EXPECT_EQ(m_read.WormsDir, m_folder.path() + Sep);

    QFile::remove(m_config.editorFile());
    QFile::remove(m_config.launcherFile());
    store(m_config.editorFile(), "AppDir", m_folder.path() + "/gone");
    store(m_config.launcherFile(), "WormsDir", m_folder.path() + "/gone/");
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.AppDir, m_exeDir.path() + Sep);
    EXPECT_EQ(m_read.WormsDir, "");
    ASSERT_TRUE(SaveSettings(m_read));
    EXPECT_EQ(stored(m_config.editorFile(), "AppDir"), m_exeDir.path() + Sep);
    EXPECT_EQ(stored(m_config.launcherFile(), "WormsDir"), m_folder.path() + "/gone/");
}

TEST_F(Settings, TexturesAndLastFolderStayExactlyAsStoredAndPersist)
{
    store(m_config.editorFile(), "TexturesDir", "/no/such/themes");
    store(m_config.editorFile(), "LastDir", m_folder.path());
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.TexturesDir, "/no/such/themes");
    EXPECT_EQ(m_read.LastDir, m_folder.path());

    m_read.TexturesDir = "/other, with comma";
    m_read.LastDir = "C:\\Maps\\";
    ASSERT_TRUE(SaveSettings(m_read));
    m_read = {};
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.TexturesDir, "/other, with comma");
    EXPECT_EQ(m_read.LastDir, "C:\\Maps\\");
}

TEST_F(Settings, HandEditedValuesReadBackExactlyAsTypedAndSurviveTheSave)
{
    const QStringList values = {
        "/home/me/maps, old",       "\"/quoted folder\"", "a=b=c",
        "C:\\Games\\W4\\\\data\\",  "  /leading/blanks ", QString::fromUtf8("/home/jürgen/Карты/地図"),
        "@Variant(\\0\\0\\0\\x7f)", ";not a comment",
    };
    for (const QString &value : values) {
        SCOPED_TRACE(value.toStdString());
        QFile::remove(m_config.editorFile());
        // CR LF from an editor on Windows, and a note of the map maker's own that must be kept.
        writeBytes(m_config.editorFile(),
                   "#note=keep me\r\nLastDir=" + value.toUtf8() + "\r\nTexturesDir=" + value.toUtf8() + "\n");
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_EQ(m_read.LastDir, value);
        EXPECT_EQ(m_read.TexturesDir, value);

        ASSERT_TRUE(SaveSettings(m_read));
        EXPECT_EQ(stored(m_config.editorFile(), "#note"), "keep me");
        m_read = {};
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_EQ(m_read.LastDir, value);
        EXPECT_EQ(m_read.TexturesDir, value);
    }
}

TEST_F(Settings, MalformedFileIsReportedAndNeverRewritten)
{
    const QList<QByteArray> files = {
        "LastDir=/maps\nTexturesDir\n",                // a line without "="
        "LastDir=/maps\n=/nameless\n",                 // no name
        "LastDir=/maps\nLastDir=/other\n",             // the same name twice
        "LastDir=/maps\n[Other]\nTexturesDir=/t\n",    // a section we do not know
        "LastDir=/caf\xe9\n",                          // not UTF-8: a Latin-1 edit
        "LastDir=/" + QByteArray(2 << 20, 'm') + "\n", // larger than any settings file of ours
    };
    for (const QByteArray &bytes : files) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        writeBytes(m_config.editorFile(), bytes);
        test::ProblemCapture problems;
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_EQ(m_read.AppDir, m_exeDir.path() + Sep);
        EXPECT_EQ(m_read.LastDir, "");
        m_read.LastDir = "/new";
        EXPECT_FALSE(SaveSettings(m_read));
        EXPECT_EQ(readBytes(m_config.editorFile()), bytes);
        ASSERT_FALSE(problems.problems().isEmpty());
        EXPECT_TRUE(problems.problems().first().contains(m_config.editorFile()))
            << problems.problems().first().toStdString();
    }
}

TEST_F(Settings, FileThatCannotBeReadIsReportedAndNeverRewritten)
{
    // A folder where the file should be.
    QDir().mkpath(m_config.editorFile());
    {
        test::ProblemCapture problems;
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_EQ(m_read.AppDir, m_exeDir.path() + Sep);
        EXPECT_FALSE(SaveSettings(m_read));
        ASSERT_FALSE(problems.problems().isEmpty());
        EXPECT_TRUE(problems.problems().first().contains("Tervelle.conf"));
        EXPECT_TRUE(problems.problems().first().contains("folder"));
    }
    QDir().rmdir(m_config.editorFile());

    // A FIFO would block every read: it is reported, never opened.
    ASSERT_EQ(mkfifo(QFile::encodeName(m_config.editorFile()).constData(), 0600), 0);
    {
        test::ProblemCapture problems;
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_FALSE(SaveSettings(m_read));
        ASSERT_FALSE(problems.problems().isEmpty());
        EXPECT_TRUE(problems.problems().first().contains("not a regular file"));
    }
    QFile::remove(m_config.editorFile());

    // A file without read permission (root reads it anyway).
    const QByteArray bytes = "LastDir=/my/maps\n";
    writeBytes(m_config.editorFile(), bytes);
    chmod(QFile::encodeName(m_config.editorFile()).constData(), 0200);
    if (geteuid() != 0) {
        test::ProblemCapture problems;
        m_read = LoadSettings(m_exeDir.path());
        EXPECT_EQ(m_read.LastDir, "");
        EXPECT_FALSE(SaveSettings(m_read));
        EXPECT_FALSE(problems.problems().isEmpty());
    }
    chmod(QFile::encodeName(m_config.editorFile()).constData(), 0600);
    EXPECT_EQ(readBytes(m_config.editorFile()), bytes);
}

TEST_F(Settings, ValueWithALineBreakIsReportedNotWritten)
{
    m_read = LoadSettings(m_exeDir.path());
    m_read.LastDir = "/maps\nAppDir=/elsewhere";
    test::ProblemCapture problems;
    EXPECT_FALSE(SaveSettings(m_read));
    ASSERT_EQ(problems.problems().size(), 1);
    EXPECT_TRUE(problems.problems().first().contains("LastDir"));
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.AppDir, m_exeDir.path() + Sep);
    EXPECT_EQ(m_read.LastDir, "");
}

TEST_F(Settings, MalformedFileIsNeverRewrittenEvenWhenReadAgain)
{
    // A section heading left open is malformed to the reader. The editor reads its key twice (at
    // start and again to save); the second read must not take the file for a good one.
    const QByteArray malformed = "LastDir=/maps\n[Unclosed\nTexturesDir=/themes\n";
    writeBytes(m_config.editorFile(), malformed);
    testing::internal::CaptureStderr();
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_FALSE(SaveSettings(m_read));
    EXPECT_FALSE(SettingsStore(SettingsStore::Key::Editor).writeString("LastDir", "/elsewhere"));
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes(m_config.editorFile()), malformed);
    EXPECT_NE(report.find("Tervelle.conf"), std::string::npos);

    // Once the file is put right, it is read and written again.
    writeBytes(m_config.editorFile(), "LastDir=/maps\n");
    m_read = LoadSettings(m_exeDir.path());
    EXPECT_EQ(m_read.LastDir, "/maps");
    EXPECT_TRUE(SaveSettings(m_read));
}

} // namespace
