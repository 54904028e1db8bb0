#include "trial/trialexpectation.h"

#include "mappack/maplist.h"
#include "mappack/packfiles.h"
#include "mappack/packplan.h"
#include "project/projectmodel.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace tervelle {

std::vector<ExpectedFile> expectedInstall(const PackPlan &plan)
{
    std::vector<ExpectedFile> expected;
    const QString &mapList = plan.mapListName();
    for (const PackFileEntry &entry : plan.entries()) {
        const QString destination = installedPath(entry);
        if (destination.isEmpty())
            continue;
        ExpectedFile file;
        file.place = entry.group == FilesRoot ? TrialPlace::Launcher : TrialPlace::Game;
        file.path = QString(destination).replace(QLatin1Char('\\'), QLatin1Char('/'));
        file.node = NodeTreePath(entry.node);
        file.absoluteIndex = entry.absoluteIndex;
        if (entry.node->Kind() == FileMissingKind && entry.node->Text() == mapList) {
            // The build writes the map list afresh; a staged copy may be another build's.
            const QByteArray bytes = MapListBytes(plan);
            file.state = {bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256)};
        } else {
            const QString source = entry.source();
            file.state = {QFileInfo(source).size(), fileHash(source)};
        }
        expected.push_back(std::move(file));
    }
    return expected;
}

} // namespace tervelle
