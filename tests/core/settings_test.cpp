#include "core/common.h"
#include "core/settingsstore.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;
using tervelle::test::readBytes;
using tervelle::test::TempConfigHome;
using tervelle::test::writeBytes;

namespace {

const QString Sep = QDir::separator();

class Settings : public ::testing::Test
{
protected:
    void SetUp() override { Common = SharedState(); }
    void TearDown() override { Common = SharedState(); }

    void store(const QString &file, const QString &name, const QVariant &value)
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(name, value);
    }
    QString stored(const QString &file, const QString &name)
    {
        return QSettings(file, QSettings::IniFormat).value(name).toString();
    }

    TempConfigHome m_config;
    QTemporaryDir m_exeDir;
    QTemporaryDir m_folder;
};

TEST_F(Settings, FirstStartCreatesBothKeysAndRecordsTheProgramFolder)
{
    LoadSettings(m_exeDir.path());
    EXPECT_TRUE(QFile::exists(m_config.editorFile()));
    EXPECT_TRUE(QFile::exists(m_config.launcherFile()));
    EXPECT_EQ(Common.AppDir, m_exeDir.path() + Sep);
    EXPECT_EQ(Common.WormsDir, "");
    EXPECT_EQ(Common.TexturesDir, "");
    EXPECT_EQ(Common.LastDir, "");

    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(stored(m_config.editorFile(), "AppDir"), m_exeDir.path() + Sep);
    QSettings editor(m_config.editorFile(), QSettings::IniFormat);
    EXPECT_TRUE(editor.contains("TexturesDir"));
    EXPECT_TRUE(editor.contains("LastDir"));
    EXPECT_FALSE(QSettings(m_config.launcherFile(), QSettings::IniFormat).contains("WormsDir"));
}

TEST_F(Settings, FoldersGetTheirTrailingSeparatorOrFallBack)
{
    store(m_config.editorFile(), "AppDir", m_folder.path());
    store(m_config.launcherFile(), "WormsDir", m_folder.path());
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.AppDir, m_folder.path() + Sep);
    EXPECT_EQ(Common.WormsDir, m_folder.path() + Sep);

    store(m_config.editorFile(), "AppDir", m_folder.path() + "/gone");
    store(m_config.launcherFile(), "WormsDir", m_folder.path() + "/gone/");
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.AppDir, m_exeDir.path() + Sep);
    EXPECT_EQ(Common.WormsDir, "");
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(stored(m_config.editorFile(), "AppDir"), m_exeDir.path() + Sep);
    EXPECT_EQ(stored(m_config.launcherFile(), "WormsDir"), m_folder.path() + "/gone/");
}

TEST_F(Settings, TexturesAndLastFolderStayExactlyAsStoredAndPersist)
{
    store(m_config.editorFile(), "TexturesDir", "/no/such/themes");
    store(m_config.editorFile(), "LastDir", m_folder.path());
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.TexturesDir, "/no/such/themes");
    EXPECT_EQ(Common.LastDir, m_folder.path());

    Common.TexturesDir = "/other, with comma";
    Common.LastDir = "C:\\Maps\\";
    ASSERT_TRUE(SaveSettings());
    Common = SharedState();
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.TexturesDir, "/other, with comma");
    EXPECT_EQ(Common.LastDir, "C:\\Maps\\");
}

TEST_F(Settings, ValueOfAnotherTypeReadsEmptyAndIsReported)
{
    store(m_config.editorFile(), "TexturesDir", QStringList{"a", "b"});
    store(m_config.editorFile(), "LastDir", m_folder.path());
    testing::internal::CaptureStderr();
    LoadSettings(m_exeDir.path());
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Common.TexturesDir, "");
    EXPECT_EQ(Common.LastDir, m_folder.path());
    EXPECT_NE(report.find("TexturesDir"), std::string::npos);
}

TEST_F(Settings, UnreadableFileIsReportedAndNotOverwritten)
{
    // A folder where the file should be: neither readable nor writable as a file.
    QDir().mkpath(m_config.editorFile());
    testing::internal::CaptureStderr();
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.AppDir, m_exeDir.path() + Sep);
    EXPECT_FALSE(SaveSettings());
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("Tervelle.conf"), std::string::npos);
}

TEST_F(Settings, MalformedFileIsNeverRewrittenEvenWhenReadAgain)
{
    // A section heading left open is malformed to the reader. The editor reads its key twice (at
    // start and again to save); the second read must not take the file for a good one.
    const QByteArray malformed = "LastDir=/maps\n[Unclosed\nTexturesDir=/themes\n";
    writeBytes(m_config.editorFile(), malformed);
    testing::internal::CaptureStderr();
    LoadSettings(m_exeDir.path());
    EXPECT_FALSE(SaveSettings());
    EXPECT_FALSE(SettingsStore(SettingsStore::Key::Editor).writeString("LastDir", "/elsewhere"));
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes(m_config.editorFile()), malformed);
    EXPECT_NE(report.find("Tervelle.conf"), std::string::npos);

    // Once the file is put right, it is read and written again.
    writeBytes(m_config.editorFile(), "LastDir=/maps\n");
    LoadSettings(m_exeDir.path());
    EXPECT_EQ(Common.LastDir, "/maps");
    EXPECT_TRUE(SaveSettings());
}

} // namespace
