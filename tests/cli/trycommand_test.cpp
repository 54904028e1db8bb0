#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// A map maker without Wine learns it in one line, with the status of a command that cannot run
// here, before anything is built.
TEST(TryCommand, WithoutWineTheTrialSaysSoInOneLineAndBuildsNothing)
{
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(emptyPath.path()));
    const test::PackRun run = test::runPack({"try", "missing.mpr"});
    qputenv("PATH", path);

    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.toStdString(), "tervelle-pack: Wine is not installed; a trial runs the installer under it.\n");
    EXPECT_TRUE(run.out.isEmpty());
}

} // namespace
