#include "core/namerule.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/textcodec.h"

#include <QStringList>

namespace tervelle {

namespace {

constexpr qsizetype MaxWindowsNameLength = 255;

const QString &forbiddenNameCharacters()
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    return forbidden;
}

// CON, NUL, COM1 and their kin name devices in every folder, with or without an extension.
// Windows counts COM0 and LPT0 and the superscript digits among the numbered ones.
bool isDeviceName(const QString &name)
{
    // Most names have more letters before their first dot than the longest device ("CONOUT$").
    int letters = 0;
    for (const QChar c : name) {
        if (c == QLatin1Char('.'))
            break;
        if (c != QLatin1Char(' ') && ++letters > 7)
            return false;
    }
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"),   QStringLiteral("PRN"),    QStringLiteral("AUX"),
                                        QStringLiteral("NUL"),   QStringLiteral("CONIN$"), QStringLiteral("CONOUT$"),
                                        QStringLiteral("CLOCK$")};
    if (devices.contains(stem))
        return true;
    if (stem.size() != 4 || !(stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))))
        return false;
    const char16_t digit = stem.at(3).unicode();
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
}

// Why `name` is not a Windows name, for the message; empty when it is one.
QString nameFault(const QString &name)
{
    if (name.isEmpty())
        return lang(LangKey::message_Name_Empty);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return lang(LangKey::message_Name_Dots);
    // Windows holds no longer name: the file could not be written here nor installed there.
    if (name.size() > MaxWindowsNameLength)
        return lang(LangKey::message_Name_TooLong, {{'c', QString::number(MaxWindowsNameLength)}});
    for (const QChar c : name) {
        if (isControlCharacter(c))
            return lang(LangKey::message_Name_ControlCharacter);
        if (forbiddenNameCharacters().contains(c))
            return lang(LangKey::message_Name_ForbiddenCharacter, {{'x', QString(c)}});
    }
    if (isDeviceName(name))
        return lang(LangKey::message_Name_Device);
    const QChar last = name.back();
    if (last == QLatin1Char(' '))
        return lang(LangKey::message_Name_EndsInBlank);
    if (last == QLatin1Char('.'))
        return lang(LangKey::message_Name_EndsInDot);
    return {};
}

} // namespace

bool isControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (isControlCharacter(c))
            return true;
    }
    return false;
}

QString escapeControlCharacters(const QString &text)
{
    if (!hasControlCharacter(text))
        return text;
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!isControlCharacter(c)) {
            result += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\r': result += QLatin1String("\\r"); break;
        case u'\n': result += QLatin1String("\\n"); break;
        case u'\t': result += QLatin1String("\\t"); break;
        case 0: result += QLatin1String("\\0"); break;
        default: result += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        }
    }
    return result;
}

bool isWindowsName(const QString &name)
{
    return nameFault(name).isEmpty();
}

std::optional<QString> controlCharacterFault(const QString &what, const QString &value)
{
    if (!hasControlCharacter(value))
        return std::nullopt;
    return lang(LangKey::message_Rule_ControlCharacter, {{'s', what}, {'t', escapeControlCharacters(value)}});
}

std::optional<QString> storableTextFault(const QString &what, const QString &value)
{
    if (auto fault = controlCharacterFault(what, value))
        return fault;
    if (textCodec().canEncode(value))
        return std::nullopt;
    return lang(LangKey::message_Rule_CodePage, {{'s', what}, {'t', value}, {'o', textCodec().name()}});
}

std::optional<QString> windowsNameFault(const QString &what, const QString &name)
{
    const QString fault = nameFault(name);
    if (fault.isEmpty())
        return std::nullopt;
    return lang(LangKey::message_Rule_FileName, {{'s', what}, {'t', escapeControlCharacters(name)}, {'r', fault}});
}

std::optional<QString> webAddressFault(const QString &what, const QString &value)
{
    if (value.isEmpty() || value.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || value.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    return lang(LangKey::message_Rule_WebAddress, {{'s', what}, {'t', escapeControlCharacters(value)}});
}

void refuse(const std::optional<QString> &fault)
{
    if (fault)
        throw UserError(*fault);
}

} // namespace tervelle
