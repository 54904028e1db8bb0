#include "project/keyrules.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "project/keyvalue.h"

namespace tervelle {

namespace {

[[noreturn]] void keyExists(const QString &typedKey, const char *existMessageKey)
{
    throw UserError(GetLangText(QString::fromLatin1(existMessageKey)).replace(QStringLiteral("/k"), typedKey));
}

} // namespace

void requireNewKey(const QStringList &rows, const QString &typedKey, const char *existMessageKey)
{
    // A line break in a key would split its row in the project file and the map list.
    requireStorableText(QStringLiteral("The key"), typedKey);
    if (FindKey(rows, KeyOf(typedKey)) >= 0)
        keyExists(typedKey, existMessageKey);
}

bool requireKeyEdit(const QStringList &rows, int row, const QString &key, int fixedRows, const char *existMessageKey)
{
    if (row < 0 || row >= rows.size())
        return false;
    if (row < fixedRows) {
        throw UserError(
            QStringLiteral("The key %1 belongs to every project and cannot be changed.").arg(KeyOf(rows[row])));
    }
    if (key.contains(QLatin1Char('='))) {
        throw UserError(QStringLiteral("The key \"%1\" cannot hold \"=\": it separates a key from its value.")
                            .arg(escapeControlCharacters(key)));
    }
    requireStorableText(QStringLiteral("The key"), key);
    for (int i = 0; i < rows.size(); ++i) {
        if (i != row && SameKey(KeyOf(rows[i]), key))
            keyExists(key, existMessageKey);
    }
    return true;
}

} // namespace tervelle
