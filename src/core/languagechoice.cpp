#include "core/languagechoice.h"

#include "core/langload.h"
#include "core/report.h"
#include "core/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace tervelle {

namespace {

const QLatin1String LangFileName("Lang.lng");

// Chosen once at start-up, as the language table is.
QString g_chosenLanguage;

// A language name is one folder: nothing that climbs out of the translations folder.
bool isLanguageName(const QString &language)
{
    if (language.isEmpty() || language.size() > 32)
        return false;
    for (const QChar c : language) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('_') && c != QLatin1Char('-'))
            return false;
    }
    return true;
}

bool isEnglish(const QString &language)
{
    return language.section(QLatin1Char('_'), 0, 0).compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}

} // namespace

QStringList installedTranslationFolders(const QString &executableDir)
{
    // The installed tree keeps the programs in <prefix>/<libdir>/tervelle and the data in
    // <prefix>/share/tervelle; the build tells how far apart they are.
    QStringList folders{
        QDir::cleanPath(QDir(executableDir).filePath(QStringLiteral(TERVELLE_TRANSLATIONS_FROM_APPDIR)))};
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString folder = QDir::cleanPath(QDir(data).filePath(QStringLiteral("tervelle/translations")));
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QString installedTranslation(const QStringList &folders, const QString &language)
{
    if (!isLanguageName(language))
        return {};
    for (const QString &folder : folders) {
        QString path = QDir(folder).filePath(language + QLatin1Char('/') + LangFileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString chooseLanguageFile(const QString &executableDir, const QString &languageSetting, const QStringList &uiLanguages,
                           const QStringList &folders)
{
    // Only the executable's folder counts, never the working folder.
    QString beside = QDir(executableDir).filePath(LangFileName);
    if (QFileInfo::exists(beside))
        return beside;

    if (!languageSetting.isEmpty()) {
        if (isEnglish(languageSetting))
            return {};
        QString chosen = installedTranslation(folders, languageSetting);
        if (!chosen.isEmpty())
            return chosen;
        reportProblem(lang(LangKey::message_Settings_UnknownLanguage, {{'t', languageSetting}}));
    }

    // The user's languages in order, each as "de_AT" and then "de"; English is built in, so it
    // ends the search.
    for (QString language : uiLanguages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (isEnglish(language) || language == QLatin1String("C"))
            return {};
        for (const QString &name : {language, language.section(QLatin1Char('_'), 0, 0)}) {
            QString found = installedTranslation(folders, name);
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

QString chooseLanguageFile(const QString &executableDir)
{
    const QString setting = SettingsStore(SettingsStore::Key::Editor).readString(QStringLiteral("Language"));
    QString file = chooseLanguageFile(executableDir, setting, QLocale::system().uiLanguages(),
                                      installedTranslationFolders(executableDir));
    const QFileInfo chosen(file);
    g_chosenLanguage = file.isEmpty() || chosen.dir() == QDir(executableDir) ? QString() : chosen.dir().dirName();
    return file;
}

QString chosenLanguage()
{
    return g_chosenLanguage;
}

} // namespace tervelle
