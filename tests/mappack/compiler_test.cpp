#include "core/langload.h"
#include "core/textcodec.h"
#include "mappack/compiler.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace tervelle;

namespace {

using test::ConsoleLines;

// A stand-in compiler: a shell script at iscc/iscc.exe, started through /bin/sh as the launcher,
// for what the real compiler cannot be made to do on purpose (odd line ends, floods, exit codes).
class CompilerRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        settings.AppDir = dir.path() + QLatin1Char('/');
        settings.compilerLauncher = test::StandInLauncher;
    }

    void fakeCompiler(const QByteArray &shellScript) { test::writeStandIn(settings.AppDir, shellScript); }

    // Runs the compiler to its end with the event loop turning.
    CompileResult run(const QString &locale = {})
    {
        QSignalSpy finished(&compiler, &CompilerRun::finished);
        compiler.Compile(locale);
        if (finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(60000));
        }
        return finished.isEmpty() ? CompileResult::Error : finished.first().first().value<CompileResult>();
    }

    QTemporaryDir dir;
    Settings settings;
    ConsoleLines console;
    CompilerRun compiler{console, settings};
};

TEST_F(CompilerRunTest, SilentSuccessGivesStartAndDone)
{
    fakeCompiler("exit 0\n");
    EXPECT_EQ(run(), CompileResult::Success);
    EXPECT_EQ(console.lines, (QStringList{"Started building map pack", "Done"}));
}

TEST_F(CompilerRunTest, LinesEndOnlyAtCrLfAndTheLastPartialLineIsShown)
{
    fakeCompiler("printf 'one\\r\\ntwo\\nstill two\\rand more\\r\\n\\r\\nlast without end'\n");
    EXPECT_EQ(run(), CompileResult::Success);
    EXPECT_EQ(
        console.lines,
        (QStringList{"Started building map pack", "one", "two\nstill two\rand more", "", "last without end", "Done"}));
}

TEST_F(CompilerRunTest, LineEndSplitAcrossWritesStillEndsTheLine)
{
    fakeCompiler("printf 'half\\r'; sleep 0.2; printf '\\nnext\\r\\n'\n");
    run();
    EXPECT_EQ(console.lines, (QStringList{"Started building map pack", "half", "next", "Done"}));
}

TEST_F(CompilerRunTest, BothChannelsArriveInOrderAndNonZeroExitIsAnError)
{
    fakeCompiler(
        "printf 'Compiling\\r\\n'; printf 'Error on line 3\\r\\n' >&2; printf 'Compile aborted.\\r\\n' >&2; exit 2\n");
    EXPECT_EQ(run(), CompileResult::Error);
    EXPECT_EQ(console.lines,
              (QStringList{"Started building map pack", "Compiling", "Error on line 3", "Compile aborted.",
                           "Error occured!"}));
}

TEST_F(CompilerRunTest, CompilerRunsOnTheScriptInItsFolderUnderTheGivenLocale)
{
    fakeCompiler("printf '%s|' \"$@\"; printf '%s|%s' \"$(pwd)\" \"$LC_ALL\"\n");
    run(QStringLiteral("C.UTF-8"));
    ASSERT_EQ(console.lines.size(), 3);
    EXPECT_EQ(console.lines[1], "setup.iss|" + QDir(dir.filePath("iscc")).canonicalPath() + "|C.UTF-8");
}

TEST_F(CompilerRunTest, MissingCompilerOrLauncherGivesOnlyTheFailLine)
{
    EXPECT_EQ(run(), CompileResult::FailedToLaunch);
    EXPECT_EQ(console.lines, QStringList{"Failed to launch InnoSetup compiler!"});

    fakeCompiler("exit 0\n");
    settings.compilerLauncher = dir.filePath("no-such-launcher");
    console.lines.clear();
    EXPECT_EQ(run(), CompileResult::FailedToLaunch);
    EXPECT_EQ(console.lines, QStringList{"Failed to launch InnoSetup compiler!"});
}

TEST_F(CompilerRunTest, CompileReturnsAtOnceAndMessagesAreLookedUpWhenWritten)
{
    // The compiler goes on only once the test says so: Compile must have returned by then.
    const QString go = dir.filePath("go");
    fakeCompiler("while [ ! -e '" + QFile::encodeName(go) + "' ]; do sleep 0.05; done\n");
    QSignalSpy finished(&compiler, &CompilerRun::finished);
    compiler.Compile({});
    EXPECT_TRUE(compiler.isRunning());
    EXPECT_TRUE(finished.isEmpty());
    // A language file applied during the run decides the result line.
    const ScopedLangText success(LangKey::message_Compile_Success, "Fertig");
    test::writeBytes(go, "");
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(console.lines.last(), "Fertig");
}

TEST_F(CompilerRunTest, NextRunMayStartFromTheFinishedSignal)
{
    // The editor may start the next build from the finished handler, while the first run's
    // process is still inside its own signal.
    fakeCompiler("printf 'run\\r\\n'\n");
    int runs = 0;
    QObject::connect(&compiler, &CompilerRun::finished, &compiler, [&] {
        if (++runs == 1)
            compiler.Compile({});
    });
    QSignalSpy finished(&compiler, &CompilerRun::finished);
    compiler.Compile({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.size() == 2; }, 60000));
    EXPECT_EQ(console.lines,
              (QStringList{"Started building map pack", "run", "Done", "Started building map pack", "run", "Done"}));
}

TEST_F(CompilerRunTest, OutputIsUtf8WithCodePageFallback)
{
    fakeCompiler("printf 'caf\\303\\251 \\351t\\351 \\342\\202\\254\\r\\n'\n");
    setTextCodec("windows-1252");
    run();
    ASSERT_EQ(console.lines.size(), 3);
    EXPECT_EQ(console.lines[1], QString::fromUtf8("café été €"));
}

TEST_F(CompilerRunTest, FloodOfLinesArrivesWhole)
{
    fakeCompiler("i=0; while [ $i -lt 200000 ]; do printf 'line %d\\r\\n' $i; i=$((i+1)); done | cat\n");
    run();
    ASSERT_EQ(console.lines.size(), 200002);
    EXPECT_EQ(console.lines[1], "line 0");
    EXPECT_EQ(console.lines[200000], "line 199999");
}

} // namespace
