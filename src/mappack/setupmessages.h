#pragma once

#include <QStringList>

namespace tervelle {

// The lines of the installer script's [CustomMessages] section for the chosen installer
// languages: the English messages without a language prefix, which serve every language, then
// Russian when chosen, then each other chosen language that has its own, in the order chosen.
QStringList customMessageLines(const QStringList &languages);

} // namespace tervelle
