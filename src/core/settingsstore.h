#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace tervelle {

// One key of the persistent settings: on Windows a registry key under HKEY_LOCAL_MACHINE, elsewhere
// a file of plain "name=value" lines under $XDG_CONFIG_HOME/Orbeck/ (see settingsfile.h).
// Problems go to reportProblem() and never stop the program: a value that cannot be read reads
// as empty text, and a key that could not be read is never written, so that nothing the user
// stored is lost.
class SettingsStore
{
public:
    enum class Key { Editor, Launcher };

    // Opens the key, creating it when it is missing.
    explicit SettingsStore(Key key);
    ~SettingsStore();

    // Empty when the value is missing, of another type, or the key could not be read.
    QString readString(const QString &name) const;
    // Returns false (and reports why) when the value cannot be written.
    bool writeString(const QString &name, const QString &value);
    // Writes pending values to disk; false (reported) when that failed.
    bool sync();

    // Where the key lives: a file path, or the registry path on Windows.
    QString location() const;
    static QString location(Key key);

private:
    void report(const QString &what) const;
    bool openForWriting();

    Key m_key;
    // Elsewhere than Windows: the values as read, until a write opens m_settings.
    QMap<QString, QVariant> m_values;
    std::unique_ptr<QSettings> m_settings;
    bool m_readable = true;
};

} // namespace tervelle
