#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

test::PackRun run(const QStringList &args)
{
    return test::runPack(args);
}

QString text(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

QString sourceFile(const char *path)
{
    return text(test::readBytes(QStringLiteral(TERVELLE_SOURCE_DIR "/") + QLatin1String(path)));
}

// The command names as the overview lists them, under "Commands:".
QStringList helpCommands()
{
    const QString help = text(run({"--help"}).out);
    const QString list = help.section(QStringLiteral("Commands:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    QStringList names;
    for (const QString &line : list.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        names << line.trimmed().section(QLatin1Char(' '), 0, 0);
    return names;
}

// The options a command's help lists, "--out", "--strict", ...
QStringList helpOptions(const QString &command)
{
    const QString help = text(run({"help", command}).out);
    QStringList options;
    const QRegularExpression option(QStringLiteral("^  (--[a-z-]+)"), QRegularExpression::MultilineOption);
    for (auto it = option.globalMatch(help); it.hasNext();)
        options << it.next().captured(1);
    return options;
}

TEST(CommandLine, HelpAndVersionAnswerOnStandardOutput)
{
    for (const QStringList &args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"}}) {
        const test::PackRun help = run(args);
        EXPECT_EQ(help.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(help.out.startsWith("usage: tervelle-pack COMMAND")) << help.out.constData();
        EXPECT_TRUE(help.out.contains("  lang-template  ")) << help.out.constData();
        EXPECT_TRUE(help.err.isEmpty()) << help.err.constData();
    }
    // A command's own help: its arguments, options and exit statuses, however it is asked for.
    for (const QStringList &args : {QStringList{"help", "check"}, QStringList{"check", "--help"}}) {
        const test::PackRun help = run(args);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("usage: tervelle-pack check PROJECT.mpr [--strict] [--json]\n"))
            << help.out.constData();
        EXPECT_TRUE(help.out.contains("\n  --json\n")) << help.out.constData();
        EXPECT_TRUE(help.out.contains("Exit status:\n  0  ")) << help.out.constData();
    }
    const test::PackRun version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^tervelle-pack \\d+\\.\\d+(\\.\\d+)?\n$"))
                    .match(text(version.out))
                    .hasMatch())
        << version.out.constData();
}

TEST(CommandLine, UnknownCommandOrOptionIsNamedThenTheUsageFollowsOnStandardError)
{
    struct Case
    {
        QStringList args;
        const char *firstLine;
        const char *usage;
    };
    const Case cases[] = {
        {{"frobnicate"}, "tervelle-pack: unknown command \"frobnicate\"", "usage: tervelle-pack COMMAND"},
        {{"--frobnicate"}, "tervelle-pack: unknown option \"--frobnicate\"", "usage: tervelle-pack COMMAND"},
        {{"help", "frobnicate"}, "tervelle-pack: unknown command \"frobnicate\"", "usage: tervelle-pack COMMAND"},
        {{"check", "pack.mpr", "--loose"},
         "tervelle-pack: unknown option \"--loose\"",
         "usage: tervelle-pack check PROJECT.mpr"},
        {{"info", "-x", "pack.mpr"}, "tervelle-pack: unknown option \"-x\"", "usage: tervelle-pack info PROJECT.mpr"},
    };
    for (const Case &c : cases) {
        const test::PackRun result = run(c.args);
        const QStringList lines = text(result.err).split(QLatin1Char('\n'));
        EXPECT_EQ(result.exitCode, 2) << c.firstLine;
        EXPECT_TRUE(result.out.isEmpty()) << c.firstLine;
        ASSERT_GE(lines.size(), 2) << result.err.constData();
        EXPECT_EQ(lines[0], QLatin1String(c.firstLine));
        EXPECT_TRUE(lines[1].startsWith(QLatin1String(c.usage))) << result.err.constData();
    }
}

// Without a display the window system cannot start: help and version must not need it.
TEST(CommandLine, EditorAnswersHelpAndVersionWithoutADisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const char *option : {"--help", "--version"}) {
        QProcess editor;
        editor.setProcessEnvironment(environment);
        editor.start(QStringLiteral(TERVELLE_BINARY_DIR "/tervelle"), {QLatin1String(option)});
        ASSERT_TRUE(editor.waitForFinished(30000)) << option;
        const QByteArray out = editor.readAllStandardOutput();
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(editor.exitCode(), 0) << option << editor.readAllStandardError().constData();
        EXPECT_TRUE(out.contains(option == QByteArrayView("--help") ? "[PROJECT.mpr]" : "tervelle "))
            << out.constData();
    }
}

// A command or option added to the program and forgotten in the manual page or the completion.
TEST(CommandLine, ManualPageAndCompletionKnowEveryCommandAndOption)
{
    const QString manual = sourceFile("doc/man/tervelle-pack.1.in");
    const QString completion = sourceFile("packaging/completion/tervelle-pack");
    const QStringList commands = helpCommands();
    ASSERT_GE(commands.size(), 9) << commands.join(' ').toStdString();

    // The headings of the manual's COMMANDS section, each a command's name and arguments.
    const QString section = manual.section(QStringLiteral(".SH COMMANDS\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
    QStringList documented;
    const QRegularExpression heading(QStringLiteral("^\\.TP\n\\.B[IR]? \"?([a-z0-9-]+)"),
                                     QRegularExpression::MultilineOption);
    for (auto it = heading.globalMatch(section); it.hasNext();)
        documented << it.next().captured(1);
    EXPECT_EQ(documented.join(' ').toStdString(), commands.join(' ').toStdString());

    const QString completed =
        completion.section(QStringLiteral("local commands=\""), 1).section(QLatin1Char('"'), 0, 0);
    EXPECT_EQ(completed.toStdString(), commands.join(' ').toStdString());

    for (const QString &command : commands) {
        for (const QString &option : helpOptions(command)) {
            QString roff = option;
            roff.replace(QLatin1Char('-'), QStringLiteral("\\-"));
            EXPECT_TRUE(manual.contains(QStringLiteral(".B ") + roff) || manual.contains(QStringLiteral(".BI ") + roff))
                << "the manual page has no entry for " << command.toStdString() << " " << option.toStdString();
            const QString options = completion.section(QStringLiteral("\n        %1) options=\"").arg(command), 1)
                                        .section(QLatin1Char('"'), 0, 0);
            EXPECT_TRUE(options.split(QLatin1Char(' ')).contains(option))
                << "the completion does not offer " << command.toStdString() << " " << option.toStdString();
        }
    }
}

TEST(CommandLine, CheckJsonHoldsEveryFindingWithItsPlaceAndTheCounts)
{
    test::resetLanguage();
    test::TempConfigHome config;
    QTemporaryDir work;
    QSettings(config.editorFile(), QSettings::IniFormat).setValue("AppDir", work.path());
    ProjectModel model;
    model.NewFile();
    model.AddMap();
    model.SetMapPropertyValue(0, 1, "gone.tga");
    model.SetMapPropertyValue(0, 3, "arena");
    const TreeNode *map = model.AddFileElement(model.root(MapsRoot), "arena.xan", MapFile, work.filePath("arena.xan"));
    const QString project = work.filePath("pack.mpr");
    SaveProjectFile(model, project);

    const test::PackRun result = run({"check", project, "--json"});
    EXPECT_EQ(result.exitCode, 1) << result.err.constData();
    QJsonParseError error{};
    const QJsonObject document = QJsonDocument::fromJson(result.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out.constData();

    const QJsonObject summary = document.value("summary").toObject();
    EXPECT_EQ(summary.value("errors").toInt(), 1);
    EXPECT_EQ(summary.value("warnings").toInt(), 1);
    EXPECT_EQ(summary.value("notes").toInt(), 1);

    const QJsonArray findings = document.value("findings").toArray();
    ASSERT_EQ(findings.size(), 3) << result.out.constData();
    const QJsonObject missing = findings[0].toObject();
    EXPECT_EQ(missing.value("severity").toString(), "error");
    EXPECT_EQ(missing.value("place").toString(), "node");
    EXPECT_TRUE(missing.value("message").toString().contains(work.filePath("arena.xan")));
    EXPECT_FALSE(missing.value("fix").toString().isEmpty());
    const QJsonObject node = missing.value("node").toObject();
    EXPECT_EQ(node.value("group").toString(), "{maps}");
    EXPECT_EQ(node.value("path").toArray(), QJsonArray{QStringLiteral("arena.xan")});
    EXPECT_EQ(node.value("index").toInt(), model.absoluteIndex(map));

    const QJsonObject image = findings[1].toObject();
    EXPECT_EQ(image.value("severity").toString(), "warning");
    EXPECT_EQ(image.value("place").toString(), "map");
    EXPECT_EQ(image.value("key").toString(), "[image]");
    EXPECT_EQ(image.value("map").toObject().value("index").toInt(), 0);
    EXPECT_EQ(image.value("where").toString(), "New map, [image]");

    EXPECT_EQ(findings[2].toObject().value("severity").toString(), "note");
    EXPECT_EQ(findings[2].toObject().value("place").toString(), "pack");
}

} // namespace
