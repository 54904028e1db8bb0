#include "cli/cli.h"

#include "core/common.h"
#include "core/namerule.h"
#include "mappack/packfiles.h"
#include "project/projectdocument.h"

#include <algorithm>

namespace tervelle::cli {

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// Where the installer puts a pack file, as a map maker would look for it.
QString destination(const PackFileEntry &entry)
{
    const QString path = installedPath(entry);
    if (path.isEmpty())
        return QStringLiteral("not installed (it lies under a file, not a folder)");
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('\\')) + 1);
    return (entry.group == FilesRoot ? QStringLiteral("launcher ") : QStringLiteral("game ")) + folder;
}

QString nodeLine(const PackFileEntry &entry, int depth)
{
    const TreeNode *node = entry.node;
    QString line = QStringLiteral("%1  %2%3")
                       .arg(entry.absoluteIndex, 5)
                       .arg(QString(std::min(depth, 32) * 2, QLatin1Char(' ')), node->Text());
    if (node->isRoot())
        return line + QStringLiteral("  (group %1)").arg(node->Info().Path.chopped(1));
    if (node->isFolder())
        return line + QStringLiteral("  (folder)");
    line += QStringLiteral("  (file, kind %1)").arg(node->Kind());
    if (!entry.isPackFile)
        return line + QStringLiteral("  not a pack file");
    return line
        + QStringLiteral("  pack file %1 from %2 to %3")
              .arg(NumberedName(entry.absoluteIndex), entry.source(), destination(entry));
}

} // namespace

int runInfo(const QStringList &args)
{
    if (args.size() != 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack info PROJECT.mpr"));
    ProjectDocument document;
    const Settings settings = openProject(document, args.first());
    const ProjectModel &project = document.model();

    const PackProperties &state = project.packProperties();
    // Written as it goes: a tree of many deep files makes a summary far larger than its file.
    // Project texts are shown, never run: an escape sequence hidden in a name stays visible.
    QByteArray buffer;
    const auto line = [&buffer](const QString &text) {
        buffer += escapeControlCharacters(text).toUtf8() + '\n';
        if (buffer.size() >= (1 << 16)) {
            printBytes(buffer);
            buffer.clear();
        }
    };
    line(QStringLiteral("Pack name: ") + state.PackName);
    line(QStringLiteral("Pack version: ") + state.PackVersion);
    line(QStringLiteral("Pack author: ") + state.PackAuthor);
    line(QStringLiteral("Pack web site: ") + state.PackWebSite);
    line(QStringLiteral("Pack properties confirmed: ") + yesNo(state.PackPropertiesSet));
    line(QStringLiteral("Installer languages: ")
         + (state.PackLanguages.isEmpty() ? QStringLiteral("(none)") : state.PackLanguages.join(QStringLiteral(", "))));

    line(QString());
    line(QStringLiteral("Header rows: %1").arg(project.headerCount()));
    for (int row = 0; row < project.headerCount(); ++row) {
        const qint32 kind = project.headerInfo()[row].KeyKind;
        const QString kindText = kind == TextKey ? QStringLiteral("text")
            : kind == LinkKey                    ? QStringLiteral("link")
                                                 : QStringLiteral("kind %1").arg(kind);
        line(QStringLiteral("  %1  (%2)").arg(project.headerRows()[row], kindText));
    }

    line(QString());
    line(QStringLiteral("Maps: %1").arg(project.mapCount()));
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        line(QStringLiteral("  %1. %2").arg(i + 1).arg(map.displayName));
        for (qsizetype p = 0; p < map.Info.Properties.size(); ++p) {
            const qint32 kind = p < map.Info.ValueKinds.size() ? map.Info.ValueKinds[p] : TextValue;
            line(QStringLiteral("       %1  (value kind %2)").arg(map.Info.Properties[p]).arg(kind));
        }
    }

    const auto entries = NumberPackFiles(project, settings.AppDir);
    line(QString());
    line(QStringLiteral("Files tree: %1 nodes, by absolute index").arg(entries.size()));
    std::vector<int> depth(entries.size(), 0);
    for (const PackFileEntry &entry : entries) {
        const TreeNode *parent = entry.node->parent();
        if (parent)
            depth[std::size_t(entry.absoluteIndex)] = depth[std::size_t(project.absoluteIndex(parent))] + 1;
        line(nodeLine(entry, depth[std::size_t(entry.absoluteIndex)]));
    }

    printBytes(buffer);
    return ExitOk;
}

} // namespace tervelle::cli
