#include "mappack/setuplanguages.h"

#include "core/namerule.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tervelle {

namespace {

const QLatin1String LanguageSuffix(".isl");

bool canNameLanguage(const QString &name)
{
    return isWindowsName(name) && !name.contains(QLatin1Char('"'));
}

} // namespace

QList<SetupLanguage> setupLanguages(const QString &appDir)
{
    const QDir folder(setupLanguagesFolder(appDir));
    // Hidden files count as the compiler reads them all the same; the suffix is tested by hand
    // because a name filter would follow the file system's letter case.
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);

    QList<SetupLanguage> languages;
    for (const QFileInfo &entry : entries) {
        const QString fileName = entry.fileName();
        // A folder named like a language file, or a link leading nowhere, is no language file.
        if (!entry.isFile() || !fileName.endsWith(LanguageSuffix, Qt::CaseInsensitive))
            continue;
        const QString name = fileName.left(fileName.size() - LanguageSuffix.size());
        if (!canNameLanguage(name))
            continue;
        const QString language = name.toLower();
        if (language == QLatin1String("english"))
            continue;
        languages.append({name, language});
    }

    std::sort(languages.begin(), languages.end(), [](const SetupLanguage &a, const SetupLanguage &b) {
        return a.language != b.language ? a.language < b.language : a.displayName < b.displayName;
    });
    // Two files that differ only in letter case are one language to the compiler under Windows.
    languages.erase(
        std::unique(languages.begin(), languages.end(),
                    [](const SetupLanguage &a, const SetupLanguage &b) { return a.language == b.language; }),
        languages.end());
    return languages;
}

} // namespace tervelle
