#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// A project's pack fields: what the installer is called and says, and in which languages. The
// wizard edits them as one value, so its Finish is one change.
struct PackProperties
{
    QString PackName;
    QString PackVersion;
    QString PackAuthor;
    QString PackWebSite;
    QStringList PackLanguages; // lower-case Inno Setup language names, in the wizard's order
    bool PackPropertiesSet = false;

    bool operator==(const PackProperties &other) const
    {
        return PackName == other.PackName && PackVersion == other.PackVersion && PackAuthor == other.PackAuthor
            && PackWebSite == other.PackWebSite && PackLanguages == other.PackLanguages
            && PackPropertiesSet == other.PackPropertiesSet;
    }
    bool operator!=(const PackProperties &other) const { return !(*this == other); }
};

} // namespace tervelle
