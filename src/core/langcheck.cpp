#include "core/langcheck.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/textcodec.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <map>
#include <optional>

namespace tervelle {

namespace {

enum class Carried { Nowhere, ProjectText, FolderName, Key, ConsoleLine };

Carried carriedAs(int index)
{
    const QLatin1String key(LangKeys[std::size_t(index)]);
    if (key.startsWith(QLatin1String("[lstFiles.RootNames.")))
        return Carried::ProjectText;
    if (key == QLatin1String("[message.NewFolder.Default]"))
        return Carried::FolderName;
    if (key == QLatin1String("[message.NewKey.Default]") || key == QLatin1String("[message.NewHeaderKey.Default]")
        || key == QLatin1String("[message.NewHeaderLinkKey.Default]"))
        return Carried::Key;
    // The build console and tervelle-pack print these one a line; the review's findings among them
    // are single lines in English, and a line break would split one in two.
    const bool singleLine = !QLatin1String(LangDefaults[std::size_t(index)]).contains(QLatin1Char('\n'));
    if (key.startsWith(QLatin1String("[message.Compile.")) || key == QLatin1String("[message.Try.BuildFailed]")
        || key == QLatin1String("[message.Try.Stopped]")
        || (key.startsWith(QLatin1String("[message.Check.")) && singleLine))
        return Carried::ConsoleLine;
    return Carried::Nowhere;
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
    static const QRegularExpression placeholder(QStringLiteral("/[A-Za-z]"));
    QStringList found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const QString p = it.next().captured();
        if (!found.contains(p))
            found << p;
    }
    found.sort();
    return found;
}

QString carriedTextFault(int index, const QString &text)
{
    const Carried carried = carriedAs(index);
    try {
        switch (carried) {
        case Carried::Nowhere: break;
        case Carried::ProjectText:
            requireStorableText(QStringLiteral("The group caption, stored in every project file,"), text);
            break;
        case Carried::FolderName:
            requireWindowsName(QStringLiteral("The default folder name"), text);
            requireStorableText(QStringLiteral("The default folder name"), text);
            break;
        case Carried::Key:
            requireStorableText(QStringLiteral("The default key"), text);
            if (text.contains(QLatin1Char('=')))
                return QStringLiteral("The default key \"%1\" holds \"=\", which ends a key.").arg(text);
            break;
        case Carried::ConsoleLine: requireNoControlCharacters(QStringLiteral("The console line"), text); break;
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
        const QString fault = carriedTextFault(index, entry.text);
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
