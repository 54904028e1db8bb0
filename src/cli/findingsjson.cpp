#include "cli/findingsjson.h"

#include "mappack/packreview.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tervelle::cli {

namespace {

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return QStringLiteral("error");
    case Severity::Warning: return QStringLiteral("warning");
    case Severity::Note: break;
    }
    return QStringLiteral("note");
}

// The node by its group ("{maps}", stable in every language) and its names below it, so a
// script need not split a path whose separator a name might hold.
QJsonObject nodePlace(const FindingPlace &place)
{
    QJsonArray path;
    const TreeNode *node = place.node;
    for (; !node->isRoot(); node = node->parent())
        path.prepend(node->Text());
    QString group = node->Info().Path;
    if (group.endsWith(QLatin1Char('\\')))
        group.chop(1);
    return {{QStringLiteral("index"), place.absoluteIndex},
            {QStringLiteral("group"), group},
            {QStringLiteral("path"), path}};
}

QJsonObject findingObject(const Finding &finding, const ProjectModel &project)
{
    QJsonObject object{{QStringLiteral("severity"), severityName(finding.severity)},
                       {QStringLiteral("where"), finding.where},
                       {QStringLiteral("message"), finding.message},
                       {QStringLiteral("fix"), finding.fix}};
    const FindingPlace &place = finding.place;
    switch (place.kind) {
    case FindingPlace::Node:
        object.insert(QStringLiteral("place"), QStringLiteral("node"));
        object.insert(QStringLiteral("node"), nodePlace(place));
        break;
    case FindingPlace::MapProperty: {
        const MapEntry &map = project.map(place.map);
        object.insert(QStringLiteral("place"), QStringLiteral("map"));
        object.insert(QStringLiteral("map"),
                      QJsonObject{{QStringLiteral("index"), place.map}, {QStringLiteral("name"), map.displayName}});
        object.insert(QStringLiteral("key"), KeyOf(map.Info.Properties.value(place.row)));
        break;
    }
    case FindingPlace::HeaderRow:
        object.insert(QStringLiteral("place"), QStringLiteral("header"));
        object.insert(QStringLiteral("key"), KeyOf(project.headerRows().value(place.row)));
        break;
    case FindingPlace::Pack: object.insert(QStringLiteral("place"), QStringLiteral("pack")); break;
    }
    return object;
}

} // namespace

QByteArray reviewJson(const PackReview &review, const ProjectModel &project)
{
    QJsonArray findings;
    for (const Finding &finding : review.findings)
        findings.append(findingObject(finding, project));
    const QJsonObject summary{{QStringLiteral("errors"), review.count(Severity::Error)},
                              {QStringLiteral("warnings"), review.count(Severity::Warning)},
                              {QStringLiteral("notes"), review.count(Severity::Note)}};
    const QJsonObject document{{QStringLiteral("findings"), findings}, {QStringLiteral("summary"), summary}};
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

} // namespace tervelle::cli
