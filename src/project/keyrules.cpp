#include "project/keyrules.h"

#include "core/namerule.h"
#include "project/keyvalue.h"

namespace tervelle {

std::optional<QString> newKeyFault(const QStringList &rows, const QString &typedKey, LangKey exists)
{
    // A line break in a key would split its row in the project file and the map list.
    if (auto fault = storableTextFault(lang(LangKey::message_Subject_Key), typedKey))
        return fault;
    if (FindKey(rows, KeyOf(typedKey)) >= 0)
        return lang(exists, {{'k', typedKey}});
    return std::nullopt;
}

void requireNewKey(const QStringList &rows, const QString &typedKey, LangKey exists)
{
    refuse(newKeyFault(rows, typedKey, exists));
}

std::optional<QString> keyEditFault(const QStringList &rows, int row, const QString &key, int fixedRows, LangKey exists)
{
    if (row < fixedRows)
        return lang(LangKey::message_Key_Fixed, {{'k', KeyOf(rows[row])}});
    if (key.contains(QLatin1Char('=')))
        return lang(LangKey::message_Key_HoldsEquals, {{'k', escapeControlCharacters(key)}});
    if (auto fault = storableTextFault(lang(LangKey::message_Subject_Key), key))
        return fault;
    for (int i = 0; i < rows.size(); ++i) {
        if (i != row && SameKey(KeyOf(rows[i]), key))
            return lang(exists, {{'k', key}});
    }
    return std::nullopt;
}

bool requireKeyEdit(const QStringList &rows, int row, const QString &key, int fixedRows, LangKey exists)
{
    if (row < 0 || row >= rows.size())
        return false;
    refuse(keyEditFault(rows, row, key, fixedRows, exists));
    return true;
}

} // namespace tervelle
