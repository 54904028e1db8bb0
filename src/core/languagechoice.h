#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// Which language file the program reads at start-up, in this order: a "Lang.lng" beside the
// executable; the installed translation named by the setting "Language" of the editor's key
// ("de"; "en" asks for the built-in English); the installed translation of the system's
// language; none, which leaves the built-in English. Installed translations are
// <folder>/<language>/Lang.lng in the folders of installedTranslationFolders().

// The folders that may hold installed translations, first match wins: the data folder of the
// installed tree (<prefix>/share/tervelle/translations, found from the executable's folder),
// then tervelle/translations under each XDG data folder.
QStringList installedTranslationFolders(const QString &executableDir);

// The path of the installed translation of `language` ("de", "de_AT"), or empty.
QString installedTranslation(const QStringList &folders, const QString &language);

// The file to read, or empty for the built-in English. A Language setting that names no
// installed translation is reported and passed over.
// `uiLanguages` are the system's languages in the user's order, as QLocale::uiLanguages() gives
// them ("de-AT", "de", "en-US").
QString chooseLanguageFile(const QString &executableDir, const QString &languageSetting, const QStringList &uiLanguages,
                           const QStringList &folders);

// The same with the program's setting, the system's languages and the installed folders; it
// also records the language chosen, for chosenLanguage().
QString chooseLanguageFile(const QString &executableDir);

// The installed translation's language ("de") that the last chooseLanguageFile() took, or empty
// for the built-in English or a "Lang.lng" beside the executable, whose language is not known.
QString chosenLanguage();

} // namespace tervelle
