#include "core/settingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

namespace tervelle {

namespace {

QString keyName(SettingsStore::Key key)
{
    return key == SettingsStore::Key::Editor ? QStringLiteral("Tervelle") : QStringLiteral("Quorvane");
}

#ifndef Q_OS_WIN
QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// QSettings reads a file on first access and keeps what it parsed: a later QSettings on the
// unchanged file is served from that cache and reports no error. So a malformed file is
// remembered as it was when found, for as long as it stays so.
struct FileStamp
{
    qint64 size = 0;
    QDateTime modified;
};

QHash<QString, FileStamp> &malformedFiles()
{
    static QHash<QString, FileStamp> files;
    return files;
}

bool isKnownMalformed(const QString &path, bool foundNow)
{
    const QFileInfo info(path);
    const FileStamp stamp{info.size(), info.lastModified()};
    QHash<QString, FileStamp> &files = malformedFiles();
    if (foundNow) {
        files.insert(path, stamp);
        return true;
    }
    const auto known = files.constFind(path);
    if (known == files.cend())
        return false;
    if (known->size == stamp.size && known->modified == stamp.modified)
        return true;
    files.remove(path);
    return false;
}
#endif

} // namespace

QString SettingsStore::location(Key key)
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Orbeck\\") + keyName(key);
#else
    return configHome() + QStringLiteral("/Orbeck/") + keyName(key) + QStringLiteral(".conf");
#endif
}

QString SettingsStore::location() const
{
    return location(m_key);
}

SettingsStore::SettingsStore(Key key) : m_key(key)
{
#ifdef Q_OS_WIN
    m_settings = std::make_unique<QSettings>(location(), QSettings::NativeFormat);
    const bool malformed = m_settings->status() == QSettings::FormatError;
#else
    const QString path = location();
    const QFileInfo info(path);
    if (!info.exists()) {
        // Created on first start, like the registry key would be.
        QDir().mkpath(info.absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            report(QStringLiteral("cannot be created: ") + file.errorString());
    }
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    // The file is read on access, one section at a time, not here: read all of it before asking
    // how that went.
    m_settings->allKeys();
    const bool malformed = isKnownMalformed(path, m_settings->status() == QSettings::FormatError);
#endif
    if (malformed || m_settings->status() != QSettings::NoError) {
        // Writing after a failed read would drop every value we could not see.
        m_readable = false;
        report(malformed ? QStringLiteral("cannot be read: it is malformed")
                         : QStringLiteral("cannot be read: access denied"));
    }
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::report(const QString &what) const
{
    std::fprintf(stderr, "Tervelle: the settings %s %s.\n", qPrintable(location()), qPrintable(what));
}

QString SettingsStore::readString(const QString &name) const
{
    if (!m_readable)
        return {};
    const QVariant value = m_settings->value(name);
    if (!value.isValid())
        return {};
    if (value.typeId() != QMetaType::QString) {
        report(QStringLiteral("hold \"%1\" as %2, not as text; it is ignored").arg(name, QString::fromLatin1(value.typeName())));
        return {};
    }
    return value.toString();
}

bool SettingsStore::writeString(const QString &name, const QString &value)
{
    if (!m_readable) {
        report(QStringLiteral("are not written, so that values that could not be read are kept"));
        return false;
    }
    m_settings->setValue(name, value);
    return true;
}

bool SettingsStore::sync()
{
    if (!m_readable)
        return false;
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        report(QStringLiteral("could not be written"));
        return false;
    }
    return true;
}

} // namespace tervelle
