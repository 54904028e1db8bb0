#include "core/langtemplate.h"

#include "core/langload.h"

namespace tervelle {

namespace {

// Escapes a text so that the language file reader gives it back unchanged:
// "/" as "//", "=" as "/=", a CR LF line break as "/n".
QString escapeLangText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('/')) {
            escaped += QLatin1String("//");
        } else if (c == QLatin1Char('=')) {
            escaped += QLatin1String("/=");
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            escaped += QLatin1String("/n");
            ++i;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

QString makeLangTemplate()
{
    QString out;
    for (int i = 0; i < LangCount; ++i) {
        out += QLatin1String(LangKeys[i]);
        out += QLatin1Char('=');
        out += escapeLangText(LangTexts()[i]);
        out += QLatin1String("\r\n");
    }
    return out;
}

} // namespace tervelle
