#pragma once

#include <QString>

namespace tervelle {

class TextCodec;

// The compiler reads a script without a byte-order mark in the ANSI code page of the system it
// runs on, not in ours. These name the Windows code page a script in `codec` needs, and how the
// compiler is run in it.

// The value of LC_ALL under which Wine gives the compiler that ANSI code page while still
// reading Linux file names as UTF-8. Throws UserError, naming the CodePage setting, when there is
// none or when the locale it needs is not installed. On Windows it checks instead that the
// system's own code page is the one, and returns an empty text.
QString compilerLocale(const TextCodec &codec);

} // namespace tervelle
