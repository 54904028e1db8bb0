#pragma once

#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>

namespace tervelle {

// Every text the editor shows, named once in core/langtable.def. Code names a text by its
// identifier, so a misspelt one does not build.
enum class LangKey : int {
#define LANG(name, key, text) name,
#include "core/langtable.def"
#undef LANG
};

inline constexpr int LangCount = 473;

// The table: keys (with their brackets) and built-in English texts, in their fixed order.
extern const std::array<const char *, LangCount> LangKeys;
extern const std::array<const char *, LangCount> LangDefaults;

// The current texts: the defaults, overridden by the language file. Until InitLanguage runs they
// are the defaults, so a message made before start-up has its English text.
const std::array<QString, LangCount> &LangTexts();

// Builds the table and applies "Lang.lng" from the executable's folder when it exists. A
// language file that cannot be read is reported and the built-in texts stay.
void InitLanguage();
void InitLanguage(const QString &executableDir);

// Puts back the built-in texts, as if no language file had been applied.
void useBuiltInTexts();

// A language file larger than this is refused unread; a real one is a few kilobytes.
inline constexpr qint64 MaxLanguageFileSize = qint64(16) << 20;

// Applies a language file to the current texts. Throws UserError naming the file and the reason
// (not a regular file, too large, unreadable, a line the code page cannot decode); the texts are
// then left as they were.
void LoadLanguageFile(const QString &path);

// Applies the bytes of a language file (in the code page) to the current texts, all or nothing;
// throws UserError naming `fileName` and the line the code page cannot decode.
void applyLanguageBytes(QByteArrayView bytes, const QString &fileName = QStringLiteral("Lang.lng"));

// The lines of a language file's bytes with their 1-based numbers: each ends at LF or CR LF, a
// lone CR stays inside its line.
void forEachLanguageFileLine(QByteArrayView bytes, const std::function<void(int, QByteArrayView)> &visit);

// Reads one decoded line: "/" escapes the next character, each unescaped "=" ends a key, and
// what follows the last one is the text. False for a line without an unescaped "=", which the
// reader ignores.
bool readLanguageLine(QStringView line, QString &key, QString &text);

// The current text of the entry whose key matches (ignoring case), or "ERROR". For keys that
// come as text (a language file, a lookup by name); code names its texts by LangKey.
QString GetLangText(const QString &key);

// Position of the key in the table, or -1.
int langIndex(const QString &key);

// The key of an entry, with its brackets.
inline const char *langKeyText(LangKey key)
{
    return LangKeys[std::size_t(key)];
}

// One placeholder of a text and what it stands for: {'f', path}.
struct LangFill
{
    char letter;
    QString value;
};

// The current text of an entry.
QString lang(LangKey key);

// The current text with its placeholders replaced in one pass, so that a "/k" inside a file
// name stays as it is. A letter that the text does not hold is left out.
QString lang(LangKey key, std::initializer_list<LangFill> fills);

// Replaces placeholders of any text in one pass, as lang() does.
QString fillPlaceholders(const QString &text, std::initializer_list<LangFill> fills);

// The placeholder letters a text holds ("/f", "/k", ...), in order of first use.
QString placeholderLetters(const QString &text);

// For tests: gives one entry another text while it lives, and puts the text it had back.
class ScopedLangText
{
public:
    ScopedLangText(LangKey key, const QString &text);
    ~ScopedLangText();
    ScopedLangText(const ScopedLangText &) = delete;
    ScopedLangText &operator=(const ScopedLangText &) = delete;

private:
    LangKey m_key;
    QString m_previous;
};

} // namespace tervelle
