#include "ui/dialogs/dialogs.h"

namespace tervelle {

QStringList qtNameFilters(const QString &filter)
{
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (patterns.isEmpty())
            patterns = QStringLiteral("*");
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString bracketed = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (description.endsWith(bracketed))
            result.append(description);
        else if (description.isEmpty())
            result.append(bracketed);
        else
            result.append(description + QLatin1Char(' ') + bracketed);
    }
    return result;
}

QString nameFilterAt(const QStringList &filters, int oneBasedIndex)
{
    if (filters.isEmpty())
        return QString();
    if (oneBasedIndex < 1 || oneBasedIndex > filters.size())
        return filters.first();
    return filters[oneBasedIndex - 1];
}

} // namespace tervelle
