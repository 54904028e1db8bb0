#include "core/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
#endif
    if (m_settings->status() != QSettings::NoError) {
        // Writing after a failed read would drop every value we could not see.
        m_readable = false;
        report(m_settings->status() == QSettings::FormatError ? QStringLiteral("cannot be read: it is malformed")
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
