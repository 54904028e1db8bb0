#include "core/errors.h"
#include "mappack/compilerfolder.h"
#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "mappack/scriptescape.h"
#include "mappack/setupscript.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

class PackPlanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        test::editPack(model, [&](PackProperties &p) {
            p.PackName = QStringLiteral("Pack");
            p.PackPropertiesSet = true;
        });
        model.NewFile();
        model.AddMap();
    }

    QString appDir() const { return app.path() + QLatin1Char('/'); }

    TreeNode *addMap(const QString &name)
    {
        const QString path = QDir(dir.path()).filePath(name);
        test::writeBytes(path, "map");
        return model.AddFileElement(model.root(MapsRoot), QFileInfo(path).fileName(), MapFile, path);
    }

    QByteArray filesLine(const PackPlan &plan, const TreeNode *node)
    {
        const QByteArray numbered = NumberedName(model.absoluteIndex(node)).toUtf8();
        for (const QByteArray &line : MakeSetupScript(plan, QStringLiteral("C:\\pack.exe"))) {
            if (line.startsWith("Source: ") && line.contains("DestName:\"" + numbered + "\""))
                return line;
        }
        return {};
    }

    QTemporaryDir dir;
    QTemporaryDir app;
    ProjectModel model;
};

// A build is planned once: with errors there is only the review that refused it; otherwise the
// plan carries the review's warnings for the console, and the map list and the script are made
// from it without another check.
TEST_F(PackPlanTest, BuildPlanIsTheReviewedProjectOrTheRefusal)
{
    TreeNode *gone = model.AddFileElement(model.root(MapsRoot), QStringLiteral("gone.xan"), MapFile,
                                          QDir(dir.path()).filePath(QStringLiteral("gone.xan")));
    const PlannedBuild refused = planBuild(model, appDir());
    EXPECT_FALSE(refused.plan);
    EXPECT_TRUE(refused.refusal.hasErrors());

    model.DeleteNode(gone);
    addMap(QStringLiteral("arena.xan"));
    const PlannedBuild planned = planBuild(model, appDir());
    ASSERT_TRUE(planned.plan);
    const PackPlan &plan = *planned.plan;
    EXPECT_TRUE(planned.refusal.findings.empty());
    EXPECT_TRUE(plan.reviewed());
    EXPECT_GT(plan.review().count(Severity::Warning), 0) << "the new map names no map file";
    EXPECT_EQ(plan.entries().size(), std::size_t(model.tree().count()));
    EXPECT_EQ(plan.mapListName(), "New map pack.mpl");
    EXPECT_FALSE(plan.compilerLocale().isEmpty());
    EXPECT_EQ(MapListBytes(plan), MapListBytes(planPack(model, appDir())));

    // A text the build refuses: the writers' plan names it as the review does.
    test::putHeaderValue(model, 0, QStringLiteral("two\rlines"));
    QString message;
    try {
        planPack(model, appDir());
    } catch (const UserError &e) {
        message = e.message();
    }
    EXPECT_TRUE(message.contains(QStringLiteral("two\\rlines"))) << message.toStdString();
    EXPECT_FALSE(planBuild(model, appDir()).plan);
}

// Sources whose paths Windows takes for one: all but the first are packed from copies under
// their numbered names, and the script names those copies. Only a build stages; the script
// printed on its own names every source by its own path.
TEST_F(PackPlanTest, SourcesWindowsTakesForOneArePackedFromCopies)
{
    const TreeNode *first = addMap(QString::fromUtf8("Ärena.xan"));
    const TreeNode *second = addMap(QString::fromUtf8("ärena.xan"));
    const TreeNode *other = addMap(QStringLiteral("canyon.xan"));
    const PlannedBuild planned = planBuild(model, appDir());
    ASSERT_TRUE(planned.plan);
    const QString copy = stagedSourcesFolder(appDir()) + QLatin1Char('/') + NumberedName(model.absoluteIndex(second));
    EXPECT_EQ(planned.plan->staged(), (SourceOverrides{{model.absoluteIndex(second), copy}}));
    EXPECT_TRUE(filesLine(*planned.plan, second).contains(compilerPath(copy).toUtf8()));
    EXPECT_TRUE(filesLine(*planned.plan, first).contains(compilerPath(first->Info().Path).toUtf8()));
    EXPECT_TRUE(filesLine(*planned.plan, other).contains(compilerPath(other->Info().Path).toUtf8()));

    const PackPlan alone = planPack(model, appDir());
    EXPECT_TRUE(alone.staged().isEmpty());
    EXPECT_TRUE(filesLine(alone, second).contains(compilerPath(second->Info().Path).toUtf8()));
}

} // namespace
