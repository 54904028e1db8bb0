#include "core/settingsstore.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/langload.h"
#include "core/report.h"
#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <atomic>

namespace tervelle {

namespace {

QString keyName(SettingsStore::Key key)
{
    return key == SettingsStore::Key::Editor ? QStringLiteral("Tervelle") : QStringLiteral("Quorvane");
}

#ifndef Q_OS_WIN
QString configHome()
{
    QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// The settings are a few folders; a larger file is no settings file of ours, and reading it
// whole would cost many times its size.
constexpr qint64 MaxSettingsFileSize = qint64(1) << 20;

// Stores holding a QSettings: while there are any, their unsynced values live in QSettings'
// shared cache, which a new store must read through.
std::atomic<int> g_openStores{0};

bool readSettingsDevice(QIODevice &device, QSettings::SettingsMap &map)
{
    if (device.size() > MaxSettingsFileSize)
        return false;
    try {
        map = parseSettingsFile(device.readAll());
        return true;
    } catch (const UserError &) {
        return false;
    }
}

bool writeSettingsDevice(QIODevice &device, const QSettings::SettingsMap &map)
{
    try {
        const QByteArray bytes = settingsFileBytes(map);
        return device.write(bytes) == bytes.size();
    } catch (const UserError &) {
        return false;
    }
}

// QSettings' INI format reads "a, b" as a list and drops quotes and backslashes; ours keeps
// every value as typed.
QSettings::Format plainFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readSettingsDevice, writeSettingsDevice, Qt::CaseSensitive);
    return format;
}

// Reads the file as QSettings will, to learn whether it may be written at all: QSettings itself
// treats a file it cannot open as empty and would replace it with only our values. The values
// read serve the reads, so a store that is only read never parses the file twice.
QSettings::SettingsMap readChecked(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw UserError(lang(info.isDir() ? LangKey::message_Settings_IsFolder : LangKey::message_Settings_NotRegular));
    if (info.size() > MaxSettingsFileSize)
        throw UserError(lang(LangKey::message_Settings_TooLarge, {{'c', sizeText(MaxSettingsFileSize)}}));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(file.errorString());
    const QByteArray bytes = file.read(MaxSettingsFileSize + 1);
    if (bytes.size() > MaxSettingsFileSize)
        throw UserError(lang(LangKey::message_Settings_TooLarge, {{'c', sizeText(MaxSettingsFileSize)}}));
    if (file.error() != QFileDevice::NoError)
        throw UserError(file.errorString());
    return parseSettingsFile(bytes);
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
    if (m_settings->status() != QSettings::NoError) {
        m_readable = false;
        report(lang(LangKey::message_Settings_CannotRead));
    }
#else
    const QString path = location();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        // Created on first start, like the registry key would be.
        QDir().mkpath(info.absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            report(lang(LangKey::message_Settings_CannotCreate, {{'r', file.errorString()}}));
    }
    try {
        m_values = readChecked(path);
    } catch (const UserError &e) {
        // Writing after a failed read would drop every value we could not see. A file that is
        // not a regular one is never opened: reading a FIFO would wait for ever.
        m_readable = false;
        report(lang(LangKey::message_Settings_CannotReadLeft, {{'r', e.message()}}));
        return;
    }
    // Values another store has written but not yet synced are seen through QSettings only.
    if (g_openStores.load() > 0)
        openForWriting();
#endif
}

// QSettings reads the file once more; only a store that writes needs it (or one made while
// another has it open), and most only read.
bool SettingsStore::openForWriting()
{
    if (!m_readable)
        return false;
    if (m_settings)
        return true;
#ifndef Q_OS_WIN
    m_settings = std::make_unique<QSettings>(location(), plainFormat());
    ++g_openStores;
#endif
    if (m_settings->status() != QSettings::NoError) {
        m_readable = false;
        report(lang(LangKey::message_Settings_CannotReadKept));
    }
    return m_readable;
}

SettingsStore::~SettingsStore()
{
#ifndef Q_OS_WIN
    if (m_settings)
        --g_openStores;
#endif
}

void SettingsStore::report(const QString &what) const
{
    reportProblem(lang(LangKey::message_Settings_Problem, {{'f', location()}, {'r', what}}));
}

QString SettingsStore::readString(const QString &name) const
{
    if (!m_readable)
        return {};
    const QVariant value = m_settings ? m_settings->value(name) : m_values.value(name);
    if (!value.isValid())
        return {};
    if (value.typeId() != QMetaType::QString) {
        report(lang(LangKey::message_Settings_NotText, {{'k', name}, {'t', QString::fromLatin1(value.typeName())}}));
        return {};
    }
    return value.toString();
}

bool SettingsStore::writeString(const QString &name, const QString &value)
{
    if (!m_readable)
        return false;
#ifndef Q_OS_WIN
    if (!canStoreSettingsValue(value)) {
        report(lang(LangKey::message_Settings_LineBreak, {{'k', name}}));
        return false;
    }
#endif
    if (!openForWriting())
        return false;
    m_settings->setValue(name, value);
    return true;
}

bool SettingsStore::sync()
{
    if (!openForWriting())
        return false;
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        report(lang(LangKey::message_Settings_NotWritten));
        return false;
    }
    return true;
}

} // namespace tervelle
