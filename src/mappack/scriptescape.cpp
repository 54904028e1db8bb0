#include "mappack/scriptescape.h"

#include "core/langload.h"
#include "core/namerule.h"

namespace tervelle {

QString compilerPath(const QString &path)
{
#ifdef Q_OS_WIN
    return path;
#else
    if (!path.startsWith(QLatin1Char('/')))
        return path;
    QString dos = QStringLiteral("Z:") + path;
    dos.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return dos;
#endif
}

QString setupDirective(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) && trimmed.endsWith(QLatin1Char('"')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

QString constantText(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('{'), QStringLiteral("{{"));
    return result;
}

QString constantArgument(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '%': result += QStringLiteral("%25"); break;
        case ',': result += QStringLiteral("%2c"); break;
        case '|': result += QStringLiteral("%7c"); break;
        case '}': result += QStringLiteral("%7d"); break;
        case '{': result += QStringLiteral("{{"); break;
        default: result += c;
        }
    }
    return result;
}

QString quotedParameter(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return result;
}

QString pascalString(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\''), QStringLiteral("''"));
    return result;
}

std::optional<QString> doubleQuoteFault(const QString &what, const QString &value)
{
    if (!value.contains(QLatin1Char('"')))
        return std::nullopt;
    return lang(LangKey::message_Rule_DoubleQuote, {{'s', what}, {'t', value}});
}

void refuseDoubleQuote(const QString &what, const QString &value)
{
    refuse(doubleQuoteFault(what, value));
}

bool holdsInlineDirective(const QString &text)
{
    return text.contains(QLatin1String("{#"));
}

} // namespace tervelle
