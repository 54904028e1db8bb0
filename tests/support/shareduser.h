#pragma once

// A second local user who shares a group folder with the test's own user (root, the one who
// builds): made for one test, with a group of its own, and removed with them afterwards. Names
// carry the process id, since tests run in parallel. Header only.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <unistd.h>

namespace tervelle::test {

class SharedGroupUser
{
public:
    SharedGroupUser()
    {
        static int count = 0;
        const QString suffix = QStringLiteral("%1x%2").arg(::getpid()).arg(++count);
        m_group = QStringLiteral("tvg") + suffix;
        m_user = QStringLiteral("tvp") + suffix;
        if (::geteuid() != 0) {
            m_skip = "making a second user needs root";
            return;
        }
        // The user database is locked while another test changes it: try again.
        if (!retried({QStringLiteral("groupadd"), m_group})
            || !retried({QStringLiteral("useradd"), QStringLiteral("-M"), QStringLiteral("-N"), QStringLiteral("-g"),
                         m_group, QStringLiteral("-s"), QStringLiteral("/bin/sh"), m_user}))
            m_skip = "groupadd or useradd failed";
    }
    ~SharedGroupUser()
    {
        if (::geteuid() != 0)
            return;
        retried({QStringLiteral("userdel"), m_user});
        retried({QStringLiteral("groupdel"), m_group});
    }
    SharedGroupUser(const SharedGroupUser &) = delete;
    SharedGroupUser &operator=(const SharedGroupUser &) = delete;

    // Empty when the user is there; otherwise why the test cannot run.
    const char *skipReason() const { return m_skip; }
    const QString &name() const { return m_user; }

    // Gives the folder to the shared group, writable by the group as such folders are.
    bool share(const QString &folder) const
    {
        return run({QStringLiteral("chgrp"), m_group, folder})
            && run({QStringLiteral("chmod"), QStringLiteral("2775"), folder});
    }
    // Lets the group pass through a folder on the way to a shared one.
    bool letThrough(const QString &folder) const
    {
        return run({QStringLiteral("chgrp"), m_group, folder})
            && run({QStringLiteral("chmod"), QStringLiteral("g+x"), folder});
    }
    // A shell command run as the second user; true when it ended with 0.
    bool as(const QByteArray &command) const
    {
        return run({QStringLiteral("runuser"), QStringLiteral("-u"), m_user, QStringLiteral("--"),
                    QStringLiteral("/bin/sh"), QStringLiteral("-c"), QString::fromLocal8Bit(command)});
    }
    // The same command line, for a stand-in compiler to run at the moment it chooses.
    QByteArray asCommand(const QByteArray &command) const
    {
        return "runuser -u " + m_user.toLocal8Bit() + " -- /bin/sh -c '" + command + "'";
    }

private:
    static bool run(QStringList command)
    {
        QProcess process;
        process.start(command.takeFirst(), command);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
    static bool retried(const QStringList &command)
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (run(command))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QString m_group;
    QString m_user;
    const char *m_skip = nullptr;
};

} // namespace tervelle::test
