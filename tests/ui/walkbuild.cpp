#include "walkbuild.h"

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "mappack/buildsession.h"
#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "mappack/packreview.h"
#include "mappack/setupscript.h"
#include "project/filenames.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/frmeditor.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

namespace tervelle::test {

namespace {

// Reads the script in its working folder as the compiler does: every file a Source line names
// must be there, and the installer goes where OutputDir and OutputBaseFilename say (paths in the
// compiler's form, texts in UTF-8 after the byte-order mark). Then it does what the walk wrote
// into MODE; TOKEN holds the bytes of the installer to write.
const char StandIn[] =
    R"sh(unix() { case $1 in Z:*) printf '%s' "${1#Z:}" | tr '\\' '/' ;; *) printf '%s' "$1" ;; esac; }
script=$(sed '1s/^\xEF\xBB\xBF//' setup.iss | tr -d '\r')
dir=$(unix "$(printf '%s\n' "$script" | sed -n 's/^OutputDir=//p')")
base=$(printf '%s\n' "$script" | sed -n 's/^OutputBaseFilename=//p')
printf 'Compiling setup script\r\n'
printf '%s\n' "$script" | sed -n 's/^Source: "\([^"]*\)".*/\1/p' | while IFS= read -r source; do
  [ -f "$(unix "$source")" ] || { printf 'Error: Source file "%s" does not exist.\r\n' "$source"; exit 2; }
done || exit 2
mode=$(cat 'MODE')
if [ "$mode" = error ]; then printf 'Error on line 12: unknown directive\r\n'; exit 2; fi
mkdir -p "$dir" || exit 2
printf 'Writing %s.exe\r\n' "$base"
if [ "$mode" = half ]; then
  printf 'part' > "$dir/$base.e32.tmp"
  printf 'half an installer' > "$dir/$base.exe"
  printf 'Error: the disk is full\r\n'
  exit 2
fi
cat 'TOKEN' > "$dir/$base.exe" || exit 2
printf 'Successful compile'
)sh";

const QStringList InstallerNames = {QStringLiteral("pack.exe"), QStringLiteral("Arctic maps.exe"),
                                    QStringLiteral("extra.v2.exe")};

// The file the compiler writes for a chosen path: the name's extension replaced by ".exe".
QString installerFor(const QString &chosen)
{
    const QFileInfo info(chosen);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return info.absolutePath() + QLatin1Char('/') + (dot < 0 ? name : name.left(dot)) + QStringLiteral(".exe");
}

// Whether the build refuses the project is the core's check, tested on its own; the command
// must act on its answer: show it, and write and run nothing.
QString refusalOf(const QString &appDir, const QString &installer, const ProjectModel &project)
{
    try {
        MakeSetupScript(planPack(project, appDir), installer);
        MapListBytes(planPack(project, QString()));
    } catch (const UserError &e) {
        return e.message();
    }
    return {};
}

QStringList messagesFrom(const ScriptedDialogs &dialogs, qsizetype from)
{
    QStringList shown;
    for (qsizetype i = from; i < dialogs.asked.size(); ++i) {
        if (dialogs.asked[i].kind == QLatin1String("message"))
            shown.append(dialogs.asked[i].text);
    }
    return shown;
}

} // namespace

const char *BuildWalk::modeOf(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Installer: return "installer";
    case Outcome::Error: return "error";
    case Outcome::HalfInstaller: return "half";
    }
    return "";
}

BuildWalk::BuildWalk(WalkRandom &random, ScriptedDialogs &dialogs, QStringList &problems, WizardWalk &wizard)
    : m_random(random), m_dialogs(dialogs), m_problems(problems), m_wizard(wizard)
{}

void BuildWalk::setUp(const QString &work, Settings &settings)
{
    m_settings = &settings;
    m_work = work + QLatin1Char('/');
    m_settings->AppDir = m_work + QStringLiteral("app/");
    m_settings->compilerLauncher = StandInLauncher;
    makeCompilerFolder(m_settings->AppDir);
    writeSetupLanguages(m_settings->AppDir, WalkLanguages);
    QByteArray script(StandIn);
    script.replace("MODE", QFile::encodeName(m_work + QStringLiteral("stand-in/mode")));
    script.replace("TOKEN", QFile::encodeName(m_work + QStringLiteral("stand-in/token")));
    QDir().mkpath(m_work + QStringLiteral("stand-in"));
    writeStandIn(m_settings->AppDir, script);
    // An earlier installer, and a file of the compiler's temporary kind that is not the build's.
    QDir().mkpath(m_work + QStringLiteral("packs"));
    writeBytes(m_work + QStringLiteral("packs/pack.exe"), "earlier installer");
    writeBytes(m_work + QStringLiteral("packs/notes.tmp"), "not the compiler's");
}

void BuildWalk::expect(bool ok, const QString &what)
{
    if (!ok)
        m_problems.append(QStringLiteral("save map pack: ") + what);
}

QMap<QString, QByteArray> BuildWalk::filesUnder(const QString &folder) const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(m_work.size()), readBytes(path));
    }
    return files;
}

QList<bool> BuildWalk::actionsEnabled(const TfrmEditor &editor) const
{
    QList<bool> enabled;
    for (const QAction *action : editor.actions()) {
        // The wizard's Finish before a build is a step of the history: Undo may come on.
        if (action->objectName() == QLatin1String("mnuEditUndo")
            || action->objectName() == QLatin1String("mnuEditRedo"))
            continue;
        enabled.append(action->isEnabled());
    }
    return enabled;
}

BuildWalk::Before BuildWalk::snapshot(const TfrmEditor &editor) const
{
    Before before;
    before.outputs = filesUnder(m_work + QStringLiteral("packs"));
    before.outputs.insert(filesUnder(m_work + QStringLiteral("nowhere")));
    before.staging = filesUnder(StagingFolder(m_settings->AppDir));
    before.script = readBytes(setupScriptPath(m_settings->AppDir));
    before.consoleLines = test::panelOf<ConsolePanel>(editor)->lines().size();
    before.asked = m_dialogs.asked.size();
    before.actionsEnabled = actionsEnabled(editor);
    return before;
}

QString BuildWalk::run(TfrmEditor &editor, QAction *command)
{
    m_dialogs.saveAnswers.clear();
    m_lastRefusal.clear();
    std::optional<QString> answer;
    const quint32 where = m_random.next(100);
    if (where >= 10)
        answer = m_work
            + (where < 20 ? QStringLiteral("nowhere/pack.exe")
                          : QStringLiteral("packs/") + m_random.pick(InstallerNames));
    m_dialogs.saveAnswers.enqueue(answer);
    const quint32 roll = m_random.next(100);
    const Outcome outcome = roll < 60 ? Outcome::Installer : roll < 80 ? Outcome::Error : Outcome::HalfInstaller;
    const QByteArray token = QStringLiteral("installer %1\r\n").arg(++m_builds).toLatin1();
    writeBytes(m_work + QStringLiteral("stand-in/mode"), modeOf(outcome));
    writeBytes(m_work + QStringLiteral("stand-in/token"), token);

    const Before before = snapshot(editor);
    ProblemCapture reported;
    QStringList done;
    const bool wizardFirst = !editor.project().packProperties().PackPropertiesSet;
    if (wizardFirst)
        done.append(m_wizard.run(editor.project(), [command] { command->trigger(); }));
    else
        command->trigger();

    qsizetype saveAt = -1;
    for (qsizetype i = before.asked; i < m_dialogs.asked.size(); ++i) {
        if (m_dialogs.asked[i].kind == QLatin1String("save"))
            saveAt = i;
    }
    if (wizardFirst && !m_wizard.finished()) {
        expect(saveAt < 0, QStringLiteral("the save dialog followed a cancelled wizard"));
        checkNothingBuilt(editor, before, QStringLiteral("after a cancelled wizard"));
        done.append(QStringLiteral("no build"));
        return done.join(QStringLiteral(" -> "));
    }
    // The pack check comes before any question: errors show the findings and build nothing.
    const PackReview review = ReviewPack(editor.project(), m_settings->AppDir);
    if (review.hasErrors()) {
        const FindingsWindow *findings = test::panelOf<FindingsWindow>(editor);
        expect(saveAt < 0, QStringLiteral("the save dialog was asked though the check found errors"));
        expect(findings && findings->isVisible()
                   && findings->findChild<QLabel *>(QStringLiteral("lblSummary"))
                          ->text()
                          .startsWith(GetLangText(QStringLiteral("[message.Check.BuildStopped]"))),
               QStringLiteral("the findings of a stopped build are not shown"));
        checkNothingBuilt(editor, before, QStringLiteral("after the check found errors"));
        QStringList errors;
        for (const Finding &finding : review.findings) {
            if (finding.severity == Severity::Error)
                errors.append(finding.message);
        }
        m_lastRefusal = errors.join(QLatin1Char('|'));
        if (findings)
            test::panelOf<FindingsWindow>(editor)->close();
        done.append(QStringLiteral("checked: ") + m_lastRefusal.left(60));
        return done.join(QStringLiteral(" -> "));
    }
    QStringList warnings;
    for (const Finding &finding : review.findings) {
        if (finding.severity == Severity::Warning)
            warnings.append(findingLine(finding));
    }
    expect(saveAt >= 0, QStringLiteral("no save dialog"));
    if (!answer) {
        checkNothingBuilt(editor, before, QStringLiteral("after the save dialog was cancelled"));
        done.append(QStringLiteral("save cancelled"));
        return done.join(QStringLiteral(" -> "));
    }
    done.append(QStringLiteral("save %1").arg(describeText(answer->mid(m_work.size()))));

    const QString refusal = refusalOf(m_settings->AppDir, *answer, editor.project());
    m_lastRefusal = refusal;
    const QStringList shown = messagesFrom(m_dialogs, saveAt + 1);
    if (!refusal.isEmpty()) {
        // The message may name the file it was writing; the reason is the core's.
        expect(shown.size() == 1 && shown.first().contains(refusal),
               QStringLiteral("a refused build showed (%1), expected %2").arg(shown.join(QLatin1Char('|')), refusal));
        checkNothingBuilt(editor, before, QStringLiteral("after a refused build"));
        done.append(QStringLiteral("refused: ") + refusal.left(60));
        return done.join(QStringLiteral(" -> "));
    }
    expect(shown.isEmpty(), QStringLiteral("the build showed %1").arg(shown.join(QLatin1Char('|'))));
    expect(editor.isBuilding(), QStringLiteral("no build started"));
    expect(test::panelOf<ConsolePanel>(editor)->isVisible(), QStringLiteral("the console is not shown"));
    if (editor.isBuilding() && m_random.chance(20)) {
        // The File menu is out of reach during a build; the command must not start another.
        const qsizetype asked = m_dialogs.asked.size();
        command->trigger();
        expect(m_dialogs.asked.size() == asked, QStringLiteral("a second build was asked for during the first"));
        done.append(QStringLiteral("again"));
    }
    const bool ended = QTest::qWaitFor(
        [&] { return !editor.isBuilding() && !test::panelOf<ConsolePanel>(editor)->hasPendingLines(); }, 60000);
    expect(ended, QStringLiteral("the build did not end"));
    checkBuilt(editor, before, installerFor(*answer), outcome, token, warnings);
    expect(reported.problems().isEmpty(), QStringLiteral("reported: ") + reported.problems().join(QLatin1Char('|')));
    // The compiler makes a missing output folder; the next build to it finds it missing again.
    QDir(m_work + QStringLiteral("nowhere")).removeRecursively();
    done.append(QStringLiteral("compiler: ") + QLatin1String(modeOf(outcome)));
    return done.join(QStringLiteral(" -> "));
}

void BuildWalk::checkNothingBuilt(const TfrmEditor &editor, const Before &before, const QString &why)
{
    expect(!editor.isBuilding(), QStringLiteral("a build runs ") + why);
    expect(test::panelOf<ConsolePanel>(editor)->lines().size() == before.consoleLines,
           QStringLiteral("the console grew ") + why);
    expect(filesUnder(m_work + QStringLiteral("packs")) == before.outputs
               && !QFileInfo::exists(m_work + QStringLiteral("nowhere")),
           QStringLiteral("the installers changed ") + why);
    expect(filesUnder(StagingFolder(m_settings->AppDir)) == before.staging,
           QStringLiteral("the staged map lists changed ") + why);
    expect(readBytes(setupScriptPath(m_settings->AppDir)) == before.script, QStringLiteral("setup.iss changed ") + why);
    checkWindowUsable(editor, before, why);
}

void BuildWalk::checkBuilt(TfrmEditor &editor, const Before &before, const QString &installer, Outcome outcome,
                           const QByteArray &token, const QStringList &warnings)
{
    const QString base = QFileInfo(installer).completeBaseName();
    // The check's warnings lead the console.
    QStringList expectedLines = warnings;
    expectedLines << QStringLiteral("Started building map pack") << QStringLiteral("Compiling setup script");
    QMap<QString, QByteArray> outputs = before.outputs;
    switch (outcome) {
    case Outcome::Installer:
        expectedLines << QStringLiteral("Writing %1.exe").arg(base) << QStringLiteral("Successful compile")
                      << QStringLiteral("Done");
        outputs.insert(installer.mid(m_work.size()), token);
        break;
    case Outcome::Error:
        expectedLines << QStringLiteral("Error on line 12: unknown directive") << QStringLiteral("Error occured!");
        break;
    case Outcome::HalfInstaller:
        expectedLines << QStringLiteral("Writing %1.exe").arg(base) << QStringLiteral("Error: the disk is full")
                      << QStringLiteral("Error occured!");
        break;
    }
    const QStringList lines = test::panelOf<ConsolePanel>(editor)->lines().mid(before.consoleLines);
    expect(lines == expectedLines, QStringLiteral("the console shows (%1)").arg(lines.join(QLatin1Char('|'))));

    QMap<QString, QByteArray> now = filesUnder(m_work + QStringLiteral("packs"));
    now.insert(filesUnder(m_work + QStringLiteral("nowhere")));
    if (now != outputs) {
        QStringList differ;
        for (const QString &name : now.keys() + outputs.keys()) {
            if (now.value(name) != outputs.value(name) || now.contains(name) != outputs.contains(name))
                differ.append(QStringLiteral("%1 %2").arg(name,
                                                          now.contains(name)
                                                              ? describeText(QString::fromLatin1(now.value(name)))
                                                              : QStringLiteral("missing")));
        }
        differ.removeDuplicates();
        expect(false,
               QStringLiteral("after %1 the output folders differ: %2")
                   .arg(outcome == Outcome::Installer ? QStringLiteral("a build") : QStringLiteral("a failed build"),
                        differ.join(QStringLiteral(", "))));
    }

    const ProjectModel &project = editor.project();
    const QString mapList = StagingFolder(m_settings->AppDir) + mapListFileName(project.packTitle());
    expect(readBytes(mapList) == MapListBytes(planPack(project, QString())),
           QStringLiteral("the staged map list %1 is not the project's").arg(mapListFileName(project.packTitle())));
    expect(!QFileInfo::exists(buildLockFile(m_settings->AppDir)), QStringLiteral("the compiler folder stays locked"));
    checkWindowUsable(editor, before, QStringLiteral("after the build"));
}

void BuildWalk::checkWindowUsable(const TfrmEditor &editor, const Before &before, const QString &why)
{
    for (const char *column : {"pnlLeft", "pnlMid", "pnlRight"}) {
        const QWidget *panel = editor.findChild<QWidget *>(QLatin1String(column));
        expect(panel && panel->isEnabled(), QStringLiteral("%1 is disabled %2").arg(QLatin1String(column), why));
    }
    expect(actionsEnabled(editor) == before.actionsEnabled, QStringLiteral("the window's shortcuts changed ") + why);
}

} // namespace tervelle::test
