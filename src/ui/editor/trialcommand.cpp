// File > Try installer...: builds the project when it changed since the editor last built it (or
// takes the last installer, or one the map maker picks), installs and uninstalls it on a stand-in
// player's machine in the background, and shows what happened in the trial window.

#include "ui/editor/trialcommand.h"

#include "core/errors.h"
#include "core/langload.h"
#include "mappack/buildsession.h"
#include "mappack/compilerfolder.h"
#include "mappack/packplan.h"
#include "mappack/packreview.h"
#include "project/filetree.h"
#include "project/projectmodel.h"
#include "trial/trialexpectation.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/frmeditor.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/trialwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QUndoStack>

namespace tervelle {

TrialRun::TrialRun(QObject *parent) : QObject(parent)
{}

TrialRun::~TrialRun()
{
    m_stop = true;
    if (m_worker)
        m_worker->wait();
}

bool TrialRun::isRunning() const
{
    return m_worker && !m_worker->isFinished();
}

void TrialRun::start(TrialOptions options)
{
    if (m_worker)
        m_worker->wait();
    m_stop = false;
    m_result = {};
    m_worker.reset(QThread::create([this, options = std::move(options)] {
        m_result = TrialMachine::run(
            options, [this](const QString &line) { emit progress(line); }, m_stop);
    }));
    // Heard on this object's thread once the trial's thread has ended.
    connect(m_worker.get(), &QThread::finished, this, [this] { emit finished(m_result); });
    m_worker->start();
}

TrialState::TrialState() = default;
TrialState::~TrialState() = default;

void TfrmEditor::connectTrialCommand()
{
    m_trial = std::make_unique<TrialState>();
    connectCommand(m_maps->windowItems().mnuFileTryInstaller, &TfrmEditor::mnuFileTryInstallerClick);
    // Any step of the history, undone or not, makes the last installer out of date.
    connect(&m_document->history(), &QUndoStack::indexChanged, this, [this] { ++m_trial->changes; });
    connect(m_project, &ProjectModel::projectReset, this, [this] {
        ++m_trial->changes;
        m_trial->lastBuilt.clear();
    });
    connect(&m_trial->run, &TrialRun::progress, m_console, &ConsolePanel::appendConsoleLine);
    connect(&m_trial->run, &TrialRun::finished, this, &TfrmEditor::trialFinished);
    // Esc stops a trial from anywhere in the window; it is on only while one runs.
    m_trial->stopAction = new QAction(this);
    m_trial->stopAction->setObjectName(QStringLiteral("actStopTrial"));
    m_trial->stopAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_trial->stopAction->setEnabled(false);
    addAction(m_trial->stopAction);
    connect(m_trial->stopAction, &QAction::triggered, this, &TfrmEditor::stopTrial);
}

bool TfrmEditor::isTrying() const
{
    return m_trial->run.isRunning() || (m_trial->build && m_trial->build->isRunning());
}

void TfrmEditor::noteBuiltInstaller(const QString &installer)
{
    m_trial->lastBuilt = installer;
    m_trial->builtAt = m_trial->changes;
}

void TfrmEditor::mnuFileTryInstallerClick()
{
    if (isBuilding() || isTrying())
        return;
    if (!TrialMachine::wineAvailable()) {
        m_dialogs->showMessage(messageCaption(), lang(LangKey::mnuFile_TryInstaller_NoWine));
        return;
    }
    const bool current =
        !m_trial->lastBuilt.isEmpty() && m_trial->builtAt == m_trial->changes && QFileInfo(m_trial->lastBuilt).isFile();
    const QString text = current
        ? lang(LangKey::message_Try_Unchanged, {{'f', QDir::toNativeSeparators(m_trial->lastBuilt)}})
        : lang(LangKey::message_Try_Changed);
    const std::optional<int> answer =
        m_dialogs->askChoice(messageCaption(), text,
                             {current ? lang(LangKey::message_Try_Last) : lang(LangKey::message_Try_Build),
                              lang(LangKey::message_Try_Pick), lang(LangKey::message_Try_Cancel)});
    if (!answer || *answer == 2)
        return;
    if (*answer == 1) {
        const QString folder = m_trial->lastBuilt.isEmpty() ? m_lastMapPackPath : m_trial->lastBuilt;
        const QStringList chosen =
            m_dialogs->openFiles(fileDialogRequest({LangKey::dlgTryInstaller_Title, LangKey::dlgTryInstaller_Filter,
                                                    LangKey::dlgTryInstaller_FilterIndex},
                                                   folder),
                                 false);
        if (!chosen.isEmpty())
            startTrial(chosen.first());
        return;
    }
    if (current)
        startTrial(m_trial->lastBuilt);
    else
        buildForTrial();
}

void TfrmEditor::holdForTrial(bool hold)
{
    if (hold == m_trial->holding)
        return;
    m_trial->holding = hold;
    if (hold) {
        holdCommands(true);
        m_trial->stopAction->setEnabled(true);
    } else {
        m_trial->stopAction->setEnabled(false);
        holdCommands(false);
    }
}

void TfrmEditor::buildForTrial()
{
    if (!m_project->packProperties().PackPropertiesSet && !runPackWizard())
        return;
    if (!m_trial->folder || !m_trial->folder->isValid()) {
        m_trial->folder = std::make_unique<QTemporaryDir>();
        if (!m_trial->folder->isValid()) {
            m_dialogs->showMessage(messageCaption(), lang(LangKey::message_Try_NoTempFolder));
            return;
        }
    }
    const QString chosen = m_trial->folder->filePath(QStringLiteral("trial.exe"));
    if (!m_trial->build) {
        m_trial->build = std::make_unique<BuildSession>(*m_console, m_settings);
        connect(m_trial->build.get(), &BuildSession::finished, this, &TfrmEditor::trialBuildFinished);
    }
    m_trial->building = BuildSession::installerFile(chosen, compilerFolder(m_settings.AppDir));
    m_trial->buildingAt = m_trial->changes;
    m_trial->stopping = false;
    holdForTrial(true);
    const PlannedBuild planned = planBuild(*m_project, m_settings.AppDir);
    if (!planned.plan) {
        holdForTrial(false);
        showRefusal(planned.refusal);
        return;
    }
    try {
        m_trial->build->start(*planned.plan, chosen);
    } catch (const UserError &e) {
        holdForTrial(false);
        m_dialogs->showMessage(messageCaption(), e.message());
        return;
    }
    showTrialConsole();
}

void TfrmEditor::trialBuildFinished(CompileResult result)
{
    if (m_trial->stopping || !m_trial->holding)
        return;
    if (result != CompileResult::Success) {
        holdForTrial(false);
        m_console->appendConsoleLine(lang(LangKey::message_Try_BuildFailed));
        return;
    }
    m_trial->lastBuilt = m_trial->building;
    m_trial->builtAt = m_trial->buildingAt;
    startTrial(m_trial->lastBuilt);
}

void TfrmEditor::startTrial(const QString &installer)
{
    TrialOptions options;
    options.installer = installer;
    options.gameFolder = m_settings.WormsDir;
    try {
        options.expected = expectedInstall(planPack(*m_project, m_settings.AppDir));
    } catch (const UserError &e) {
        holdForTrial(false);
        m_dialogs->showMessage(messageCaption(), e.message());
        return;
    }
    m_trial->stopping = false;
    holdForTrial(true);
    m_trial->run.start(std::move(options));
    showTrialConsole();
}

void TfrmEditor::showTrialConsole()
{
    m_console->showConsole();
    // The held panels cannot keep the focus; without one in the window Esc would reach nothing.
    m_console->text()->setFocus();
}

void TfrmEditor::stopTrial()
{
    if (m_trial->build && m_trial->build->isRunning()) {
        // The compiler is stopped as the session goes; the trial never starts.
        m_trial->stopping = true;
        std::unique_ptr<BuildSession> ending = std::move(m_trial->build);
        ending.reset();
        holdForTrial(false);
        m_console->appendConsoleLine(lang(LangKey::message_Try_Stopped));
        return;
    }
    if (m_trial->run.isRunning()) {
        m_trial->stopping = true;
        m_trial->run.stop();
    }
}

void TfrmEditor::trialFinished(const TrialResult &result)
{
    holdForTrial(false);
    if (result.outcome == TrialResult::Stopped) {
        m_console->appendConsoleLine(lang(LangKey::message_Try_Stopped));
        return;
    }
    const QStringList lines = resultLines(result);
    if (!lines.isEmpty())
        m_console->appendConsoleLine(lines.last());
    trialWindow().showResult(result);
}

TrialWindow &TfrmEditor::trialWindow()
{
    if (!m_trial->window) {
        m_trial->window = new TrialWindow(this);
        connect(m_trial->window, &TrialWindow::nodeRequested, this, &TfrmEditor::showTrialNode);
    }
    return *m_trial->window;
}

void TfrmEditor::showTrialNode(const QString &path, int absoluteIndex)
{
    // The project may have changed since the trial: only the same node is shown.
    const TreeNode *node = m_project->tree().nodeAt(absoluteIndex);
    if (!node || NodeTreePath(node) != path)
        return;
    goToFinding(FindingPlace::treeNode(node, absoluteIndex));
}

} // namespace tervelle
