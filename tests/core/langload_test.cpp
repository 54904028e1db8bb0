#include "core/langload.h"
#include "core/textcodec.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace tervelle;
using tervelle::test::writeBytes;

namespace {

class LangFile : public ::testing::Test
{
protected:
    void SetUp() override { test::resetLanguage(); }
    void TearDown() override { test::resetLanguage(); }

    // Applies a language file with the given bytes, as start-up does from the program folder.
    void load(const QByteArray &bytes)
    {
        writeBytes(m_dir.filePath(QStringLiteral("Lang.lng")), bytes);
        InitLanguage(m_dir.path());
    }

    QTemporaryDir m_dir;
};

TEST(LangTable, HoldsEveryEntryInOrderWithBuiltInTexts)
{
    test::resetLanguage();
    EXPECT_EQ(GetLangText("[frmEditor.Caption]"), "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck");
    EXPECT_EQ(langIndex("[frmEditor.Caption]"), 0);
    EXPECT_EQ(langIndex("[message.ReplaceFile.Caption]"), 26);
    EXPECT_EQ(GetLangText("[message.ReplaceFile.Caption]"), "File /f already exists.\r\nDo you want to replace it?");
    EXPECT_EQ(langIndex("[lstFiles.RootNames.Files]"), 59);
    EXPECT_EQ(langIndex("[mnuFile.Help.Visible]"), 114);
    EXPECT_EQ(GetLangText("[mnuFile.Help.Visible]"), "0");
    EXPECT_EQ(GetLangText("[message.Compile.Error]"), "Error occured!");

    // A key given twice would leave its second entry unreachable.
    QSet<QString> keys;
    for (const char *key : LangKeys)
        keys.insert(QString::fromLatin1(key).toLower());
    EXPECT_EQ(keys.size(), LangCount);
}

TEST(LangTable, UnknownKeyGivesError)
{
    EXPECT_EQ(GetLangText("[no.such.key]"), "ERROR");
    EXPECT_EQ(GetLangText(""), "ERROR");
    EXPECT_EQ(GetLangText("mnuFile.Caption"), "ERROR");
}

TEST_F(LangFile, KeysMatchIgnoringCaseAndNothingIsTrimmed)
{
    load("[MNUFILE.CAPTION]=Datei\r\n"
         " [mnuEdit.Caption]=Bearbeiten\r\n"
         "[lblMaps.Caption] = Karten\r\n"
         "[lblFiles.Caption]= Dateien \r\n");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "Datei");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "Edit");
    EXPECT_EQ(GetLangText("[lblMaps.Caption]"), "Maps");
    EXPECT_EQ(GetLangText("[lblFiles.Caption]"), " Dateien ");
}

TEST_F(LangFile, EscapesGatherTheirCharactersAndDropTheRest)
{
    load("[message.HelpError.Promt]=A/=B/nC//D/xE/\r\n"
         "[message.NewKey.Exist]=Key //k exists\n"
         "/[lblMaps.Caption/]=escaped /N brackets\n");
    EXPECT_EQ(GetLangText("[message.HelpError.Promt]"), "A=B\r\nC/DE");
    EXPECT_EQ(GetLangText("[message.NewKey.Exist]"), "Key /k exists");
    // Escapes apply to keys too: "/[" and "/]" drop both characters, so the key is "lblMaps.Caption".
    EXPECT_EQ(GetLangText("[lblMaps.Caption]"), "Maps");
}

TEST_F(LangFile, SeveralEqualSignsMakeTheLastKeyCount)
{
    load("[mnuFile.Caption]=[mnuEdit.Caption]=Value\r\n"
         "[lblPreview.Caption]/=x=y\r\n");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "File");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "Value");
    EXPECT_EQ(GetLangText("[lblPreview.Caption]"), "Preview");
}

TEST_F(LangFile, LaterLinesWinAndEmptyValuesCount)
{
    load("[mnuFile.Caption]=One\r\n[mnuFile.Caption]=Two\r\n[mnuEdit.Caption]=");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "Two");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "");
}

TEST_F(LangFile, LinesWithoutEqualSignChangeNothing)
{
    load("a note before any key\r\n"
         "[mnuFile.Caption]=Datei\r\n"
         "\r\n"
         "; a note after a key\r\n"
         "[mnuEdit.Caption]=Bearbeiten\n"
         "only /= escaped\n");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "Datei");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "Bearbeiten");
}

TEST_F(LangFile, LinesEndAtLfOrCrLfAndLoneCrStays)
{
    load("[mnuFile.Caption]=a\rb\n[mnuEdit.Caption]=c\r\r\n[lblMaps.Caption]=last");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "a\rb");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "c\r");
    EXPECT_EQ(GetLangText("[lblMaps.Caption]"), "last");
}

TEST_F(LangFile, IsDecodedInTheCodePage)
{
    load("[mnuFile.Caption]=Men\xFC \x80\r\n");
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), QString::fromUtf8("Menü €"));
}

TEST_F(LangFile, FileInTheWorkingFolderIsNotRead)
{
    QTemporaryDir working;
    writeBytes(working.filePath(QStringLiteral("Lang.lng")), "[mnuFile.Caption]=Datei\r\n");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(working.path());
    InitLanguage(m_dir.path());
    QDir::setCurrent(previous);
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "File");
}

TEST_F(LangFile, UnreadableFileLeavesBuiltInTexts)
{
    // A folder named Lang.lng exists but cannot be read as a file.
    QDir(m_dir.path()).mkdir(QStringLiteral("Lang.lng"));
    const ScopedLangText stale(LangKey::frmEditor_Caption, QStringLiteral("stale"));
    testing::internal::CaptureStderr();
    InitLanguage(m_dir.path());
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetLangText("[frmEditor.Caption]"), "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck");
    EXPECT_NE(warning.find("Lang.lng"), std::string::npos);
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
}

TEST_F(LangFile, UndecodableFileLeavesBuiltInTextsAndNamesTheLine)
{
    ASSERT_TRUE(setTextCodec(QStringLiteral("utf-8")));
    testing::internal::CaptureStderr();
    load("[mnuFile.Caption]=Datei\r\n[mnuEdit.Caption]=Bearbeiten \xFF\r\n");
    const std::string warning = testing::internal::GetCapturedStderr();
    setTextCodec(QString::fromLatin1(DefaultCodePage));
    // All or nothing: the good first line is not applied either.
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "File");
    EXPECT_EQ(GetLangText("[mnuEdit.Caption]"), "Edit");
    EXPECT_NE(warning.find("Lang.lng cannot be read: line 2 holds bytes"), std::string::npos) << warning;
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1);
}

TEST_F(LangFile, FifoIsNotWaitedFor)
{
    // Start-up would hang before any window exists.
    const QString path = m_dir.filePath(QStringLiteral("Lang.lng"));
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    testing::internal::CaptureStderr();
    InitLanguage(m_dir.path());
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "File");
    EXPECT_NE(warning.find("it is a FIFO"), std::string::npos) << warning;
}

TEST_F(LangFile, OversizeFileIsNotRead)
{
    QFile sparse(m_dir.filePath(QStringLiteral("Lang.lng")));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.write("[mnuFile.Caption]=Datei\r\n") > 0);
    ASSERT_TRUE(sparse.resize(MaxLanguageFileSize + 1));
    sparse.close();
    testing::internal::CaptureStderr();
    InitLanguage(m_dir.path());
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "File");
    EXPECT_NE(warning.find("larger than 16 MB"), std::string::npos) << warning;
}

} // namespace

namespace {

// A group caption becomes a text of every saved project and the build messages are printed on
// terminals: texts there that a typed text could not be keep their built-in ones, said by key.
TEST_F(LangFile, TextsThatBecomeProjectOrConsoleTextsPassTheTypedTextChecks)
{
    test::ProblemCapture problems;
    load(QByteArray("[mnuFile.Caption]=Datei\r\n[lstFiles.RootNames.Maps]=Kar\0ten\r\n"
                    "[lstFiles.RootNames.Scripts]=Lua/nSkripte\r\n[message.Compile.Success]=Fertig\x1b[2J\r\n"
                    "[lstFiles.RootNames.Files]=Dateien\r\n",
                    177));
    EXPECT_EQ(GetLangText("[mnuFile.Caption]"), "Datei");
    EXPECT_EQ(GetLangText("[lstFiles.RootNames.Files]"), "Dateien");
    EXPECT_EQ(GetLangText("[lstFiles.RootNames.Maps]"), "Maps");
    EXPECT_EQ(GetLangText("[lstFiles.RootNames.Scripts]"), "Lua scripts");
    EXPECT_EQ(GetLangText("[message.Compile.Success]"), "Done");
    const QString said = problems.problems().join('\n');
    EXPECT_EQ(problems.problems().size(), 3) << said.toStdString();
    for (const char *key : {"[lstFiles.RootNames.Maps]", "[lstFiles.RootNames.Scripts]", "[message.Compile.Success]"})
        EXPECT_TRUE(said.contains(QLatin1String(key))) << key;
    EXPECT_FALSE(said.contains(QChar(0x1b)));
}

} // namespace

namespace {

// The source files of the program, read as text.
QStringList programSources()
{
    QStringList texts;
    QDirIterator it(QStringLiteral(TERVELLE_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            texts << QString::fromUtf8(file.readAll());
    }
    return texts;
}

// The end of the call whose "(" is at `open`, skipping string and character literals.
qsizetype callEnd(const QString &text, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (text[i] == QLatin1Char('\\'))
                    ++i;
            }
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') && --depth == 0) {
            return i;
        }
    }
    return text.size();
}

// The placeholder letters a call's fill list gives ({'f', ...}, {'k', ...}), leaving out those
// of calls nested in its values.
QString filledLetters(QStringView fills)
{
    static const QRegularExpression letter(QStringLiteral("^\\{\\s*'([a-z])'\\s*,"));
    QString letters;
    int depth = 0;
    for (qsizetype i = 0; i < fills.size(); ++i) {
        const QChar c = fills[i];
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char('{') && depth == 0) {
            const QRegularExpressionMatch match = letter.match(fills.mid(i).toString().left(12));
            if (match.hasMatch() && !letters.contains(match.capturedView(1)))
                letters += match.capturedView(1);
        }
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

QString sortedLetters(QString letters)
{
    std::sort(letters.begin(), letters.end());
    return letters;
}

// Every entry is used by the program, every key the program names is in the table, and every
// text is filled with exactly the placeholders its English text holds.
TEST(LangTable, EveryKeyIsUsedPresentAndFilledAsItsEnglishTextSays)
{
    // Entries filled by a helper that is given the entry: the letters that helper gives. The
    // findings of the pack review are filled with their file and key.
    QHash<QString, QString> filledByHelpers = {
        {"frmEditor_ProjectCaption", "fp"},      // the window caption
        {"frmEditor_ProjectFullCaption", "fp"},  // the window caption
        {"mnuEdit_Undo_Caption", "c"},           // the history's captions
        {"mnuEdit_Redo_Caption", "c"},           // the history's captions
        {"message_NewKey_Exist", "k"},           // the key rules
        {"message_NewHeaderKey_Exist", "k"},     // the key rules
        {"message_NewHeaderLinkKey_Exist", "k"}, // the key rules
        {"dlgTexturesDir_Title", "d"},           // "(Ex. /data/Themes/)": shown as it stands
    };
    for (const char *finding :
         {"MissingSource", "NotRegularFile", "UnreadableSource", "RefusedText", "MapFileEmpty", "MapFileUnknown",
          "PickListValue", "HeaderLinkMissing", "NotInstalled", "SameInstallPlace", "UnreadableLevelIcon",
          "EmptySource", "PublishedSystemFile", "PublishedSystemFileReached"})
        filledByHelpers.insert(QStringLiteral("message_Check_") + QLatin1String(finding), QStringLiteral("fk"));
    const QStringList sources = programSources();
    ASSERT_GT(sources.size(), 100);
    const QString all = sources.join(QLatin1Char('\n'));

    // Keys looked up by their text must be in the table.
    static const QRegularExpression byText(
        QStringLiteral(R"re(GetLangText\(\s*(?:QStringLiteral\(|QLatin1String\()?"(\[[^"]*\])")re"));
    for (auto it = byText.globalMatch(all); it.hasNext();) {
        const QString key = it.next().captured(1);
        EXPECT_GE(langIndex(key), 0) << "looked up but not in the table: " << key.toStdString();
    }

    QSet<QString> used;
    static const QRegularExpression named(QStringLiteral(R"(LangKey::(\w+))"));
    for (auto it = named.globalMatch(all); it.hasNext();)
        used.insert(it.next().captured(1));

    // The letters each call of lang(LangKey::..., {...}) gives, by the entries it may show.
    QHash<QString, QSet<QString>> filled;
    static const QRegularExpression call(QStringLiteral(R"(\blang\()"));
    for (const QString &text : sources) {
        for (auto it = call.globalMatch(text); it.hasNext();) {
            const qsizetype open = it.next().capturedEnd() - 1;
            const QStringView args = QStringView(text).mid(open + 1, callEnd(text, open) - open - 1);
            qsizetype comma = -1;
            for (qsizetype i = 0, depth = 0; i < args.size() && comma < 0; ++i) {
                if (args[i] == QLatin1Char('(') || args[i] == QLatin1Char('{'))
                    ++depth;
                else if (args[i] == QLatin1Char(')') || args[i] == QLatin1Char('}'))
                    --depth;
                else if (args[i] == QLatin1Char(',') && depth == 0)
                    comma = i;
            }
            const QString keys = (comma < 0 ? args : args.left(comma)).toString();
            const QString letters = comma < 0 ? QString() : filledLetters(args.mid(comma + 1));
            for (auto names = named.globalMatch(keys); names.hasNext();)
                filled[names.next().captured(1)].insert(letters);
        }
    }

    for (int i = 0; i < LangCount; ++i) {
        const QString key = QString::fromLatin1(LangKeys[i]);
        // The identifier the code names the entry by.
        const QString id = key.mid(1, key.size() - 2).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString letters = sortedLetters(placeholderLetters(QString::fromLatin1(LangDefaults[i])));
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(used.contains(id)) << "no code shows it";
        if (filledByHelpers.contains(id)) {
            for (const QChar letter : letters)
                EXPECT_TRUE(filledByHelpers[id].contains(letter)) << "its helper does not fill /" << letter.toLatin1();
        } else {
            for (const QString &given : filled.value(id))
                EXPECT_EQ(given, letters) << "shown with other placeholders than its English text holds";
            EXPECT_TRUE(letters.isEmpty() || filled.contains(id)) << "never shown with its placeholders";
        }
    }
}

} // namespace
