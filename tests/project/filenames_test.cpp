#include "project/filenames.h"
#include "project/keyvalue.h"

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// The two rules side by side on the same names. File names follow Windows, which upper-cases
// each UTF-16 unit one to one (QChar::toUpper); keys follow Unicode simple case folding.
TEST(NameRules, FileNamesCompareAsWindowsAndKeysAsTheLauncher)
{
    struct Row
    {
        const char *a;
        const char *b;
        bool sameFile;
        bool sameKey;
    };
    const Row rows[] = {
        {"readme.txt", "README.TXT", true, true},
        {"Ä.txt", "ä.txt", true, true},      // one file on the player's disk
        {"straße", "STRASSE", false, false}, // no "ß" to "SS" in either rule
        {"ß", "ẞ", false, true},             // Windows keeps both; folding takes "ẞ" for "ß"
        {"ı", "I", true, false},             // dotless i upper-cases to I
        {"i", "ı", true, false},             //   and so is one name with i
        {"i", "İ", false, false},            // dotted capital I stays itself
        {"σ", "ς", true, true},              // both sigmas are Σ
        {"Σ", "ς", true, true},              //
        {"\u212A", "k", false, true},        // the Kelvin sign is no K to Windows
        {"ǅ", "ǆ", true, true},              // title case and lower case are Ǆ
        {"ﬀ", "FF", false, false},           // ligatures stay whole
        {"a", "a ", false, false},
    };
    for (const Row &row : rows) {
        const QString a = QString::fromUtf8(row.a);
        const QString b = QString::fromUtf8(row.b);
        EXPECT_EQ(sameFileName(a, b), row.sameFile) << row.a << " / " << row.b;
        EXPECT_EQ(fileNameKey(a) == fileNameKey(b), row.sameFile) << row.a << " / " << row.b;
        if (row.sameFile) {
            EXPECT_EQ(fileNameHash(a), fileNameHash(b)) << row.a << " / " << row.b;
        }
        EXPECT_EQ(SameKey(a, b), row.sameKey) << row.a << " / " << row.b;
        EXPECT_EQ(keyFolded(a) == keyFolded(b), row.sameKey) << row.a << " / " << row.b;
    }
}

TEST(NameRules, MapListFileIsTheTitleAndMpl)
{
    EXPECT_EQ(mapListFileName(QStringLiteral("Tervelle pack")), "Tervelle pack.mpl");
    EXPECT_EQ(mapListFileName(QString()), ".mpl");
}

} // namespace
