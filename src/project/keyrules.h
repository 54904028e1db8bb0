#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// The rules every new or edited key of the header and of a map's properties passes. Each throws
// UserError with a message for the user and leaves the rows as they were.

// A new key as typed: it ends at its first "=" (the rest starts the value), and that cut key
// must not exist yet, or the saved project would hold one key twice and could not be read.
// `existMessageKey` is the language key of the "already exists" message; "/k" in it is
// replaced by the key as typed.
void requireNewKey(const QStringList &rows, const QString &typedKey, const char *existMessageKey);

// An in-place edit of the key of `row`: the first `fixedRows` rows keep their keys, a key holds
// no "=" and no control character, and no other row has it (ignoring letter case). Returns
// false, changing nothing, when `row` is no row of the list.
bool requireKeyEdit(const QStringList &rows, int row, const QString &key, int fixedRows, const char *existMessageKey);

} // namespace tervelle
