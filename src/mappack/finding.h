#pragma once

#include <QString>

namespace tervelle {

class TreeNode;

// error: the pack would be wrong or the build would fail; warning: very likely a mistake;
// note: worth knowing.
enum class Severity { Error, Warning, Note };

// What a finding is about; each class has its severity and its texts in the language table.
enum class FindingClass {
    MissingSource,
    NotRegularFile,
    UnreadableSource,
    RefusedText,
    MapFileEmpty,
    MapFileUnknown,
    PickListValue,
    HeaderLinkMissing,
    NotInstalled,
    SameInstallPlace,
    UnreadableLevelIcon,
    EmptySource,
    PublishedSystemFile,
    NoMaps,
    PackPropertiesNotSet,
};

// Where a finding lies, so that a view can go there.
struct FindingPlace
{
    enum Kind { Pack, Node, MapProperty, HeaderRow };
    Kind kind = Pack;
    const TreeNode *node = nullptr; // Node; only valid while the project is unchanged
    int absoluteIndex = -1;         // Node
    int map = -1;                   // MapProperty
    int row = -1;                   // MapProperty (property row) or HeaderRow

    static FindingPlace pack() { return {}; }
    static FindingPlace headerRow(int row) { return {HeaderRow, nullptr, -1, -1, row}; }
    static FindingPlace mapProperty(int map, int row) { return {MapProperty, nullptr, -1, map, row}; }
    static FindingPlace treeNode(const TreeNode *node, int absoluteIndex)
    {
        return {Node, node, absoluteIndex, -1, -1};
    }
};

struct Finding
{
    FindingClass kind = FindingClass::MissingSource;
    Severity severity = Severity::Error;
    FindingPlace place;
    QString where;   // as the window shows it: "Level icons\arena.tga", "Arena, [map]", "[htmlenglish]"
    QString message; // from the language table
    QString fix;     // what would fix it, from the language table
    // Further findings of this kind that this one stands for: past a bound, a review lists no
    // more of one kind, only their number.
    int more = 0;
};

} // namespace tervelle
