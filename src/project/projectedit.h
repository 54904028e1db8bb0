#pragma once

#include "project/filetree.h"
#include "project/packproperties.h"

#include <QStringList>
#include <QVector>

#include <vector>

namespace tervelle {

// The kinds are stored in project files as numbers. A file may hold a number neither enum
// names: the fixed qint32 base keeps any such number as read, it is written back unchanged and
// treated as the plain text kind.
enum HeaderKeyKind : qint32 { TextKey = 0, LinkKey = 1 };

enum ValueKind : qint32 {
    TextValue = 0,
    LevelIconValue = 1,
    ScriptsValue = 2,
    MapFileValue = 3,
    TextureListValue = 4,
    TextureTileValue = 5,
};

struct THeaderKeyInfo
{
    HeaderKeyKind KeyKind = TextKey; // text key, or link to an information file
};

struct TMapInfo
{
    QStringList Properties;
    QVector<ValueKind> ValueKinds; // one per property, same order
};

struct MapEntry
{
    QString displayName;
    TMapInfo Info;
};

// One node of a removed subtree, in walk order, with its depth below the subtree's top.
struct SavedNode
{
    int depth = 0;
    NodeData data;
};

// One change of a project, kept as what puts it back: applying it to the project makes the
// change that undoes the one it was recorded for, and yields the change that redoes it. A step
// of the history is a list of these, applied last first. Only what changed is kept: a map
// entry, the header rows, a node's place and name, a removed subtree.
struct ProjectEdit
{
    enum class Kind {
        Header,     // set the header rows and kinds to `rows` and `headerInfo`
        MapInsert,  // put `map` back as map `index`
        MapRemove,  // remove map `index`
        MapSet,     // set map `index` to `map`
        NodeInsert, // put `nodes` back at `path`
        NodeRemove, // remove the node at `path` with its subtree
        NodeRename, // rename the node at `path` to `text`
        NodeRelink, // point the node at `path` to the source file `text`
        Pack,       // set the pack fields to `pack`
    };

    explicit ProjectEdit(Kind kind = Kind::Header, int index = -1, std::vector<int> path = {}, QString text = {})
        : kind(kind), index(index), path(std::move(path)), text(std::move(text))
    {}

    Kind kind = Kind::Header;
    int index = -1;
    std::vector<int> path; // rows from the top level down
    QString text;
    QStringList rows;
    QVector<THeaderKeyInfo> headerInfo;
    MapEntry map;
    std::vector<SavedNode> nodes;
    PackProperties pack;
};

using EditList = std::vector<ProjectEdit>;

} // namespace tervelle
