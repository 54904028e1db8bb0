#pragma once

#include <QString>

#include <cstddef>

namespace tervelle {

// Names as the player's file system compares them. Windows looks a name up ignoring letter case
// by upper-casing each UTF-16 unit through one table, one unit to one unit: "ä" is "Ä", "ı" and
// "i" are both "I", "ς" and "σ" are both "Σ", but "ß" stays itself and is never "SS". Qt's
// simple uppercase mapping of a QChar is that rule; QString::toUpper is not (it writes "ß" as
// "SS"), and neither is case folding (it takes "ẞ" for "ß" and keeps "ı" from "i").
//
// Every comparison that stands for a file or folder on the player's machine goes through these:
// names in the files tree, the places the installer copies to, the sources the compiler might
// take for one another, and the files a relink finds.

// The name as Windows compares it: every UTF-16 unit upper-cased one to one. The name itself,
// shared rather than copied, when no unit changes.
QString fileNameKey(const QString &name);

// Whether Windows takes the two names for one.
bool sameFileName(const QString &a, const QString &b);

// A hash that is equal for names Windows takes for one.
std::size_t fileNameHash(const QString &name);

// The map list file of a pack whose "[english]" header value is `englishTitle`: the title
// followed by ".mpl" (".mpl" alone for an empty title).
QString mapListFileName(const QString &englishTitle);

} // namespace tervelle
