#pragma once

#include "mappack/compilerfolder.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tervelle {

// One installer language the pack properties wizard offers: the language file's name as found
// (without ".isl"), and the lower-case name the pack keeps in PackLanguages and the installer
// script writes.
struct SetupLanguage
{
    QString displayName;
    QString language;
};

// The installer languages of the compiler folder: the regular files of
// `<appDir>iscc/languages/` whose names end in ".isl" in any letter case, sorted by language
// name, each language once however many files differ only in the case of their names.
// "english" is left out: the script always names it through the compiler's Default.isl, and a
// second line of that name would stop the compiler. Names the script line cannot carry (a
// double quote, a control character, not a file name on Windows) are left out too. A missing
// folder gives an empty list.
QList<SetupLanguage> setupLanguages(const QString &appDir);

} // namespace tervelle
