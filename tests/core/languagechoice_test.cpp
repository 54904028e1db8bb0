#include "core/languagechoice.h"
#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// Beside the executable, then the setting, then the system's language, then English; a setting
// that names nothing installed is said and passed over, and no name leaves the folder.
TEST(LanguageChoice, BesideThenSettingThenSystemThenEnglish)
{
    QTemporaryDir app;
    QTemporaryDir installed;
    const QStringList folders{installed.path()};
    for (const char *language : {"de", "fr", "pt_BR"}) {
        ASSERT_TRUE(QDir(installed.path()).mkpath(language));
        test::writeBytes(installed.filePath(QStringLiteral("%1/Lang.lng").arg(language)), "");
    }
    const auto choice = [&](const QString &setting, const QString &languages) {
        return chooseLanguageFile(app.path(), setting, languages.split(' ', Qt::SkipEmptyParts), folders);
    };
    const auto file = [&](const char *language) {
        return installed.filePath(QStringLiteral("%1/Lang.lng").arg(language));
    };

    EXPECT_EQ(choice("", "de-AT de"), file("de"));
    EXPECT_EQ(choice("", "pt-BR"), file("pt_BR"));
    EXPECT_EQ(choice("", "it-IT fr-FR"), file("fr")) << "the user's second language";
    EXPECT_EQ(choice("", "en-GB de-DE"), QString()) << "English comes first";
    EXPECT_EQ(choice("", "C"), QString());
    EXPECT_EQ(choice("fr", "de-DE"), file("fr"));
    EXPECT_EQ(choice("en", "de-DE"), QString());
    {
        test::ProblemCapture problems;
        EXPECT_EQ(choice("../de", "fr-FR"), file("fr"));
        EXPECT_EQ(choice("xx", "it-IT"), QString());
        EXPECT_EQ(problems.problems().size(), 2);
    }

    test::writeBytes(QDir(app.path()).filePath("Lang.lng"), "");
    EXPECT_EQ(choice("fr", "de-DE"), QDir(app.path()).filePath("Lang.lng"));
}

} // namespace
