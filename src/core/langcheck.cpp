#include "core/langcheck.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/textcodec.h"

#include <QStringDecoder>

#include <map>
#include <optional>

namespace tervelle {

namespace {

enum class Carried { Nowhere, ProjectText, FolderName, Key, ConsoleLine };

Carried carriedAs(int index)
{
    switch (LangKey(index)) {
    case LangKey::lstFiles_RootNames_Files:
    case LangKey::lstFiles_RootNames_Maps:
    case LangKey::lstFiles_RootNames_HeightMaps:
    case LangKey::lstFiles_RootNames_LevelIcons:
    case LangKey::lstFiles_RootNames_TextureFiles:
    case LangKey::lstFiles_RootNames_Scripts: return Carried::ProjectText;
    case LangKey::message_NewFolder_Default: return Carried::FolderName;
    case LangKey::message_NewKey_Default:
    case LangKey::message_NewHeaderKey_Default:
    case LangKey::message_NewHeaderLinkKey_Default: return Carried::Key;
    case LangKey::message_Compile_Start:
    case LangKey::message_Compile_Success:
    case LangKey::message_Compile_Fail:
    case LangKey::message_Compile_Error:
    case LangKey::message_Try_BuildFailed:
    case LangKey::message_Try_Stopped: return Carried::ConsoleLine;
    default: break;
    }
    // The review's findings are build console lines and lines of tervelle-pack; a line break
    // would split one in two.
    const QLatin1String key(LangKeys[std::size_t(index)]);
    const bool singleLine = !QLatin1String(LangDefaults[std::size_t(index)]).contains(QLatin1Char('\n'));
    return key.startsWith(QLatin1String("[message.Check.")) && singleLine ? Carried::ConsoleLine : Carried::Nowhere;
}

struct FileEntry
{
    int line = 0;
    QString text;
    bool readable = true;
};

// A file saved as UTF-8 reads as other letters in an 8-bit code page ("Ã¤" for "ä") without
// any byte being wrong, so it is told by its bytes.
bool looksLikeUtf8(QByteArrayView bytes)
{
    if (textCodec().name().compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0)
        return false;
    bool nonAscii = false;
    for (const char c : bytes)
        nonAscii = nonAscii || (static_cast<unsigned char>(c) & 0x80);
    if (!nonAscii)
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    // The decoding runs when the text is taken; only then does hasError() know.
    const QString decoded = utf8.decode(bytes);
    return !decoded.isEmpty() && !utf8.hasError();
}

QString quoted(const QStringList &placeholders)
{
    return placeholders.isEmpty() ? QStringLiteral("none") : placeholders.join(QLatin1Char(' '));
}

} // namespace

QStringList placeholdersOf(const QString &text)
{
    QStringList found;
    for (const QChar letter : placeholderLetters(text))
        found << QLatin1Char('/') + letter;
    found.sort();
    return found;
}

QString carriedTextFault(int index, const QString &text, const QString &subject)
{
    try {
        switch (carriedAs(index)) {
        case Carried::Nowhere: break;
        case Carried::ProjectText: requireStorableText(subject, text); break;
        case Carried::FolderName:
            requireWindowsName(subject, text);
            requireStorableText(subject, text);
            break;
        case Carried::Key:
            requireStorableText(subject, text);
            if (text.contains(QLatin1Char('=')))
                return lang(LangKey::message_Key_HoldsEquals, {{'k', text}});
            break;
        case Carried::ConsoleLine: requireNoControlCharacters(subject, text); break;
        }
    } catch (const UserError &e) {
        return e.message();
    }
    return {};
}

QStringList checkLanguageBytes(QByteArrayView bytes, const QString &fileName)
{
    const TextCodec &codec = textCodec();
    QStringList unknown;
    QStringList unreadable;
    std::map<int, FileEntry> entries; // by table index; a later line for the same key wins
    forEachLanguageFileLine(bytes, [&](int lineNumber, QByteArrayView lineBytes) {
        const std::optional<QString> line = codec.decodeExactly(lineBytes);
        QString key;
        QString text;
        // The key of an unreadable line is still told, so it is not also called missing.
        const bool hasKey = readLanguageLine(line ? *line : codec.decode(lineBytes), key, text);
        const int index = hasKey ? langIndex(key) : -1;
        if (!line) {
            unreadable << QStringLiteral("%1:%2:%3 the line holds bytes that are no text in the code page %4")
                              .arg(fileName)
                              .arg(lineNumber)
                              .arg(index < 0 ? QString() : QLatin1Char(' ') + key + QLatin1Char(':'), codec.name());
            if (index >= 0)
                entries[index] = {lineNumber, text, false};
            return;
        }
        if (!hasKey)
            return;
        if (index < 0)
            unknown << QStringLiteral("%1:%2: unknown key %3").arg(fileName).arg(lineNumber).arg(key);
        else
            entries[index] = {lineNumber, text, true};
    });

    QStringList problems;
    for (int i = 0; i < LangCount; ++i) {
        if (entries.find(i) == entries.end())
            problems << QStringLiteral("%1: missing key %2").arg(fileName, QLatin1String(LangKeys[std::size_t(i)]));
    }
    problems << unknown;
    for (const auto &[index, entry] : entries) {
        if (!entry.readable)
            continue;
        const QString english = QString::fromLatin1(LangDefaults[std::size_t(index)]);
        const QString where =
            QStringLiteral("%1:%2: %3").arg(fileName).arg(entry.line).arg(QLatin1String(LangKeys[std::size_t(index)]));
        const QStringList expected = placeholdersOf(english);
        const QStringList found = placeholdersOf(entry.text);
        if (found != expected) {
            // A placeholder is written "//f" in the file; a single "/f" is an escape and vanishes.
            problems << QStringLiteral("%1: placeholders %2, the English text has %3 (write them as //f)")
                            .arg(where, quoted(found), quoted(expected));
        }
    }
    problems << unreadable;
    if (looksLikeUtf8(bytes)) {
        problems << QStringLiteral("%1: the file is saved as UTF-8; save it in the code page %2, or its letters "
                                   "beyond ASCII read as others")
                        .arg(fileName, codec.name());
    }
    for (const auto &[index, entry] : entries) {
        if (!entry.readable)
            continue;
        if (!codec.canEncode(entry.text)) {
            problems << QStringLiteral("%1:%2: %3: the code page %4 cannot store this text")
                            .arg(fileName)
                            .arg(entry.line)
                            .arg(QLatin1String(LangKeys[std::size_t(index)]), codec.name());
        }
        const QString fault = carriedTextFault(index, entry.text, QStringLiteral("The text"));
        if (!fault.isEmpty()) {
            problems << QStringLiteral("%1:%2: %3: %4 (the program keeps its built-in text)")
                            .arg(fileName)
                            .arg(entry.line)
                            .arg(QLatin1String(LangKeys[std::size_t(index)]), fault);
        }
    }
    return problems;
}

} // namespace tervelle
