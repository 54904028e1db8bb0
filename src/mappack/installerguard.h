#pragma once

#include "mappack/folderentries.h"

#include <QString>
#include <QStringList>

namespace tervelle {

// Where the compiler writes, and how its installer takes the chosen name. The output folder may
// be one that others can write, and the compiler opens its files there following links (its
// temporary "<name>.e32.tmp" first, then the installer) and removes its temporary file after.
// So it writes into a private folder of ours made inside the output folder, and the installer is
// moved into place by a rename, which replaces a name and never follows a link. The earlier
// installer stays where it is until the new one takes its name, so a failed, killed or
// full-disk build leaves it untouched, and nothing of anyone's beside it is written or removed.
class InstallerGuard
{
public:
    // `installerPath` is the installer the build makes. Throws UserError, with nothing made, when
    // it is a link, a folder or anything but a file, or the private folder cannot be made.
    explicit InstallerGuard(const QString &installerPath);
    // Removes the private folder with whatever the compiler left in it.
    ~InstallerGuard();

    InstallerGuard(const InstallerGuard &) = delete;
    InstallerGuard &operator=(const InstallerGuard &) = delete;

    // The installer path to give the compiler: the installer's name in the private folder.
    QString compilerOutput() const;
    // The compiler succeeded: its installer takes the chosen name. True exactly when the regular
    // file the compiler wrote stands at the installer path. Otherwise `problem` says why; the
    // earlier installer stays, and a new one that could not take the name is kept beside it.
    bool place(QString &problem);

    const QString &installerPath() const { return m_installer; }

    // Earlier installers kept aside by builds that never ended (killed), oldest first.
    static QStringList leftovers(const QString &installerPath);
    // Gives such a leftover a visible name beside the installer, "<name> (earlier).exe" or the
    // first free "<name> (earlier N).exe", never replacing a file, and returns it. Throws
    // UserError with the system's reason when it cannot be renamed.
    static QString bringBack(const QString &leftover, const QString &installerPath);

private:
    void removeStalePrivateFolders();
    void makePrivateFolder();
    void removePrivateFolder();

    QString m_installer;
    QString m_name;
    FolderHandle m_output;
    FolderHandle m_private;
    QString m_privateName;
    struct stat m_privateMade = {};
    struct stat m_earlier = {};
    bool m_hadEarlier = false;
};

} // namespace tervelle
