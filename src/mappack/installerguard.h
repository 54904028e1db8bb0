#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// Keeps the installer that a build is about to replace until the build has succeeded. The
// compiler writes its output in place, so a failed, killed or full-disk run would otherwise
// leave a truncated installer (and its *.tmp files) where a good one was.
class InstallerGuard
{
public:
    // `installerPath` is the file the compiler will write. An existing installer is moved aside
    // under a hidden name in the same folder, and the *.tmp files already there are noted.
    // Throws UserError, with nothing moved, when the earlier installer cannot be moved aside.
    explicit InstallerGuard(const QString &installerPath);
    // Puts the earlier installer back unless the build was kept.
    ~InstallerGuard();

    InstallerGuard(const InstallerGuard &) = delete;
    InstallerGuard &operator=(const InstallerGuard &) = delete;

    // The build succeeded: the earlier installer goes. Should the compiler have written nothing,
    // the earlier one is put back instead.
    void keep();
    // The build failed: what the compiler left (the installer and the *.tmp files that were not
    // there before) is removed and the earlier installer put back. Problems are reported, never
    // thrown: this runs when a build has already failed.
    void rollBack();

    const QString &installerPath() const { return m_installer; }
    // Where the earlier installer waits, or empty when there was none.
    const QString &keptPath() const { return m_kept; }

private:
    QStringList tmpFiles() const;

    QString m_installer;
    QString m_folder;
    QString m_kept;
    QStringList m_tmpBefore;
    bool m_done = false;
};

} // namespace tervelle
