#include "core/errors.h"
#include "project/recovery.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// Points an environment variable at a value for the lifetime of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_previous;
};

class Recovery : public ::testing::Test
{
protected:
    QString folder() const { return state.path() + "/Orbeck/Tervelle/recovery/"; }
    QStringList copies() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir state;
    ScopedEnv stateHome{"XDG_STATE_HOME", QFile::encodeName(state.path())};
};

TEST_F(Recovery, WritesTheBytesIntoAnOwnerOnlyFolderUnderTheStateHome)
{
    EXPECT_EQ(recoveryFolder(), folder());
    const QByteArray bytes("New map pack\r\n\r\n-1\r\n\xE9\r\n", 20);
    const QString path = saveRecoveryCopy(bytes, "arctic");
    EXPECT_EQ(QFileInfo(path).absolutePath() + "/", folder());
    EXPECT_TRUE(path.endsWith(" arctic.mpr")) << path.toStdString();
    EXPECT_EQ(test::readBytes(path), bytes);
    EXPECT_EQ(QFileInfo(folder()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
}

// A folder and copies left readable by others (by an earlier version, or made by hand) are
// closed to them; new copies are the owner's only.
TEST_F(Recovery, FolderAndCopiesFoundOpenToOthersAreClosed)
{
    const QFileDevice::Permissions open =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(
        QFile::setPermissions(folder(), open | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther));
    const QString old = folder() + "2020-01-01 00-00-00-01 old.mpr";
    test::writeBytes(old, "old");
    ASSERT_TRUE(QFile::setPermissions(old, open));

    const QString path = saveRecoveryCopy("new", "arctic");
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFile::permissions(folder()) & others, 0);
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    EXPECT_EQ(QFile::permissions(old) & others, 0);
    EXPECT_EQ(test::readBytes(old), "old");
}

TEST_F(Recovery, TwoCopiesInOneSecondAreTwoFiles)
{
    const QString first = saveRecoveryCopy("first", "pack");
    const QString second = saveRecoveryCopy("second", "pack");
    EXPECT_NE(first, second);
    EXPECT_EQ(test::readBytes(first), "first");
    EXPECT_EQ(test::readBytes(second), "second");
    // The later copy sorts after the earlier one, so the newest are the ones kept.
    EXPECT_LT(QFileInfo(first).fileName(), QFileInfo(second).fileName());
}

// Timed copies of the project being edited never push out the last copy of another project.
TEST_F(Recovery, KeepsAFewCopiesOfThisProjectTheNewestOfEveryOtherAndOtherFilesAlone)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int i = 0; i < 25; ++i)
        test::writeBytes(folder() + QString("2001-01-%1 00-00-00-01 old.mpr").arg(i + 1, 2, 10, QChar('0')), "old");
    test::writeBytes(folder() + "2001-02-01 00-00-00-01 other.mpr", "other");
    test::writeBytes(folder() + "mine.mpr", "mine");
    test::writeBytes(folder() + "notes.txt", "notes");

    QStringList written;
    for (int i = 0; i < RecoveryCopiesPerProject + 3; ++i)
        written << QFileInfo(saveRecoveryCopy(QByteArray::number(i), "/home/ann/maps/demo.mpr")).fileName();
    QStringList left = copies();
    for (const QString &name : written.mid(3))
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    EXPECT_FALSE(left.contains(written[2]));
    EXPECT_TRUE(left.contains("2001-01-25 00-00-00-01 old.mpr"));
    EXPECT_FALSE(left.contains("2001-01-24 00-00-00-01 old.mpr"));
    EXPECT_TRUE(left.contains("2001-02-01 00-00-00-01 other.mpr"));
    EXPECT_TRUE(left.contains("mine.mpr"));
    EXPECT_TRUE(left.contains("notes.txt"));
    EXPECT_EQ(left.size(), RecoveryCopiesPerProject + 4);

    // Another project of the same name is another project: ann's newest copy stays.
    saveRecoveryCopy("bob", "/home/bob/maps/demo.mpr");
    left = copies();
    EXPECT_TRUE(left.contains(written.last()));
    EXPECT_FALSE(left.contains(written[written.size() - 2]));
}

TEST_F(Recovery, ACopyTellsItsProjectsFullPathAndWhenItWasKept)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    saveRecoveryCopy("ann", "/home/ann/maps/demo.mpr");
    saveRecoveryCopy("bob", "/home/bob/maps/demo.mpr");
    saveRecoveryCopy("new", "New map pack");
    const QList<RecoveryCopy> listed = recoveryCopies();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed[0].project, "New map pack");
    EXPECT_FALSE(listed[0].saved);
    EXPECT_EQ(listed[1].project, "/home/bob/maps/demo.mpr");
    EXPECT_TRUE(listed[1].saved);
    EXPECT_EQ(test::readBytes(listed[1].file), "bob");
    EXPECT_EQ(listed[2].project, "/home/ann/maps/demo.mpr");
    EXPECT_EQ(test::readBytes(listed[2].file), "ann");
    for (const RecoveryCopy &copy : listed) {
        EXPECT_GE(copy.time, before);
        EXPECT_LE(copy.time, QDateTime::currentDateTime());
    }
}

TEST_F(Recovery, NamesThatCouldLeaveTheFolderStayInIt)
{
    for (const QString &name : QStringList{"../../escape", "a/b\\c:d", "", "  ", "dots...", "tab\there"}) {
        const QString path = saveRecoveryCopy("x", name);
        EXPECT_EQ(QFileInfo(path).absolutePath() + "/", folder()) << name.toStdString();
        EXPECT_TRUE(QFileInfo(path).isFile()) << name.toStdString();
    }
    // The two without a name are copies of one project, whose newest stays.
    EXPECT_EQ(copies().size(), 5);
}

TEST_F(Recovery, AFolderThatCannotBeMadeIsAUserError)
{
    test::writeBytes(state.path() + "/Orbeck", "a file where the folder should be");
    try {
        saveRecoveryCopy("x", "pack");
        FAIL() << "no error";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains("Orbeck")) << error.message().toStdString();
    }
}

TEST(RecoveryHome, RelativeStateHomeFallsBackToTheHomeFolder)
{
    QTemporaryDir home;
    ScopedEnv homeVar("HOME", QFile::encodeName(home.path()));
    ScopedEnv stateHome("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(recoveryFolder(), home.path() + "/.local/state/Orbeck/Tervelle/recovery/");
}

} // namespace
