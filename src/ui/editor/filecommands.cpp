// The File menu's commands and what they share: the project's file name, the recovery copy of a
// discarded project and the window's remembered layout.

#include "ui/editor/frmeditor.h"

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/recentprojects.h"
#include "project/recovery.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/windowaccessible.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace tervelle {

namespace {

FileDialogRequest projectDialog(const FileDialogKeys &dialog, const QString &startPath)
{
    return fileDialogRequest(dialog, startPath, QStringLiteral("mpr"));
}

} // namespace

void TfrmEditor::connectFileCommands()
{
    const MapsPanel::WindowItems maps = m_maps->windowItems();
    maps.mnuFileNew->setShortcut(QKeySequence::New);
    maps.mnuFileOpen->setShortcut(QKeySequence::Open);
    maps.mnuFileSave->setShortcut(QKeySequence::Save);
    maps.mnuFileSaveProject->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    maps.mnuFileHelp->setShortcut(QKeySequence(Qt::Key_F1));
    // Shortcuts work from anywhere in the window, and only while their item is enabled (and, for
    // Help, shown).
    addActions({maps.mnuFileNew, maps.mnuFileOpen, maps.mnuFileSave, maps.mnuFileSaveProject, maps.mnuFileHelp});
    connectCommand(maps.mnuFileSave, &TfrmEditor::mnuFileSaveClick);
    connectCommand(maps.mnuFileOpenRecovery, &TfrmEditor::mnuFileOpenRecoveryClick);
    connect(maps.mnuFileOpenRecent, &QMenu::aboutToShow, this, &TfrmEditor::fillRecentMenu);
    // A crash or a power cut costs at most two minutes of work.
    auto *timedCopies = new QTimer(this);
    timedCopies->setObjectName(QStringLiteral("tmrRecovery"));
    timedCopies->setInterval(2 * 60 * 1000);
    connect(timedCopies, &QTimer::timeout, this, &TfrmEditor::keepTimedCopy);
    timedCopies->start();
    connectCommand(maps.mnuFileNew, &TfrmEditor::mnuFileNewClick);
    connectCommand(maps.mnuFileOpen, &TfrmEditor::mnuFileOpenClick);
    connectCommand(maps.mnuFileSaveProject, &TfrmEditor::mnuFileSaveProjectClick);
    connectCommand(maps.mnuFileHelp, &TfrmEditor::mnuFileHelpClick);
    connectCommand(maps.mnuFileExit, &TfrmEditor::mnuFileExitClick);
    connect(m_document, &ProjectDocument::fileNameChanged, this, &TfrmEditor::watchProjectFile);
    // The caption names the file: Open, Save and opening a recovery copy change it.
    connect(m_document, &ProjectDocument::fileNameChanged, this, &TfrmEditor::UpdateProjectCaption);
    connect(m_document, &ProjectDocument::inPlaceFileChanged, this, &TfrmEditor::watchProjectFile);
    connectMapPackCommands();
}

void TfrmEditor::commitGrid()
{
    m_maps->commitGridToSelectedMap();
}

void TfrmEditor::runCommand(const std::function<void()> &command)
{
    commitGrid();
    command();
}

void TfrmEditor::connectCommand(QAction *action, void (TfrmEditor::*command)())
{
    connect(action, &QAction::triggered, this,
            [this, command] { runCommand([this, command] { (this->*command)(); }); });
}

void TfrmEditor::NewFile()
{
    m_document->newProject();
}

bool TfrmEditor::keepDiscardedProject(const QString &advice)
{
    try {
        m_document->keepRecoveryCopy();
        return true;
    } catch (const UserError &e) {
        // At the end of the program there is no window left to show it in.
        if (m_destroyed || m_endingOnSignal) {
            std::fprintf(stderr, "tervelle: %s\n", e.what());
        } else {
            m_dialogs->showMessage(messageCaption(), e.message() + QLatin1Char('\n') + advice);
        }
        return false;
    }
}

void TfrmEditor::mnuFileNewClick()
{
    // Without a copy of unsaved work, New would lose it.
    if (!keepDiscardedProject())
        return;
    NewFile();
}

void TfrmEditor::mnuFileOpenClick()
{
    const QStringList chosen =
        m_dialogs->openFiles(projectDialog({LangKey::dlgOpenProject_Title, LangKey::dlgOpenProject_Filter,
                                            LangKey::dlgOpenProject_FilterIndex},
                                           m_lastOpenPath),
                             true);
    if (chosen.isEmpty())
        return;
    m_lastOpenPath = chosen.first();
    openProject(chosen.first());
}

void TfrmEditor::openStartupProject(const QString &path)
{
    m_lastOpenPath = path;
    openProject(path);
}

bool TfrmEditor::openProject(const QString &path)
{
    // The copy comes first: once the file is read, the project it replaces is gone.
    if (!keepDiscardedProject())
        return false;
    try {
        m_document->open(path);
    } catch (const UserError &e) {
        // The open project and its name stay as they were.
        m_dialogs->showMessage(messageCaption(), QStringLiteral("Reraise file error\n") + e.message());
        return false;
    }
    rememberRecent(m_document->fileName());
    return true;
}

void TfrmEditor::mnuFileSaveProjectClick()
{
    const std::optional<QString> chosen = m_dialogs->saveFile(projectDialog(
        {LangKey::dlgSaveProject_Title, LangKey::dlgSaveProject_Filter, LangKey::dlgSaveProject_FilterIndex},
        m_lastSavePath));
    if (!chosen)
        return;
    m_lastSavePath = *chosen;
    saveProjectTo(*chosen);
}

void TfrmEditor::mnuFileSaveClick()
{
    // After New the caption still names the last file, but the project is not that file's.
    const QString file = m_document->inPlaceFile();
    if (file.isEmpty()) {
        mnuFileSaveProjectClick();
        return;
    }
    saveProjectTo(file);
}

bool TfrmEditor::saveProjectTo(const QString &path)
{
    const QString inPlace = m_document->inPlaceFile();
    // What another editor saved there since would be lost without a word.
    if (!inPlace.isEmpty() && QFileInfo(path) == QFileInfo(inPlace) && m_document->changedOnDisk()) {
        const std::optional<int> answer = m_dialogs->askChoice(
            messageCaption(), lang(LangKey::message_SaveChangedOnDisk, {{'f', inPlace}}),
            {lang(LangKey::message_SaveChangedOnDisk_SaveAs), lang(LangKey::message_SaveChangedOnDisk_Overwrite),
             lang(LangKey::message_SaveChangedOnDisk_Cancel)});
        if (answer == 0) {
            mnuFileSaveProjectClick();
            return false;
        }
        if (answer != 1)
            return false;
    }
    try {
        m_document->save(path);
    } catch (const UserError &e) {
        m_dialogs->showMessage(messageCaption(), e.message());
        return false;
    }
    rememberRecent(m_document->fileName());
    return true;
}

void TfrmEditor::watchProjectFile()
{
    m_toldChangedOnDisk = false;
    if (m_fileWatcher) {
        const QStringList watched = m_fileWatcher->files() + m_fileWatcher->directories();
        if (!watched.isEmpty())
            m_fileWatcher->removePaths(watched);
    }
    const QString file = m_document->inPlaceFile();
    if (file.isEmpty())
        return;
    // Made with the first file to watch: a new project has none.
    if (!m_fileWatcher) {
        m_fileWatcher = new QFileSystemWatcher(this);
        connect(m_fileWatcher, &QFileSystemWatcher::fileChanged, this, &TfrmEditor::projectFileTouched);
        connect(m_fileWatcher, &QFileSystemWatcher::directoryChanged, this, &TfrmEditor::projectFileTouched);
    }
    // The folder too: a file saved by replacing it is a new file the old watch does not see.
    m_fileWatcher->addPath(QFileInfo(file).absolutePath());
    m_fileWatcher->addPath(file);
}

void TfrmEditor::projectFileTouched()
{
    const QString file = m_document->inPlaceFile();
    if (!file.isEmpty() && !m_fileWatcher->files().contains(file) && QFileInfo::exists(file))
        m_fileWatcher->addPath(file);
    if (m_toldChangedOnDisk || !m_document->changedOnDisk())
        return;
    // Once: the next save, which asks about it, or an open starts afresh.
    m_toldChangedOnDisk = true;
    QTimer::singleShot(0, this, [this, file] {
        m_dialogs->showMessage(messageCaption(), lang(LangKey::message_ChangedOnDisk, {{'f', file}}));
    });
}

void TfrmEditor::rememberRecent(const QString &path)
{
    RecentProjects::store(RecentProjects::withProject(RecentProjects::load(), path));
}

void TfrmEditor::fillRecentMenu()
{
    QMenu *menu = m_maps->windowItems().mnuFileOpenRecent;
    menu->clear();
    menu->setToolTipsVisible(true);
    const QStringList paths = RecentProjects::load();
    const QStringList labels = RecentProjects::labels(paths);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        // The label says enough of the folder; the whole path is a hover, or a screen reader's
        // description, away.
        QAction *entry = menu->addAction(labels[i]);
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(entry->toolTip());
        describeMenuItem(entry, entry->toolTip());
        entry->setData(path);
        connect(entry, &QAction::triggered, this,
                [this, path] { runCommand([this, path] { openRecentProject(path); }); });
    }
    menu->addSeparator();
    QAction *clear = menu->addAction(lang(LangKey::mnuFile_ClearRecent_Caption));
    clear->setObjectName(QStringLiteral("mnuFileClearRecent"));
    connect(clear, &QAction::triggered, this, [] { RecentProjects::store({}); });
}

void TfrmEditor::openRecentProject(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        m_dialogs->showMessage(messageCaption(), lang(LangKey::message_RecentMissing, {{'f', path}}));
        RecentProjects::store(RecentProjects::withoutProject(RecentProjects::load(), path));
        return;
    }
    m_lastOpenPath = path;
    openProject(path);
}

void TfrmEditor::mnuFileOpenRecoveryClick()
{
    const QList<RecoveryCopy> copies = recoveryCopies();
    if (copies.isEmpty()) {
        m_dialogs->showMessage(
            messageCaption(),
            lang(LangKey::message_NoRecoveryCopies, {{'f', QDir::toNativeSeparators(recoveryFolder())}}));
        return;
    }
    // Each copy by when it was kept and of which project, so two projects of one name read apart.
    QStringList items;
    for (const RecoveryCopy &copy : copies) {
        const QString project = copy.saved ? copy.project : lang(LangKey::dlgRecovery_Unsaved, {{'p', copy.project}});
        items << QLocale().toString(copy.time, QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("   ") + project;
    }
    const std::optional<int> chosen =
        m_dialogs->chooseItem(lang(LangKey::dlgRecovery_Title), lang(LangKey::dlgRecovery_Prompt), items);
    if (!chosen || !openProject(copies[*chosen].file))
        return;
    // A copy is no project file of the map maker's: Save asks where the project goes.
    m_document->forgetFileName();
    RecentProjects::store(RecentProjects::withoutProject(
        RecentProjects::load(), QDir::toNativeSeparators(QFileInfo(copies[*chosen].file).absoluteFilePath())));
}

void TfrmEditor::keepTimedCopy()
{
    try {
        m_document->keepRecoveryCopy();
    } catch (const UserError &e) {
        // Said on the console's standard error only: a dialog every two minutes would stop the
        // map maker's work, and the copy is tried again at the next turn.
        std::fprintf(stderr, "tervelle: %s\n", qPrintable(e.message()));
    }
}

void TfrmEditor::mnuFileHelpClick()
{
    // Looked for in the current working folder, as a name without a folder would be.
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("Tervelle.chm"));
    if (!QFileInfo(path).isFile()) {
        m_dialogs->showMessage(lang(LangKey::message_HelpError_Caption), lang(LangKey::message_HelpError_Promt));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TfrmEditor::mnuFileExitClick()
{
    close();
}

void TfrmEditor::showProblems()
{
    // What the core notices without failing (a settings file left alone, an installer that could
    // not be put back) is shown to the map maker, who never sees a terminal.
    m_previousProblemHandler = setProblemHandler([this](const QString &message) {
        std::fprintf(stderr, "Tervelle: %s\n", qPrintable(message));
        if (m_destroyed)
            return;
        // Once the command that met it has returned, never from inside it.
        QTimer::singleShot(0, this, [this, message] { m_dialogs->showMessage(messageCaption(), message); });
    });
}

void TfrmEditor::endOnSignal()
{
    m_endingOnSignal = true;
    commitGrid();
    keepDiscardedProject();
    m_closeSettled = true;
    close();
}

void TfrmEditor::closeEvent(QCloseEvent *event)
{
    commitGrid();
    // While the window still stands, a copy that cannot be written can be told: the map maker
    // may then save the project, or close again to leave without it.
    if (!m_closeSettled && !keepDiscardedProject(lang(LangKey::message_Discard_CloseAgain))) {
        m_closeSettled = true;
        event->ignore();
        return;
    }
    m_closeSettled = true;
    QWidget::closeEvent(event);
}

bool TfrmEditor::SelectDirectory(const QString &caption, const QString &root, QString &folder)
{
    const std::optional<QString> chosen = m_dialogs->selectDirectory(caption, root, m_settings.LastDir);
    folder = chosen.value_or(QString());
    return chosen.has_value();
}

} // namespace tervelle
