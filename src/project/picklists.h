#pragma once

#include "project/projectmodel.h"

#include <QObject>
#include <QStringList>

namespace tervelle {

class TreeNode;

// The choice lists the value editors of the properties and header grids offer, taken from the
// files tree. The lists follow the project: listsChanged() fires whenever a change of the tree
// may have changed one of them, so an open pick list can refill itself.
class PickLists : public QObject
{
    Q_OBJECT

public:
    explicit PickLists(const ProjectModel &model, QObject *parent = nullptr);

    // Value kind 1: "nolevel.tga", then the names of the level icons as they stand.
    QStringList levelIcons() const;
    // Value kind 3: the names of the maps without their extension.
    QStringList mapFiles() const;
    // Value kind 4: the five themes' texture lists, then the names under the texture group (its
    // folders too) as they stand.
    QStringList textureLists() const;
    // The list of the combo box for value kinds 1, 3 and 4; empty for the others.
    QStringList itemsFor(int valueKind) const;

    // The script list: "stdvs.lua", "wormpot.lua", then the scripts' names without extension.
    QStringList scripts() const;
    // The value a script chosen from the list makes of the cell's value: appended after a comma,
    // or alone when the cell is empty. A script already named is appended again.
    static QString withScript(const QString &value, const QString &script);

    // Every file under the {files} group by its path inside that group, folders joined with
    // "\" as the launcher's maplists folder has them, in tree order.
    QStringList headerLinks() const;

    // The row of the first item equal to the value as keys compare (SameKey), or -1: the item a pick list
    // shows selected for a cell.
    static int indexOfValue(const QStringList &items, const QString &value);

signals:
    void listsChanged();

private:
    void nodeTouched(const TreeNode *parent);
    QStringList childNames(RootGroup group, bool dropExtension) const;

    const ProjectModel &m_model;
};

} // namespace tervelle
