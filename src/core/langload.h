#pragma once

#include <QString>

#include <array>

namespace tervelle {

inline constexpr int LangCount = 115;

// The table: keys (with their brackets) and built-in English texts, in their fixed order.
extern const std::array<const char *, LangCount> LangKeys;
extern const std::array<const char *, LangCount> LangDefaults;
// The current texts: the defaults, overridden by the language file.
extern std::array<QString, LangCount> LangTexts;

// Builds the table and applies "Lang.lng" from the executable's folder when it exists.
void InitLanguage();
void InitLanguage(const QString &executableDir);

// Applies a language file to LangTexts. Returns false, with the system's reason, when the file
// exists but cannot be read; the texts are then left as they were.
bool LoadLanguageFile(const QString &path, QString *error = nullptr);

// Applies the bytes of a language file (in the code page) to LangTexts.
void applyLanguageBytes(QByteArrayView bytes);

// The current text of the entry whose key matches (ignoring case), or "ERROR".
QString GetLangText(const QString &key);

// Position of the key in the table, or -1.
int langIndex(const QString &key);

} // namespace tervelle
