#pragma once

#include <QStringList>

namespace tervelle {

// The fixed code of the installer script, in the order the [Code] section holds it: the shared
// variables, then (after the pack's constants) the procedures up to the generated calls, then the
// end of the section after them.
QStringList setupCodeVariables();
QStringList setupCodeProcedures();
QStringList setupCodeTail();

} // namespace tervelle
