#include "mappack/packreview.h"

#include "core/langload.h"
#include "core/pathparts.h"
#include "core/privatepath.h"
#include "mappack/firstbyhash.h"
#include "mappack/packcheck.h"
#include "mappack/packfiles.h"
#include "mappack/sourcecheck.h"
#include "project/filenames.h"
#include "project/keyvalue.h"
#include "project/picklists.h"
#include "project/projectmodel.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>

namespace tervelle {

namespace {

// The finding's place as a map maker reads it: the node's path in the tree from its group's
// caption, "Map name, [key]", the header key, or the pack properties.
QString placeText(const ProjectModel &project, const FindingPlace &place)
{
    switch (place.kind) {
    case FindingPlace::Node: return NodeTreePath(place.node);
    case FindingPlace::MapProperty: {
        const MapEntry &map = project.map(place.map);
        return map.displayName + QStringLiteral(", ") + KeyOf(map.Info.Properties.value(place.row));
    }
    case FindingPlace::HeaderRow: return KeyOf(project.headerRows().value(place.row));
    case FindingPlace::Pack: break;
    }
    return lang(LangKey::Wizard_Caption);
}

struct ClassInfo
{
    FindingClass kind;
    Severity severity;
    LangKey message; // "/f" a file, path or value, "/k" a key
    LangKey fix;
};

constexpr std::array<ClassInfo, 15> Classes = {{
    {FindingClass::MissingSource, Severity::Error, LangKey::message_Check_MissingSource,
     LangKey::message_Check_MissingSource_Fix},
    {FindingClass::NotRegularFile, Severity::Error, LangKey::message_Check_NotRegularFile,
     LangKey::message_Check_NotRegularFile_Fix},
    {FindingClass::UnreadableSource, Severity::Error, LangKey::message_Check_UnreadableSource,
     LangKey::message_Check_UnreadableSource_Fix},
    {FindingClass::RefusedText, Severity::Error, LangKey::message_Check_RefusedText,
     LangKey::message_Check_RefusedText_Fix},
    {FindingClass::MapFileEmpty, Severity::Warning, LangKey::message_Check_MapFileEmpty,
     LangKey::message_Check_MapFile_Fix},
    {FindingClass::MapFileUnknown, Severity::Warning, LangKey::message_Check_MapFileUnknown,
     LangKey::message_Check_MapFile_Fix},
    {FindingClass::PickListValue, Severity::Warning, LangKey::message_Check_PickListValue,
     LangKey::message_Check_PickListValue_Fix},
    {FindingClass::HeaderLinkMissing, Severity::Warning, LangKey::message_Check_HeaderLinkMissing,
     LangKey::message_Check_HeaderLinkMissing_Fix},
    {FindingClass::NotInstalled, Severity::Warning, LangKey::message_Check_NotInstalled,
     LangKey::message_Check_NotInstalled_Fix},
    {FindingClass::SameInstallPlace, Severity::Warning, LangKey::message_Check_SameInstallPlace,
     LangKey::message_Check_SameInstallPlace_Fix},
    {FindingClass::UnreadableLevelIcon, Severity::Warning, LangKey::message_Check_UnreadableLevelIcon,
     LangKey::message_Check_UnreadableLevelIcon_Fix},
    {FindingClass::EmptySource, Severity::Warning, LangKey::message_Check_EmptySource,
     LangKey::message_Check_EmptySource_Fix},
    {FindingClass::PublishedSystemFile, Severity::Warning, LangKey::message_Check_PublishedSystemFile,
     LangKey::message_Check_PublishedSystemFile_Fix},
    {FindingClass::NoMaps, Severity::Note, LangKey::message_Check_NoMaps, LangKey::message_Check_NoMaps_Fix},
    {FindingClass::PackPropertiesNotSet, Severity::Note, LangKey::message_Check_PackPropertiesNotSet,
     LangKey::message_Check_PackPropertiesNotSet_Fix},
}};

// A pick list's value as a property's value is matched with it.
QString folded(const QString &text)
{
    return keyFolded(text);
}

// Findings of one kind listed before the rest of that kind are only counted: a project of
// 60,000 missing files would otherwise cost a finding each, and nobody reads past the first
// thousand.
constexpr int ListedPerKind = 1000;

// Collects findings with the texts of each class looked up once per review: a large project
// may hold a finding for every one of its nodes. Equal texts are kept once and shared, so that
// a long folder name does not cost its length in every finding below it.
class FindingList
{
public:
    explicit FindingList(const ProjectModel &project) : m_project(project)
    {
        for (std::size_t i = 0; i < Classes.size(); ++i) {
            m_messages[i] = lang(Classes[i].message);
            m_fixes[i] = lang(Classes[i].fix);
        }
        m_reachedMessage = lang(LangKey::message_Check_PublishedSystemFileReached);
    }

    void add(FindingClass kind, const FindingPlace &place, const QString &file = {}, const QString &key = {})
    {
        add(kind, place, file, key, m_messages[std::size_t(kind)]);
    }

    // A private source, named as written and, when a link or a folded path leads elsewhere, as
    // the path it reaches.
    void addPrivate(const FindingPlace &place, const QString &path, const QString &reached)
    {
        if (reached.isEmpty())
            add(FindingClass::PublishedSystemFile, place, path);
        else
            add(FindingClass::PublishedSystemFile, place, path, reached, m_reachedMessage);
    }

    std::vector<Finding> take()
    {
        std::stable_sort(m_findings.begin(), m_findings.end(),
                         [](const Finding &a, const Finding &b) { return a.severity < b.severity; });
        return std::move(m_findings);
    }

private:
    void add(FindingClass kind, const FindingPlace &place, const QString &file, const QString &key,
             const QString &message)
    {
        const std::size_t i = std::size_t(kind);
        if (m_listed[i] > ListedPerKind) {
            ++m_findings[m_summaries[i]].more;
            return;
        }
        // The first finding past the bound stands for the rest.
        if (++m_listed[i] > ListedPerKind)
            m_summaries[i] = m_findings.size();
        Finding finding;
        finding.kind = kind;
        finding.severity = Classes[i].severity;
        finding.place = place;
        finding.where = shared(placeText(m_project, place));
        finding.message = shared(fill(message, file, key));
        finding.fix = shared(fill(m_fixes[i], file, key));
        m_findings.push_back(std::move(finding));
    }

    QString shared(const QString &text)
    {
        const auto at = m_texts.constFind(text);
        if (at != m_texts.constEnd())
            return *at;
        m_texts.insert(text);
        return text;
    }

    // One pass, so that a "/k" inside a file name or a "/f" inside a key stays as it is.
    static QString fill(const QString &text, const QString &file, const QString &key)
    {
        if (!text.contains(QLatin1Char('/')))
            return text;
        QString filled;
        filled.reserve(text.size() + file.size() + key.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('/') && i + 1 < text.size()) {
                if (text[i + 1] == QLatin1Char('f')) {
                    filled += file;
                    ++i;
                    continue;
                }
                if (text[i + 1] == QLatin1Char('k')) {
                    filled += key;
                    ++i;
                    continue;
                }
            }
            filled += text[i];
        }
        return filled;
    }

    const ProjectModel &m_project;
    std::array<QString, Classes.size()> m_messages;
    std::array<QString, Classes.size()> m_fixes;
    QString m_reachedMessage;
    std::array<int, Classes.size()> m_listed{};
    std::array<std::size_t, Classes.size()> m_summaries{};
    QSet<QString> m_texts;
    std::vector<Finding> m_findings;
};

QSet<QString> foldedSet(const QStringList &items)
{
    QSet<QString> set;
    set.reserve(items.size());
    for (const QString &item : items)
        set.insert(folded(item));
    return set;
}

void reviewMaps(const ProjectModel &project, FindingList &out)
{
    const PickLists lists(project);
    const QSet<QString> maps = foldedSet(lists.mapFiles());
    const QSet<QString> icons = foldedSet(lists.levelIcons());
    const QSet<QString> textures = foldedSet(lists.textureLists());
    // A script may be named with or without ".lua", as the game's own standard ones are.
    QSet<QString> scripts;
    for (const QString &script : lists.scripts())
        scripts.insert(folded(withoutExtension(script)));

    for (int m = 0; m < project.mapCount(); ++m) {
        const TMapInfo &info = project.map(m).Info;
        for (int row = 0; row < info.Properties.size() && row < info.ValueKinds.size(); ++row) {
            const QString &line = info.Properties[row];
            const QString value = ValueOf(line);
            const FindingPlace place = FindingPlace::mapProperty(m, row);
            switch (info.ValueKinds[row]) {
            case MapFileValue:
                if (value.isEmpty())
                    out.add(FindingClass::MapFileEmpty, place, value, KeyOf(line));
                else if (!maps.contains(folded(value)))
                    out.add(FindingClass::MapFileUnknown, place, value, KeyOf(line));
                break;
            case LevelIconValue:
                if (!icons.contains(folded(value)))
                    out.add(FindingClass::PickListValue, place, value, KeyOf(line));
                break;
            case TextureListValue:
                if (!textures.contains(folded(value)))
                    out.add(FindingClass::PickListValue, place, value, KeyOf(line));
                break;
            case ScriptsValue:
                if (value.isEmpty())
                    break;
                for (const QString &script : value.split(QLatin1Char(','))) {
                    if (!scripts.contains(folded(withoutExtension(script)))) {
                        out.add(FindingClass::PickListValue, place, script, KeyOf(line));
                        break;
                    }
                }
                break;
            default: break;
            }
        }
    }
}

// Whether a header link ("info\about.htm") names a file under {files}, looked up folder by
// folder as the tree compares names: listing every page of a large pack would cost far more.
bool namesPage(const ProjectModel &project, const QString &link)
{
    const QStringList parts = link.split(QLatin1Char('\\'));
    const TreeNode *node = project.root(FilesRoot);
    for (qsizetype i = 0; node && i + 1 < parts.size(); ++i)
        node = project.findFolderNode(node, parts[i]);
    return node && project.findFileNode(node, parts.last());
}

void reviewHeader(const ProjectModel &project, FindingList &out)
{
    for (int row = 0; row < project.headerCount(); ++row) {
        if (project.headerInfo().value(row).KeyKind != LinkKey)
            continue;
        const QString &line = project.headerRows()[row];
        const QString value = ValueOf(line);
        // An empty link names no page: the pack simply has none in that language.
        if (!value.isEmpty() && !namesPage(project, value))
            out.add(FindingClass::HeaderLinkMissing, FindingPlace::headerRow(row), value, KeyOf(line));
    }
}

void reviewSource(const PackFileEntry &entry, const FindingPlace &place, FindingList &out)
{
    const TreeNode *node = entry.node;
    const QString &path = node->Info().Path;
    // A file missing when it was added or opened would be packed from the staging folder: a
    // file of that name lying there, not the map maker's.
    if (node->Kind() != FileFoundKind) {
        out.add(FindingClass::MissingSource, place, path);
        return;
    }
    const SourceFacts facts = statSource(path);
    switch (facts.state) {
    case SourceFacts::Missing: out.add(FindingClass::MissingSource, place, path); return;
    case SourceFacts::NotRegular: out.add(FindingClass::NotRegularFile, place, path); return;
    case SourceFacts::Unreadable: out.add(FindingClass::UnreadableSource, place, path); return;
    case SourceFacts::Regular: break;
    }
    if (const PrivateSource judged = judgePrivateSource(path); judged.isPrivate)
        out.addPrivate(place, path, judged.reached);
    if (facts.size == 0)
        out.add(FindingClass::EmptySource, place, path);
    else if (entry.group == IconsRoot && !levelIconDecodes(path, facts.size))
        out.add(FindingClass::UnreadableLevelIcon, place, path);
}

// Installed places as Windows compares them, with the first node that installs there. Each
// folder's path is folded once; a place keeps no name of its own (FirstByHash).
class InstalledPlaces
{
public:
    explicit InstalledPlaces(const PackFiles &entries) : m_entries(entries), m_first(packFileCount(entries)) {}

    // The first entry installed at the same place as `entry`, or null when it is the first.
    const PackFileEntry *claim(const PackFileEntry &entry)
    {
        const Place place = placeOf(entry);
        const int first = m_first.claim(quint32(qHash(place.name, place.folder)), entry.absoluteIndex,
                                        [&](int other) { return placeOf(m_entries[std::size_t(other)]) == place; });
        return first < 0 ? nullptr : &m_entries[std::size_t(first)];
    }

private:
    struct Place
    {
        std::size_t folder = 0;
        QString name;
        bool operator==(const Place &other) const { return folder == other.folder && name == other.name; }
    };
    Place placeOf(const PackFileEntry &entry)
    {
        Place place{folderOf(entry), fileNameKey(entry.node->Text())};
        // A name holding "\" reaches into a folder of its own; that folder keeps the place the
        // whole path names.
        const qsizetype slash = place.name.lastIndexOf(QLatin1Char('\\'));
        if (slash >= 0) {
            place.folder = folderNumber(m_folderTexts[place.folder] + place.name.left(slash + 1));
            place.name = place.name.mid(slash + 1);
        }
        return place;
    }

    std::size_t folderOf(const PackFileEntry &entry)
    {
        const TreeNode *parent = entry.node->parent();
        if (parent == m_lastParent)
            return m_lastFolder;
        const auto at = m_parents.constFind(parent);
        const std::size_t folder = at != m_parents.constEnd() ? *at : folderNumber(fileNameKey(installedFolder(entry)));
        m_parents.insert(parent, folder);
        m_lastParent = parent;
        m_lastFolder = folder;
        return folder;
    }

    std::size_t folderNumber(const QString &foldedFolder)
    {
        const auto at = m_folders.constFind(foldedFolder);
        if (at != m_folders.constEnd())
            return *at;
        const std::size_t folder = m_folderTexts.size();
        m_folders.insert(foldedFolder, folder);
        m_folderTexts.push_back(foldedFolder);
        return folder;
    }

    const PackFiles &m_entries;
    const TreeNode *m_lastParent = nullptr;
    std::size_t m_lastFolder = 0;
    QHash<const TreeNode *, std::size_t> m_parents;
    QHash<QString, std::size_t> m_folders;
    std::vector<QString> m_folderTexts;
    FirstByHash m_first;
};

void reviewNodes(const ProjectModel &project, const PackFiles &entries, FindingList &out)
{
    InstalledPlaces installed(entries);
    for (const PackFileEntry &entry : entries) {
        if (!entry.isPackFile)
            continue;
        const FindingPlace place = FindingPlace::treeNode(entry.node, entry.absoluteIndex);
        if (entry.node != project.MapListNode())
            reviewSource(entry, place, out);
        // Where installedPath is empty: no folder of the installer takes it.
        if (!entry.node->parent() || entry.belowFile) {
            out.add(FindingClass::NotInstalled, place, entry.node->Text());
            continue;
        }
        if (const PackFileEntry *first = installed.claim(entry)) {
            out.add(FindingClass::SameInstallPlace, place,
                    placeText(project, FindingPlace::treeNode(first->node, first->absoluteIndex)));
        }
    }
}

} // namespace

int PackReview::count(Severity severity) const
{
    int total = 0;
    for (const Finding &finding : findings) {
        if (finding.severity == severity)
            total += 1 + finding.more;
    }
    return total;
}

PackReview ReviewPack(const ProjectModel &project, const QString &appDir)
{
    return ReviewPack(project, NumberPackFiles(project, appDir));
}

PackReview ReviewPack(const ProjectModel &project, const PackFiles &entries)
{
    const PackProperties &pack = project.packProperties();
    FindingList out(project);
    collectPackTextRefusals(project, [&out](const FindingPlace &place, const QString &message) {
        out.add(FindingClass::RefusedText, place, message);
    });
    reviewNodes(project, entries, out);
    reviewMaps(project, out);
    reviewHeader(project, out);
    if (project.mapCount() == 0)
        out.add(FindingClass::NoMaps, FindingPlace::pack());
    if (!pack.PackPropertiesSet)
        out.add(FindingClass::PackPropertiesNotSet, FindingPlace::pack());
    return PackReview{out.take()};
}

bool publishesPrivateFiles(const PackReview &review)
{
    return std::any_of(review.findings.begin(), review.findings.end(),
                       [](const Finding &f) { return f.kind == FindingClass::PublishedSystemFile; });
}

QString privateSourceLines(const PackReview &review, int limit)
{
    QStringList lines;
    int left = 0;
    for (const Finding &finding : review.findings) {
        if (finding.kind != FindingClass::PublishedSystemFile)
            continue;
        if (lines.size() < limit)
            lines << finding.where + QStringLiteral(": ") + finding.message;
        else
            ++left;
        left += finding.more;
    }
    if (left > 0) {
        Finding rest;
        rest.more = left;
        lines << moreText(rest);
    }
    return lines.join(QLatin1Char('\n'));
}

QString severityText(Severity severity)
{
    switch (severity) {
    case Severity::Error: return lang(LangKey::message_Check_Error);
    case Severity::Warning: return lang(LangKey::message_Check_Warning);
    case Severity::Note: break;
    }
    return lang(LangKey::message_Check_Note);
}

QString moreText(const Finding &finding)
{
    if (finding.more == 0)
        return {};
    return lang(LangKey::message_Check_More, {{'c', QString::number(finding.more)}});
}

QString findingLine(const Finding &finding)
{
    QString line = severityText(finding.severity) + QStringLiteral(": ") + finding.where + QStringLiteral(": ")
        + finding.message + QLatin1Char(' ') + finding.fix;
    if (finding.more > 0)
        line += QLatin1Char(' ') + moreText(finding);
    return line;
}

QString reviewSummary(const PackReview &review)
{
    // "/e", "/w" and "/c" stand for the numbers of errors, warnings and notes.
    return lang(LangKey::message_Check_Summary,
                {{'e', QString::number(review.count(Severity::Error))},
                 {'w', QString::number(review.count(Severity::Warning))},
                 {'c', QString::number(review.count(Severity::Note))}});
}

} // namespace tervelle
