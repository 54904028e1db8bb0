#include "core/errors.h"
#include "mappack/packcheck.h"
#include "mappack/packplan.h"
#include "mappack/setupscript.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace tervelle;

namespace {

// What a refusal said, or empty when there was none.
QString refusal(const std::function<void()> &work)
{
    try {
        work();
    } catch (const UserError &e) {
        return e.message();
    }
    return {};
}

class PackCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
        model.AddMap();
        info = model.AddDirElement(model.root(FilesRoot), QStringLiteral("info"));
        page = model.AddFileElement(info, QStringLiteral("about.htm"), InfoPageFile, QString());
        relinkFound(QStringLiteral("/p/about.htm"));
    }

    // Points the page at `path` as if a file lay there: no such file can be made for most.
    void relinkFound(const QString &path)
    {
        sourcesFound = true;
        model.RelinkNode(page, path);
        sourcesFound = false;
        ASSERT_EQ(page->Info().Kind, FileFoundKind);
    }

    // No plan is made, so neither the map list nor the script can be written: the writers'
    // plan refuses it, and a build's review lists it among its errors.
    void expectAllRefuse(const QString &expected, const char *field)
    {
        const QString appDir = app.path() + QLatin1Char('/');
        const QString planned = refusal([&] { planPack(model, appDir); });
        EXPECT_TRUE(planned.contains(expected)) << field << ": " << planned.toStdString();
        const PlannedBuild build = planBuild(model, appDir);
        EXPECT_FALSE(build.plan) << field;
        EXPECT_TRUE(std::any_of(build.refusal.findings.begin(), build.refusal.findings.end(), [&](const Finding &f) {
            return f.message.contains(expected);
        })) << field;
        EXPECT_TRUE(QDir(app.path()).isEmpty()) << field << ": something was written";
    }

    QTemporaryDir app;
    Settings settings;
    // Sources are found as on disk, or all while the flag is set.
    static inline bool sourcesFound = false;
    ProjectModel model{nullptr, [](const QString &path) { return sourcesFound || QFileInfo(path).isFile(); }};
    TreeNode *info = nullptr;
    TreeNode *page = nullptr;
};

TEST_F(PackCheck, ValidProjectPasses)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackLanguages = {QStringLiteral("russian"), QStringLiteral("german")};
        p.PackVersion.clear();
    });
    model.SetHeaderValue(0, QStringLiteral(".hidden"));
    EXPECT_NO_THROW(checkPackTexts(model));
    model.SetHeaderValue(0, QString()); // the map list file is then ".mpl"
    EXPECT_NO_THROW(checkPackTexts(model));
}

// A CR in any of these would start a script line of its own: a [Run] entry run at install
// time, or a preprocessor line run on the build machine.
TEST_F(PackCheck, LineBreakInAnyTextIsRefusedNamingTheValue)
{
    const QString hostile = QStringLiteral("x\r#expr Exec(\"cmd\")");
    const QString shown = QStringLiteral("x\\r#expr Exec(\"cmd\")");
    struct Case
    {
        const char *field;
        std::function<void()> set;
        QString expected;
    };
    const Case cases[] = {
        {"pack name", [&] { test::editPack(model, [&](PackProperties &p) { p.PackName = hostile; }); },
         QStringLiteral("The pack name \"") + shown},
        {"version", [&] { test::editPack(model, [&](PackProperties &p) { p.PackVersion = hostile; }); },
         QStringLiteral("The pack version \"") + shown},
        {"author", [&] { test::editPack(model, [&](PackProperties &p) { p.PackAuthor = hostile; }); },
         QStringLiteral("The pack author \"") + shown},
        {"web site", [&] { test::editPack(model, [&](PackProperties &p) { p.PackWebSite = hostile; }); },
         QStringLiteral("The pack web site \"") + shown},
        {"language",
         [&] {
             test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {QStringLiteral("german"), hostile}; });
         },
         QStringLiteral("The installer language \"") + shown},
        // A project file can hold what the editor refuses to type.
        {"header key",
         [&] {
             QVector<THeaderKeyInfo> info = model.headerInfo();
             info.append(THeaderKeyInfo{});
             model.SetHeader(model.headerRows() + QStringList{hostile + QLatin1Char('=')}, info);
         },
         QStringLiteral("The pack header row \"") + shown + QLatin1Char('=')},
        {"header value", [&] { test::putHeaderValue(model, 1, hostile); },
         QStringLiteral("The pack header row \"[htmlenglish]=") + shown},
        {"english title", [&] { test::putHeaderValue(model, 0, hostile); },
         QStringLiteral("The pack header row \"[english]=") + shown},
        {"property key",
         [&] { model.CommitMapProperties(0, model.map(0).Info.Properties + QStringList{hostile + QLatin1Char('=')}); },
         QStringLiteral("In map 1 (\"New map\"), the property \"") + shown + QLatin1Char('=')},
        {"property value", [&] { test::putMapPropertyValue(model, 0, 3, hostile); },
         QStringLiteral("the property \"[map]=") + shown},
        {"file node", [&] { model.RenameNode(page, hostile); },
         QStringLiteral("In Files\\info\\ of the files tree, the file \"") + shown},
        {"folder node", [&] { model.RenameNode(info, hostile); },
         QStringLiteral("In Files\\ of the files tree, the folder \"") + shown},
        {"map list node", [&] { model.RenameNode(model.MapListNode(), hostile); },
         QStringLiteral("In Files\\ of the files tree, the map list file \"") + shown},
        {"source path", [&] { relinkFound(QStringLiteral("/p/") + hostile); },
         QStringLiteral("the source path of the file \"about.htm\" \"/p/") + shown},
    };
    for (const Case &c : cases) {
        SetUp();
        c.set();
        expectAllRefuse(c.expected, c.field);
    }
}

TEST_F(PackCheck, EveryControlCharacterIsRefused)
{
    for (const char16_t c : {u'\n', u'\0', u'\t', u'\x1b', u'\x7f', u'\x9b'}) {
        test::editPack(
            model, [&](PackProperties &p) { p.PackAuthor = QStringLiteral("Bob") + QChar(c) + QStringLiteral("by"); });
        const QString message = refusal([&] { checkPackTexts(model); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("The pack author \"Bob\\"))) << int(c) << message.toStdString();
        EXPECT_FALSE(message.contains(QChar(c))) << int(c) << ": the message shows the character itself";
    }
}

// Names that would install, pack or delete outside their folder, or that Windows cannot hold.
TEST_F(PackCheck, NamesThatLeaveTheirFolderAreRefusedNamingTheNodeAndWhereItLies)
{
    for (const char *bad : {"..\\..\\x", "a\\b", "a/b", "C:x", "..", ".", "*", "a?", "x.", "x ", "a|b", "<x>", ""}) {
        const QString name = QString::fromLatin1(bad);
        SetUp();
        model.RenameNode(page, name);
        expectAllRefuse(QStringLiteral("In Files\\info\\ of the files tree, the file \"") + name + QLatin1Char('"'),
                        bad);

        SetUp();
        TreeNode *deep = model.AddDirElement(info, QStringLiteral("deep"));
        model.AddDirElement(deep, name);
        expectAllRefuse(
            QStringLiteral("In Files\\info\\deep\\ of the files tree, the folder \"") + name + QLatin1Char('"'), bad);

        SetUp();
        model.AddFileElement(model.root(MapsRoot), name, MapFile, QStringLiteral("/nowhere"));
        expectAllRefuse(QStringLiteral("In Maps\\ of the files tree, the file \"") + name + QLatin1Char('"'), bad);

        SetUp();
        model.RenameNode(model.MapListNode(), name);
        expectAllRefuse(QStringLiteral("In Files\\ of the files tree, the map list file \"") + name + QLatin1Char('"'),
                        bad);

        SetUp();
        test::editPack(model, [&](PackProperties &p) { p.PackName = name; });
        expectAllRefuse(QStringLiteral("The pack name \"") + name + QLatin1Char('"'), bad);
    }
}

// The compiler reads "Z:" + the path under Windows rules; a path it would read as another file
// (here "arena\..\..\secret.txt" would pack /p/secret.txt) is refused naming the node.
TEST_F(PackCheck, SourcePathsTheCompilerWouldReadAsOtherFilesAreRefused)
{
    for (const char *bad : {"/p/arena\\..\\..\\secret.txt", "/p/a*.htm", "/p/a?.htm", "/p/dir./a.htm", "/p/a.htm ",
                            "/p/nul.htm", "/p/x/../a.htm", "/p/./a.htm", "/p/a:b.htm", "/p/a<b>.htm", "p/a.htm"}) {
        SetUp();
        relinkFound(QString::fromLatin1(bad));
        const QString message =
            refusal([&] { MakeSetupScript(planPack(model, QStringLiteral("/app/")), QStringLiteral("/out/p.exe")); });
        EXPECT_TRUE(message.contains(
            QStringLiteral("In Files\\info\\ of the files tree, the source path of the file \"about.htm\" \"")
            + QString::fromLatin1(bad) + QLatin1Char('"')))
            << bad << ": " << message.toStdString();
    }
    for (const char *good : {"/p/a..b.htm", "/p/.hidden/ä {x} #1.htm", "//p//a.htm"}) {
        SetUp();
        relinkFound(QString::fromUtf8(good));
        EXPECT_EQ(refusal([&] { checkPackTexts(model); }), QString()) << good;
    }
}

// The installer's "on the Web" shortcut starts whatever the web site names.
TEST_F(PackCheck, WebSiteIsEmptyOrAWebAddress)
{
    for (const char *bad : {"\\\\host\\share\\x.exe", "C:\\x.exe", "file:///x.exe", "www.a.example", "httpx://a"}) {
        test::editPack(model, [&](PackProperties &p) { p.PackWebSite = QString::fromLatin1(bad); });
        const QString message = refusal([&] { checkPackTexts(model); });
        EXPECT_TRUE(
            message.contains(QStringLiteral("The pack web site \"%1\"").arg(model.packProperties().PackWebSite)))
            << bad;
    }
    for (const char *good : {"", "http://a.example/", "HTTPS://a.example/x?y", "Http://a"}) {
        test::editPack(model, [&](PackProperties &p) { p.PackWebSite = QString::fromLatin1(good); });
        EXPECT_EQ(refusal([&] { checkPackTexts(model); }), QString()) << good;
    }
}

TEST_F(PackCheck, EnglishTitleMustNameAFileInTheStagingFolder)
{
    for (const char *bad : {"..\\..\\x", "../x", "*", "a?b", "C:x", "pack\"1\""}) {
        model.SetHeaderValue(0, QString::fromLatin1(bad));
        expectAllRefuse(QStringLiteral("The map list file (the English title followed by \".mpl\") \"")
                            + QString::fromLatin1(bad) + QStringLiteral(".mpl\""),
                        bad);
    }
}

TEST_F(PackCheck, LanguagesNameFilesOfTheLanguagesFolder)
{
    for (const char *bad : {"ger\"man", "..\\..\\evil", "a/b", ""}) {
        test::editPack(model, [&](PackProperties &p) {
            p.PackLanguages = {QStringLiteral("russian"), QString::fromLatin1(bad)};
        });
        expectAllRefuse(QStringLiteral("The installer language \"") + QString::fromLatin1(bad) + QLatin1Char('"'), bad);
    }
}

TEST_F(PackCheck, OuterBlanksOfNameVersionAndAuthorAreRefused)
{
    struct Case
    {
        QString PackProperties::*field;
        const char *label;
        const char *value;
    };
    const Case cases[] = {
        {&PackProperties::PackName, "The pack name", " Island"},
        {&PackProperties::PackVersion, "The pack version", " 1.0"},
        {&PackProperties::PackVersion, "The pack version", "1.0 "},
        {&PackProperties::PackAuthor, "The pack author", " Bob"},
        {&PackProperties::PackAuthor, "The pack author", "Bob "},
    };
    for (const Case &c : cases) {
        SetUp();
        test::editPack(model, [&](PackProperties &p) { p.*c.field = QString::fromLatin1(c.value); });
        const QString message = refusal([&] { checkPackTexts(model); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("%1 \"%2\" begins or ends with a blank")
                                           .arg(QLatin1String(c.label), QLatin1String(c.value))))
            << message.toStdString();
    }
    // Blanks inside are kept, and so is a blank after the whole web site.
    SetUp();
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Island pack");
        p.PackAuthor = QStringLiteral("Bob and Al");
        p.PackWebSite = QStringLiteral("http://x.example/ ");
    });
    EXPECT_NO_THROW(checkPackTexts(model));
}

// A lone "{" or "}" would open or close a map in the middle of the launcher's list.
TEST_F(PackCheck, RowsWithoutKeyAndValueAreRefused)
{
    model.SetHeader({QStringLiteral("[english]=Pack"), QStringLiteral("[htmlenglish]="), QStringLiteral("{")},
                    {THeaderKeyInfo{TextKey}, THeaderKeyInfo{LinkKey}, THeaderKeyInfo{TextKey}});
    expectAllRefuse(QStringLiteral("The pack header row \"{\" holds no \"=\""), "header");

    SetUp();
    QStringList rows = model.map(0).Info.Properties;
    rows << QStringLiteral("}") << QStringLiteral("[after]=1");
    model.CommitMapProperties(0, rows);
    expectAllRefuse(QStringLiteral("In map 1 (\"New map\"), the property \"}\" holds no \"=\""), "property");
}

} // namespace
