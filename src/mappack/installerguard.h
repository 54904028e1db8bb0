#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// Keeps the installer that a build is about to replace until the build has succeeded. The
// compiler writes its output in place, so a failed, killed or full-disk run would otherwise
// leave a truncated installer (and its temporary file) where a good one was. The output folder
// may be one that others can write to: nothing here follows a symbolic link or removes a file
// the build did not see the compiler make.
class InstallerGuard
{
public:
    // `installerPath` is the file the compiler will write. An existing installer is moved aside
    // under a hidden name in the same folder, and an empty file of ours holds its name until the
    // compiler writes there, so that nobody can plant a link for the compiler to write through.
    // Throws UserError, with nothing moved, when the installer is a link or a folder or cannot
    // be moved aside.
    explicit InstallerGuard(const QString &installerPath);
    // Puts the earlier installer back unless the build was kept.
    ~InstallerGuard();

    InstallerGuard(const InstallerGuard &) = delete;
    InstallerGuard &operator=(const InstallerGuard &) = delete;

    // The build succeeded: the earlier installer goes. Should the compiler have written nothing,
    // the earlier one is put back instead.
    void keep();
    // The build failed: what the compiler left (the installer and its own temporary file, when
    // the build saw it appear) is removed and the earlier installer put back. Problems are
    // reported, never thrown: this runs when a build has already failed.
    void rollBack();

    const QString &installerPath() const { return m_installer; }

    // The compiler's temporary file for an installer: "<name>.e32.tmp" beside "<name>.exe".
    static QString compilerTemporaryFile(const QString &installerPath);
    // Earlier installers kept aside by builds that never ended (killed), oldest first.
    static QStringList leftovers(const QString &installerPath);
    // Gives such a leftover a visible name beside the installer, "<name> (earlier).exe" or the
    // first free "<name> (earlier N).exe", never replacing a file, and returns it. Throws
    // UserError with the system's reason when it cannot be renamed.
    static QString bringBack(const QString &leftover, const QString &installerPath);

private:
    void holdName();

    QString m_installer;
    QString m_folder;
    QString m_kept;
    QString m_compilerTmp;
    bool m_tmpExisted = false;
    bool m_done = false;
};

} // namespace tervelle
