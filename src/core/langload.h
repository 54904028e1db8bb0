#pragma once

#include <QString>

#include <array>
#include <functional>

namespace tervelle {

inline constexpr int LangCount = 241;

// The table: keys (with their brackets) and built-in English texts, in their fixed order.
extern const std::array<const char *, LangCount> LangKeys;
extern const std::array<const char *, LangCount> LangDefaults;
// The current texts: the defaults, overridden by the language file.
extern std::array<QString, LangCount> LangTexts;

// Builds the table and applies "Lang.lng" from the executable's folder when it exists. A
// language file that cannot be read is reported and the built-in texts stay.
void InitLanguage();
void InitLanguage(const QString &executableDir);

// A language file larger than this is refused unread; a real one is a few kilobytes.
inline constexpr qint64 MaxLanguageFileSize = qint64(16) << 20;

// Applies a language file to LangTexts. Throws UserError naming the file and the reason (not a
// regular file, too large, unreadable, a line the code page cannot decode); the texts are then
// left as they were.
void LoadLanguageFile(const QString &path);

// Applies the bytes of a language file (in the code page) to LangTexts, all or nothing; throws
// UserError naming `fileName` and the line the code page cannot decode.
void applyLanguageBytes(QByteArrayView bytes, const QString &fileName = QStringLiteral("Lang.lng"));

// The lines of a language file's bytes with their 1-based numbers: each ends at LF or CR LF, a
// lone CR stays inside its line.
void forEachLanguageFileLine(QByteArrayView bytes, const std::function<void(int, QByteArrayView)> &visit);

// Reads one decoded line: "/" escapes the next character, each unescaped "=" ends a key, and
// what follows the last one is the text. False for a line without an unescaped "=", which the
// reader ignores.
bool readLanguageLine(QStringView line, QString &key, QString &text);

// The current text of the entry whose key matches (ignoring case), or "ERROR".
QString GetLangText(const QString &key);

// GetLangText for a key written in the code.
inline QString lang(const char *key)
{
    return GetLangText(QLatin1String(key));
}

// Position of the key in the table, or -1.
int langIndex(const QString &key);

} // namespace tervelle
