#pragma once

#include <QString>

namespace tervelle {

// A complete language file of the current texts: one "key=value" line per entry, in table
// order, each ended by CR LF. A starting point for translators.
QString makeLangTemplate();

} // namespace tervelle
