// "Save map pack", the pack properties and the build console on the File menu. The build runs
// asynchronously: the window keeps repainting and the console fills while the compiler works,
// with the three columns disabled until it ends.

#include "ui/editor/frmeditor.h"

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "mappack/buildlock.h"
#include "mappack/buildsession.h"
#include "mappack/compilerfolder.h"
#include "mappack/installerguard.h"
#include "mappack/packplan.h"
#include "mappack/packreview.h"
#include "project/filetree.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"
#include "ui/wizard/frmwizard.h"

#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QTableView>
#include <QTreeView>

#include <memory>

namespace tervelle {

void TfrmEditor::connectMapPackCommands()
{
    const MapsPanel::WindowItems maps = m_maps->windowItems();
    connectCommand(maps.mnuFileSaveMapPack, &TfrmEditor::mnuFileSaveMapPackClick);
    connectCommand(maps.mnuFilePackProperties, &TfrmEditor::mnuFilePackPropertiesClick);
    connectCommand(maps.mnuFileShowConsole, &TfrmEditor::mnuFileShowConsoleClick);
    connectCommand(maps.mnuFileCheckPack, &TfrmEditor::mnuFileCheckPackClick);
    connectTrialCommand();
}

FindingsWindow &TfrmEditor::findingsWindow()
{
    if (!m_findings) {
        m_findings = new FindingsWindow(*m_project, m_settings, this);
        connect(m_findings, &FindingsWindow::goToRequested, this, &TfrmEditor::goToFinding);
        connect(m_findings, &FindingsWindow::locateMissingRequested, m_files,
                &FilesPanel::mnuFilesEditLocateMissingClick);
        // The review reads the project on its own thread: nothing may change it meanwhile. What
        // a scan or a build already holds stays theirs to give back.
        auto holding = std::make_shared<bool>(false);
        connect(m_findings, &FindingsWindow::reviewRunning, this, [this, holding](bool running) {
            if (running && m_panelsEnabled) {
                *holding = true;
                holdCommands(true);
            } else if (!running && *holding) {
                *holding = false;
                holdCommands(false);
            }
        });
    }
    return *m_findings;
}

void TfrmEditor::showRefusal(const PackReview &review)
{
    findingsWindow().showReview(review, lang(LangKey::message_Check_BuildStopped));
}

void TfrmEditor::mnuFileCheckPackClick()
{
    findingsWindow().startReview();
}

namespace {

// A finding's row in a key/value grid: its value cell current, in view and with the focus.
void showValueCell(QTableView *grid, int row)
{
    const QModelIndex cell = grid->model()->index(row, 1);
    if (!cell.isValid())
        return;
    grid->setCurrentIndex(cell);
    grid->scrollTo(cell);
    grid->setFocus();
}

} // namespace

void TfrmEditor::goToFinding(const FindingPlace &place)
{
    raise();
    activateWindow();
    switch (place.kind) {
    case FindingPlace::Node: {
        TreeNode *node = m_project->tree().nodeAt(place.absoluteIndex);
        if (!node || node != place.node)
            return;
        const QModelIndex index = m_files->treeModel()->indexOf(node);
        m_files->list()->scrollTo(index);
        m_files->list()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_files->list()->setFocus();
        return;
    }
    case FindingPlace::MapProperty: {
        if (place.map < 0 || place.map >= m_project->mapCount())
            return;
        QListView *maps = m_maps->list();
        maps->setCurrentIndex(maps->model()->index(place.map, 0));
        showValueCell(m_properties->list(), place.row);
        return;
    }
    case FindingPlace::HeaderRow: {
        showValueCell(m_header->list(), place.row);
        return;
    }
    case FindingPlace::Pack: break;
    }
    mnuFilePackPropertiesClick();
}

bool TfrmEditor::isBuilding() const
{
    return m_build && m_build->isRunning();
}

void TfrmEditor::mnuFilePackPropertiesClick()
{
    runPackWizard();
}

bool TfrmEditor::runPackWizard()
{
    // The wizard works on a copy, so that its Finish is one step of the project's history.
    PackProperties edited = m_project->packProperties();
    if (!ShowPackWizard(*m_dialogs, edited, m_settings.AppDir, this))
        return false;
    m_document->change(lang(LangKey::Change_PackProperties),
                       [&](ProjectModel &project) { project.setPackProperties(edited); });
    return true;
}

void TfrmEditor::mnuFileShowConsoleClick()
{
    m_console->showConsole();
}

void TfrmEditor::mnuFileSaveMapPackClick()
{
    // The File menu is disabled during a build; a shortcut or a script must not start a second.
    if (isBuilding())
        return;
    if (!m_project->packProperties().PackPropertiesSet && !runPackWizard())
        return;
    // Errors would give a wrong pack or a failed build: they are shown before any question.
    // The dialogs below are modal, so the project stays as planned until the build starts.
    const PlannedBuild planned = planBuild(*m_project, m_settings.AppDir);
    if (!planned.plan) {
        showRefusal(planned.refusal);
        return;
    }
    const PackPlan &plan = *planned.plan;
    // A source in a hidden or system folder, however it is reached, is published only when
    // the map maker says so.
    if (publishesPrivateFiles(plan.review())
        && !m_dialogs->askYesNo(
            messageCaption(),
            lang(LangKey::message_Check_PublishPrivate, {{'f', privateSourceLines(plan.review(), 20)}})))
        return;

    const std::optional<QString> chosen = m_dialogs->saveFile(fileDialogRequest(
        {LangKey::dlgSaveMapPack_Title, LangKey::dlgSaveMapPack_Filter, LangKey::dlgSaveMapPack_FilterIndex},
        m_lastMapPackPath, QStringLiteral("exe")));
    if (!chosen)
        return;
    m_lastMapPackPath = *chosen;

    if (!m_build) {
        m_build = std::make_unique<BuildSession>(*m_console, m_settings);
        connect(m_build.get(), &BuildSession::started, this, [this] { holdCommands(true); });
        connect(m_build.get(), &BuildSession::finished, this, [this](CompileResult result) {
            holdCommands(false);
            // A trial tries this installer while the project stays as it was built.
            if (result == CompileResult::Success)
                noteBuiltInstaller(m_savingInstaller);
        });
    }
    m_savingInstaller = BuildSession::installerFile(*chosen, compilerFolder(m_settings.AppDir));
    try {
        startBuild(plan, *chosen);
    } catch (const UserError &e) {
        m_dialogs->showMessage(messageCaption(), e.message());
        return;
    }
    offerLeftoverInstallers(m_build->leftovers(),
                            BuildSession::installerFile(*chosen, compilerFolder(m_settings.AppDir)));
    // Also when the compiler could not be started: the console says so.
    m_console->showConsole();
}

// A lock that another computer left long ago is taken over only when the map maker says so.
void TfrmEditor::startBuild(const PackPlan &plan, const QString &chosen)
{
    m_build->setTakeOverLocks(false);
    try {
        m_build->start(plan, chosen);
    } catch (const LockHeldElsewhere &held) {
        if (!held.canTakeOver())
            throw;
        const ReplaceAnswer answer = m_dialogs->askReplace(
            messageCaption(), held.message() + QStringLiteral("\n\n") + lang(LangKey::message_Lock_TakeOver));
        if (answer != ReplaceAnswer::Yes && answer != ReplaceAnswer::YesToAll)
            throw UserError(lang(LangKey::message_Lock_Kept, {{'f', QDir::toNativeSeparators(held.lockFile())}}));
        m_build->setTakeOverLocks(true);
        m_build->start(plan, chosen);
        m_build->setTakeOverLocks(false);
    }
}

// A build killed before it ended left the earlier installer under a hidden name; it is the map
// maker's, so it is offered back under a visible one.
void TfrmEditor::offerLeftoverInstallers(const QStringList &leftovers, const QString &installer)
{
    const QString caption = messageCaption();
    bool all = false;
    for (const QString &leftover : leftovers) {
        if (!all) {
            const ReplaceAnswer answer = m_dialogs->askReplace(
                caption,
                lang(LangKey::message_Installer_KeptAside, {{'f', QDir::toNativeSeparators(leftover)}})
                    + QLatin1Char('\n')
                    + lang(LangKey::message_Installer_BringBack, {{'f', QDir::toNativeSeparators(installer)}}));
            if (answer == ReplaceAnswer::NoToAll)
                return;
            if (answer == ReplaceAnswer::No)
                continue;
            all = answer == ReplaceAnswer::YesToAll;
        }
        try {
            InstallerGuard::bringBack(leftover, installer);
        } catch (const UserError &e) {
            m_dialogs->showMessage(caption, e.message());
        }
    }
}

} // namespace tervelle
