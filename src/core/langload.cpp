#include "core/langload.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/langcheck.h"
#include "core/languagechoice.h"
#include "core/report.h"
#include "core/textcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace tervelle {

namespace {

struct LangEntry
{
    LangKey id;
    const char *key;
    const char *text;
    // The same text as UTF-16, so the start-up table points at it instead of converting 473 rows.
    const char16_t *wide;
    qsizetype wideLength;
};

constexpr LangEntry Table[] = {
#define LANG(name, key, text) {LangKey::name, key, text, u"" text, qsizetype(sizeof(u"" text) / sizeof(char16_t)) - 1},
#include "core/langtable.def"
#undef LANG
};
static_assert(std::size(Table) == std::size_t(LangCount), "LangCount is the number of rows of the table");

// A row's identifier is its key without brackets, dots written as "_".
constexpr bool idMatchesKey(const char *id, const char *key)
{
    if (key[0] != '[')
        return false;
    std::size_t i = 0;
    for (; id[i] != '\0'; ++i) {
        const char expected = id[i] == '_' ? '.' : id[i];
        if (key[i + 1] != expected)
            return false;
    }
    return key[i + 1] == ']' && key[i + 2] == '\0';
}

constexpr bool rowsAgree()
{
    std::size_t i = 0;
#define LANG(name, key, text)                                                                                          \
    if (Table[i].id != LangKey::name || !idMatchesKey(#name, key))                                                     \
        return false;                                                                                                  \
    ++i;
#include "core/langtable.def"
#undef LANG
    return true;
}
static_assert(rowsAgree(), "each row of core/langtable.def names its identifier after its key");

// The Latin-1 reading of a text (the defaults) and its UTF-16 copy agree only for ASCII.
constexpr bool textsAreAscii()
{
    for (const LangEntry &row : Table) {
        qsizetype i = 0;
        for (; row.text[i] != '\0'; ++i) {
            if (static_cast<unsigned char>(row.text[i]) > 0x7f || row.wide[i] != char16_t(row.text[i]))
                return false;
        }
        if (i != row.wideLength)
            return false;
    }
    return true;
}
static_assert(textsAreAscii(), "the built-in texts of core/langtable.def are plain ASCII");

template <std::size_t... I>
constexpr std::array<const char *, LangCount> keysOf(std::index_sequence<I...>)
{
    return {Table[I].key...};
}

template <std::size_t... I>
constexpr std::array<const char *, LangCount> textsOf(std::index_sequence<I...>)
{
    return {Table[I].text...};
}

std::array<QString, LangCount> builtInTexts()
{
    std::array<QString, LangCount> texts;
    for (int i = 0; i < LangCount; ++i)
        texts[i] = QString::fromRawData(reinterpret_cast<const QChar *>(Table[i].wide), Table[i].wideLength);
    return texts;
}

std::array<QString, LangCount> &currentTexts()
{
    static std::array<QString, LangCount> texts = builtInTexts();
    return texts;
}

} // namespace

const std::array<const char *, LangCount> LangKeys = keysOf(std::make_index_sequence<LangCount>());
const std::array<const char *, LangCount> LangDefaults = textsOf(std::make_index_sequence<LangCount>());

const std::array<QString, LangCount> &LangTexts()
{
    return currentTexts();
}

void useBuiltInTexts()
{
    currentTexts() = builtInTexts();
}

void InitLanguage()
{
    InitLanguage(QCoreApplication::applicationDirPath());
}

void InitLanguage(const QString &executableDir)
{
    useBuiltInTexts();

    // Lang.lng beside the executable, else the chosen installed translation, else English.
    const QString path = chooseLanguageFile(executableDir);
    if (path.isEmpty())
        return;
    try {
        LoadLanguageFile(QDir::toNativeSeparators(path));
    } catch (const UserError &e) {
        // Starting in English beats a program that never opens its window.
        reportProblem(lang(LangKey::message_LanguageFile_UsingBuiltIn, {{'r', e.message()}}));
    }
}

int langIndex(const QString &key)
{
    for (int i = 0; i < LangCount; ++i) {
        if (key.compare(QLatin1String(LangKeys[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString GetLangText(const QString &key)
{
    const int index = langIndex(key);
    return index < 0 ? QStringLiteral("ERROR") : currentTexts()[index];
}

QString lang(LangKey key)
{
    return currentTexts()[std::size_t(key)];
}

QString lang(LangKey key, std::initializer_list<LangFill> fills)
{
    return fillPlaceholders(lang(key), fills);
}

QString fillPlaceholders(const QString &text, std::initializer_list<LangFill> fills)
{
    QString result;
    result.reserve(text.size());
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('/') && i + 1 < length) {
            const QChar next = text[i + 1];
            const auto fill = std::find_if(fills.begin(), fills.end(),
                                           [next](const LangFill &f) { return next == QLatin1Char(f.letter); });
            if (fill != fills.end()) {
                result += fill->value;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QString placeholderLetters(const QString &text)
{
    QString letters;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('/'))
            continue;
        const QChar next = text[i + 1];
        if (next >= QLatin1Char('a') && next <= QLatin1Char('z')) {
            if (!letters.contains(next))
                letters += next;
            ++i;
        }
    }
    return letters;
}

ScopedLangText::ScopedLangText(LangKey key, const QString &text)
    : m_key(key), m_previous(currentTexts()[std::size_t(key)])
{
    currentTexts()[std::size_t(key)] = text;
}

ScopedLangText::~ScopedLangText()
{
    currentTexts()[std::size_t(m_key)] = m_previous;
}

// One line of a language file: "/" escapes the next character ("/=", "/n", "//"; any other pair
// is dropped), each unescaped "=" ends a key, and what follows the last one is the value.
// Lines without an unescaped "=" (blank lines, notes) are ignored: otherwise they would
// silently overwrite the text of the key named on the line before.
bool readLanguageLine(QStringView line, QString &key, QString &text)
{
    QString gathered;
    key.clear();
    bool hasKey = false;
    const qsizetype length = line.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('/')) {
            // A "/" in the last position meets the guard blank and gathers nothing.
            const QChar next = i + 1 < length ? line[i + 1] : QLatin1Char(' ');
            if (next == QLatin1Char('='))
                gathered += QLatin1Char('=');
            else if (next == QLatin1Char('n'))
                gathered += QLatin1String("\r\n");
            else if (next == QLatin1Char('/'))
                gathered += QLatin1Char('/');
            ++i;
        } else if (c == QLatin1Char('=')) {
            key = gathered;
            gathered.clear();
            hasKey = true;
        } else {
            gathered += c;
        }
    }
    text = gathered;
    return hasKey;
}

namespace {

void applyLine(std::array<QString, LangCount> &texts, QStringView line)
{
    QString key;
    QString text;
    if (!readLanguageLine(line, key, text))
        return;
    const int index = langIndex(key);
    if (index >= 0)
        texts[index] = text;
}

} // namespace

void LoadLanguageFile(const QString &path)
{
    const std::unique_ptr<QFile> file = openInputFile(path, lang(LangKey::message_FileKind_Language));
    applyLanguageBytes(readInput(*file, MaxLanguageFileSize, lang(LangKey::message_FileKind_Language), path), path);
}

namespace {

// The group captions become texts of every project file, the default names and keys texts of
// the project, and the build messages lines on terminals: each passes the checks of typed texts
// where it goes, and one that fails keeps its built-in text.
void keepOnlyCarriableTexts(std::array<QString, LangCount> &texts, const QString &fileName)
{
    for (int i = 0; i < LangCount; ++i) {
        const QString fault = carriedTextFault(
            i, texts[i],
            lang(LangKey::message_LanguageFile_TextOf, {{'f', fileName}, {'k', QLatin1String(LangKeys[i])}}));
        if (fault.isEmpty())
            continue;
        reportProblem(lang(LangKey::message_LanguageFile_BuiltInTextUsed, {{'r', fault}}));
        texts[i] = QString::fromLatin1(LangDefaults[i]);
    }
}

} // namespace

void forEachLanguageFileLine(QByteArrayView bytes, const std::function<void(int, QByteArrayView)> &visit)
{
    // Lines end at LF or CR LF; a lone CR stays in the line. Each is handed on its own, so a
    // large file costs its bytes and one line.
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = bytes.size();
        qsizetype lineEnd = end;
        if (!lastLine && lineEnd > start && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        visit(++lineNumber, bytes.sliced(start, lineEnd - start));
        start = end + 1;
    }
}

void applyLanguageBytes(QByteArrayView bytes, const QString &fileName)
{
    const TextCodec &codec = textCodec();
    // Applied to a copy, so that a file that fails halfway changes nothing.
    std::array<QString, LangCount> texts = currentTexts();

    forEachLanguageFileLine(bytes, [&](int lineNumber, QByteArrayView bytesOfLine) {
        const std::optional<QString> line = codec.decodeExactly(bytesOfLine);
        if (!line) {
            throw UserError(lang(LangKey::message_LanguageFile_Undecodable,
                                 {{'f', fileName}, {'l', QString::number(lineNumber)}, {'o', codec.name()}}));
        }
        applyLine(texts, *line);
    });
    keepOnlyCarriableTexts(texts, fileName);
    currentTexts() = std::move(texts);
}

} // namespace tervelle
