#include "project/keyvalue.h"

#include <QSet>

namespace tervelle {

QString KeyOf(const QString &row)
{
    const qsizetype eq = row.indexOf(QLatin1Char('='));
    return eq < 0 ? row : row.left(eq);
}

QString ValueOf(const QString &row)
{
    const qsizetype eq = row.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : row.mid(eq + 1);
}

bool SameKey(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString keyFolded(const QString &text)
{
    return text.toCaseFolded();
}

int FindKey(const QStringList &rows, const QString &key)
{
    for (int i = 0; i < rows.size(); ++i) {
        const QString &row = rows[i];
        const qsizetype eq = row.indexOf(QLatin1Char('='));
        const QStringView rowKey = eq < 0 ? QStringView(row) : QStringView(row).left(eq);
        // SameKey, without copying every row's key.
        if (rowKey.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int FindDuplicateKey(const QStringList &rows)
{
    QSet<QString> seen;
    seen.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QString folded = keyFolded(KeyOf(rows[i]));
        if (seen.contains(folded))
            return i;
        seen.insert(folded);
    }
    return -1;
}

QString WithValue(const QString &row, const QString &value)
{
    return KeyOf(row) + QLatin1Char('=') + value;
}

} // namespace tervelle
