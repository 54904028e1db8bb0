#include "core/settingsfile.h"

#include "core/errors.h"
#include "core/langload.h"

#include <QSet>
#include <QStringDecoder>

namespace tervelle {

namespace {

bool isBlank(QStringView line)
{
    return line.trimmed().isEmpty();
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

bool canStoreSettingsValue(const QString &value)
{
    return !hasLineBreak(value);
}

SettingsValues parseSettingsFile(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw UserError(lang(LangKey::message_Settings_NotUtf8));
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);

    SettingsValues values;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (isBlank(line) || line.trimmed() == QLatin1String("[General]"))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? QString() : line.left(equals).trimmed().toString();
        if (name.isEmpty())
            throw UserError(lang(LangKey::message_Settings_NotNameValue, {{'l', QString::number(i + 1)}}));
        if (values.contains(name))
            throw UserError(lang(LangKey::message_Settings_RepeatedName, {{'l', QString::number(i + 1)}, {'k', name}}));
        values.insert(name, line.mid(equals + 1).toString());
    }
    return values;
}

QByteArray settingsFileBytes(const SettingsValues &values)
{
    QByteArray bytes;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString value = it.value().toString();
        if (it.key().contains(QLatin1Char('=')) || hasLineBreak(it.key()) || hasLineBreak(value))
            throw UserError(lang(LangKey::message_Settings_ValueLineBreak, {{'k', it.key()}}));
        bytes += it.key().toUtf8() + '=' + value.toUtf8() + '\n';
    }
    return bytes;
}

} // namespace tervelle
