#include "core/errors.h"
#include "core/namerule.h"

#include <gtest/gtest.h>

using namespace tervelle;

TEST(NameRule, RefusesNamesThatLeaveTheirFolderOrThatWindowsAlters)
{
    for (const QString &name : {QString(),
                                QStringLiteral("."),
                                QStringLiteral(".."),
                                QStringLiteral("..\\..\\x"),
                                QStringLiteral("a\\b"),
                                QStringLiteral("a/b"),
                                QStringLiteral("C:x"),
                                QStringLiteral("a*"),
                                QStringLiteral("a?"),
                                QStringLiteral("\"a\""),
                                QStringLiteral("<a>"),
                                QStringLiteral("a|b"),
                                QStringLiteral("map "),
                                QStringLiteral("map."),
                                QStringLiteral("a\rb"),
                                QStringLiteral("a\x1b[2J"),
                                QString(QChar(0)) + QStringLiteral("a"),
                                QString(QChar(0x85)),
                                QStringLiteral("con"),
                                QStringLiteral("NUL.xan"),
                                QStringLiteral("com1.tga"),
                                QStringLiteral("Lpt9"),
                                QStringLiteral("COM0"),
                                QStringLiteral("lpt0.xan"),
                                QStringLiteral("COM\u00B9"),
                                QStringLiteral("com\u00B2.tga"),
                                QStringLiteral("LPT\u00B3"),
                                QStringLiteral("CONIN$"),
                                QStringLiteral("conout$.txt"),
                                QStringLiteral("Clock$"),
                                QString(256, QLatin1Char('n'))}) {
        EXPECT_FALSE(isWindowsName(name)) << name.toStdString();
        EXPECT_THROW(requireWindowsName(QStringLiteral("The folder"), name), UserError);
    }
    for (const QString &name :
         {QStringLiteral("map.xan"), QStringLiteral(".hidden"), QStringLiteral(" lead"), QStringLiteral("a..b"),
          QStringLiteral("Ünïcode ключ"), QStringLiteral("{#x}"), QStringLiteral("console.lua"),
          QStringLiteral("com10"), QStringLiteral("nul_map.xan"), QStringLiteral("COM\u2074"), QStringLiteral("clock"),
          QString(251, QLatin1Char('n')) + QStringLiteral(".mpl")}) {
        EXPECT_TRUE(isWindowsName(name)) << name.toStdString();
        EXPECT_NO_THROW(requireWindowsName(QStringLiteral("The folder"), name));
    }
}

TEST(NameRule, MessagesNameTheValueWithItsControlCharactersVisible)
{
    try {
        requireNoControlCharacters(QStringLiteral("The pack version"), QStringLiteral("1.0\r#expr Exec(\"x\")\x1b"));
        FAIL() << "a carriage return passed";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("The pack version \"1.0\\r#expr Exec(\"x\")\\x1b\"")))
            << e.message().toStdString();
        EXPECT_FALSE(e.message().contains(QChar(u'\r')));
    }
    try {
        requireWindowsName(QStringLiteral("The file node"), QStringLiteral("..\\evil.dll"));
        FAIL() << "a backslash passed";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"..\\evil.dll\""))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"\\\""))) << e.message().toStdString();
    }
    EXPECT_NO_THROW(requireNoControlCharacters(QStringLiteral("The author"), QStringLiteral("Ann \"The\" Maker")));
}

TEST(NameRule, EscapesEveryControlCharacterAndNothingElse)
{
    EXPECT_EQ(escapeControlCharacters(QStringLiteral("plain \\ text")), QStringLiteral("plain \\ text"));
    EXPECT_EQ(escapeControlCharacters(QStringLiteral("a\r\n\tb")), QStringLiteral("a\\r\\n\\tb"));
    EXPECT_EQ(escapeControlCharacters(QString(QChar(0)) + QChar(0x7F) + QChar(0x9B)), QStringLiteral("\\0\\x7f\\x9b"));
}
