// libFuzzer target: arbitrary bytes as both settings files, read the way the editor starts and
// written back the way it ends. Whatever the files hold, reading them must not fail hard, and
// saving must lose nothing: the values written read back as written, the values the editor does
// not write read back as they were, and a save that is refused leaves the file as it was.

#include "core/common.h"
#include "core/settingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tervelle;

namespace {

QTemporaryDir *baseDir;
QString executableDir;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

[[noreturn]] void violation(const char *what)
{
    std::fprintf(stderr, "settings: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Values holding a NUL make Qt warn on every stat; the warnings would bury the fuzzer's log.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QTemporaryDir dir;
    baseDir = &dir;
    executableDir = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(executableDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A fresh folder each time: the settings layer may keep what it read of a path, and every
    // input must be read from its own bytes.
    static int round = 0;
    const QString configHome = baseDir->filePath(QStringLiteral("config%1").arg(++round));
    qputenv("XDG_CONFIG_HOME", configHome.toLocal8Bit());
    QDir().mkpath(configHome + QStringLiteral("/Orbeck"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString editorPath = SettingsStore::location(SettingsStore::Key::Editor);
    writeFile(editorPath, bytes);
    writeFile(SettingsStore::location(SettingsStore::Key::Launcher), bytes);

    const QStringList untouchedNames = {QStringLiteral("CodePage"), QStringLiteral("CompilerLauncher")};
    QStringList untouched;
    {
        const SettingsStore editor(SettingsStore::Key::Editor);
        for (const QString &name : untouchedNames)
            untouched << editor.readString(name);
    }

    const Settings settings = LoadSettings(executableDir);
    if (!settings.AppDir.endsWith(QDir::separator()))
        violation("AppDir does not end in a separator");
    if (!settings.WormsDir.isEmpty() && !QDir(settings.WormsDir).exists())
        violation("WormsDir names no folder");

    if (!SaveSettings(settings)) {
        if (contents(editorPath) != bytes)
            violation("a refused save changed the settings file");
    } else {
        const SettingsStore editor(SettingsStore::Key::Editor);
        if (editor.readString(QStringLiteral("AppDir")) != settings.AppDir
            || editor.readString(QStringLiteral("TexturesDir")) != settings.TexturesDir
            || editor.readString(QStringLiteral("LastDir")) != settings.LastDir)
            violation("a saved folder reads back differently");
        for (int i = 0; i < untouchedNames.size(); ++i) {
            if (editor.readString(untouchedNames[i]) != untouched[i])
                violation("a value the editor does not write changed on saving");
        }
    }
    QDir(configHome).removeRecursively();
    return 0;
}
