#pragma once

#include "core/common.h"

#include <QStringList>

namespace tervelle {

// The fixed text of the installer script: the [Code] section around the generated calls and the
// custom messages. Every line is ASCII except the Russian messages.
QStringList setupCodeHead();
QStringList setupCodeTail();
QStringList englishMessages();
// Written as Windows-1251 bytes, whatever the editor's code page.
QStringList russianMessages();

} // namespace tervelle
