#include "ui/dialogs/dialogs.h"

#include "core/langload.h"

#include <QGuiApplication>

namespace tervelle {

QString messageCaption()
{
    return QGuiApplication::applicationDisplayName();
}

FileDialogRequest fileDialogRequest(const FileDialogKeys &keys, const QString &folder, const QString &defaultSuffix)
{
    FileDialogRequest request;
    request.title = lang(keys.title);
    request.filter = lang(keys.filter);
    request.filterIndex = lang(keys.filterIndex).trimmed().toInt();
    request.folder = folder;
    request.defaultSuffix = defaultSuffix;
    return request;
}

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
        const QString written = QLatin1Char('(') + patterns + QLatin1Char(')');
        // "*.*" means every file, as on Windows; Qt's "*.*" would want a dot in the name.
        QStringList each = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString &pattern : each) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        each.removeDuplicates();
        const QString bracketed = QLatin1Char('(') + each.join(QLatin1Char(' ')) + QLatin1Char(')');
        if (description.endsWith(written))
            result.append(description.chopped(written.size()) + bracketed);
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
