#pragma once

#include <QString>

namespace tervelle {

// Escapes a text so that the language file reader gives it back unchanged:
// "/" as "//", "=" as "/=", a CR LF line break as "/n".
QString escapeLangText(const QString &text);

// A complete language file of the current texts: one "key=value" line per entry, in table
// order, each ended by CR LF. A starting point for translators.
QString makeLangTemplate();

} // namespace tervelle
