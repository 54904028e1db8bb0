#pragma once

#include <QString>

namespace tervelle {

class TextCodec;

// The script carries a byte-order mark, so the compiler reads it as written in any locale. The
// locale it runs in still decides two things under Wine: how Linux file names are read (UTF-8
// locales only read them as we wrote them) and the ANSI code page of the compiler's own messages,
// which the build console reads by `codec` where they are not UTF-8.

// The value of LC_ALL for the compiler: a UTF-8 locale whose Windows code page is that of `codec`
// when one is installed, otherwise C.UTF-8 (built into the C library), whose code page is
// windows-1252. Empty on Windows, where the compiler runs in the system's own locale.
QString compilerLocale(const TextCodec &codec);

} // namespace tervelle
