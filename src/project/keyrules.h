#pragma once

#include "core/langload.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tervelle {

// The rules every new or edited key of the header and of a map's properties passes. Each
// returns the message for the user, or nothing when the key may be used; the require... forms
// throw it as a UserError. The rows stay as they were either way.

// A new key as typed: it ends at its first "=" (the rest starts the value), and that cut key
// must not exist yet, or the saved project would hold one key twice and could not be read.
// `exists` is the "already exists" message; "/k" in it is the key as typed.
std::optional<QString> newKeyFault(const QStringList &rows, const QString &typedKey, LangKey exists);
void requireNewKey(const QStringList &rows, const QString &typedKey, LangKey exists);

// An in-place edit of the key of `row`, which must be a row of the list: the first `fixedRows`
// rows keep their keys, a key holds no "=" and no control character, and no other row has it
// (ignoring letter case).
std::optional<QString> keyEditFault(const QStringList &rows, int row, const QString &key, int fixedRows,
                                    LangKey exists);

// The same; returns false, changing nothing, when `row` is no row of the list.
bool requireKeyEdit(const QStringList &rows, int row, const QString &key, int fixedRows, LangKey exists);

} // namespace tervelle
