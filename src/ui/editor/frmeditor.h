#pragma once

#include "core/common.h"
#include "core/langload.h"
#include "core/report.h"
#include "mappack/finding.h"
#include "project/projectdocument.h"

#include <QByteArray>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAbstractItemView;
class QAction;
class QFileSystemWatcher;

namespace tervelle {

class BuildSession;
class ConsolePanel;
class ContentPanel;
class Dialogs;
class FilesPanel;
class FindingsWindow;
class PackPlan;
struct PackReview;
class HeaderPanel;
class LabelMenu;
class MapsPanel;
class PanelSplitter;
class PreviewPanel;
class PropertiesPanel;
class ResourcesPanel;
struct TrialResult;
struct TrialState;
class TrialWindow;
enum class CompileResult;

// The editor's main window: three columns of panels with splitters between them, and the build
// console over the bottom. It owns the project, the panels and what spans panels: the enabling
// of whole panels, the window caption, the File commands and the window's layout.
class TfrmEditor : public QWidget
{
    Q_OBJECT

public:
    // The window works with `settings` and writes them back as it goes. Dialogs default to the
    // real ones; tests hand in a scripted set.
    explicit TfrmEditor(Settings &settings, Dialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~TfrmEditor() override;

    ProjectDocument &document() const { return *m_document; }
    const ProjectModel &project() const { return m_document->model(); }

    // The current project file; empty until a project is saved or opened.
    const QString &ProjectFileName() const { return m_document->fileName(); }

    void NewFile();
    void UpdateProjectCaption();

    void PanelsChangeEnabled(bool enabled);

    // The folder picker, opened on LastDir; LastDir itself is left to the caller. False on
    // Cancel; a confirmed item without a file-system path gives true and an empty folder.
    bool SelectDirectory(const QString &caption, const QString &root, QString &folder);

    // Opens a project named on the command line, as File, Open does with a chosen file.
    void openStartupProject(const QString &path);

    // File commands.
    void mnuFileNewClick();
    void mnuFileOpenClick();
    void mnuFileSaveProjectClick();
    // Save: to the current project file without a dialog; asks as Save project... without one.
    void mnuFileSaveClick();
    void mnuFileOpenRecoveryClick();
    // A project of the recent list; one that has gone is refused and taken off the list.
    void openRecentProject(const QString &path);
    // The timed recovery copy: written while the project differs from its saved state and
    // from the last copy. Runs every two minutes.
    void keepTimedCopy();
    void mnuFileHelpClick();
    void mnuFileExitClick();
    void mnuFileSaveMapPackClick();
    void mnuFilePackPropertiesClick();
    void mnuFileShowConsoleClick();
    // Edit menu of the maps panel: the project's history.
    void mnuEditUndoClick();
    void mnuEditRedoClick();
    void mnuFileCheckPackClick();
    // Installs and uninstalls the pack's installer on a stand-in player's machine.
    void mnuFileTryInstallerClick();
    // Selects what a finding names: the node, the map and its property row, the header row; the
    // pack properties open the wizard. A place the project no longer has is left alone.
    void goToFinding(const FindingPlace &place);
    // True while a map pack build runs.
    bool isBuilding() const;
    // True while a trial, or the build before it, runs.
    bool isTrying() const;
    // A termination signal: no question to anyone. The discarded project is kept as a recovery
    // copy when it can be, standard error says why not otherwise, and the program ends.
    void endOnSignal();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startBuild(const PackPlan &plan, const QString &chosen);
    void offerLeftoverInstallers(const QStringList &leftovers, const QString &installer);
    void FormCreate();
    void showProblems();
    void FormDestroy();
    void FormResize();
    void createControls();
    void makePanels();
    void placePanels();
    // The panels with label-menus, in the keyboard's order, each with the list its label-menus
    // hand the focus to.
    QList<std::pair<ContentPanel *, QAbstractItemView *>> panelLists() const;
    void setKeyboardOrder();
    void connectLabelMenus();
    void connectPanels();
    void layoutColumns();
    void connectFileCommands();
    void connectMapPackCommands();
    void connectHistory();
    // The pack wizard; its Finish is one change of the project. False when it was not finished.
    bool runPackWizard();
    void updateHistoryItems();
    // Undo (or redo) one step, then select what it changed and scroll it into view.
    void replayHistory(bool forward);
    void showReplayed();
    void labelMenuClicked(QWidget *mainControl);
    // While a build or a folder scan runs: the three columns off, and the window's own
    // shortcuts (New, Open, Save, Undo, ...) too, which would reach past them.
    void holdCommands(bool hold);
    void projectWasReset(ResetKind kind);
    void headerWasChanged();
    // After an undo or redo: the caption once, if the header changed.
    void historyMoved();
    // The caption with the marker of unsaved changes.
    void showCaption();
    // The properties grid into the selected map, as the maps panel's File menu does.
    void commitGrid();
    // Every command of the window's menus and shortcuts runs through here: the cell being typed
    // is stored first, so that no command can forget it.
    void runCommand(const std::function<void()> &command);
    void connectCommand(QAction *action, void (TfrmEditor::*command)());
    bool openProject(const QString &path);
    // Asks first when the file was changed on disk since it was opened or saved here.
    bool saveProjectTo(const QString &path);
    // The in-place project file, watched for changes by others.
    void watchProjectFile();
    void projectFileTouched();
    void rememberRecent(const QString &path);
    void fillRecentMenu();
    // Keeps a copy of a project about to be discarded when it differs from what was last opened,
    // saved or started. False (and the reason shown) when the copy could not be written.
    bool keepDiscardedProject(const QString &advice = lang(LangKey::message_Discard_StaysOpen));
    // The columns and their splitters, and the layout kept between runs.
    void makeColumns();
    void arrangeColumns();
    void askDefaultSizes();
    QList<PanelSplitter *> splitters() const;
    bool restorePanelLayout(const QString &stored);
    bool restoreOldPanelSizes(const QString &stored);
    void restoreLayout();
    void keepOnScreen();
    void storeLayout() const;

    Settings &m_settings;
    ProjectDocument *m_document = nullptr;
    const ProjectModel *m_project = nullptr;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs *m_dialogs = nullptr;

    PanelSplitter *m_columns = nullptr;
    PanelSplitter *m_rightColumns = nullptr;
    PanelSplitter *pnlLeft = nullptr;
    PanelSplitter *pnlMid = nullptr;
    PanelSplitter *pnlRight = nullptr;
    MapsPanel *m_maps = nullptr;
    PropertiesPanel *m_properties = nullptr;
    HeaderPanel *m_header = nullptr;
    FilesPanel *m_files = nullptr;
    ResourcesPanel *m_resources = nullptr;
    PreviewPanel *m_preview = nullptr;
    ConsolePanel *m_console = nullptr;

    // Off while a build or a folder scan holds the panels.
    bool m_panelsEnabled = true;
    QList<QAction *> m_heldCommands;
    QString m_lastOpenPath;
    QString m_lastSavePath;
    QFileSystemWatcher *m_fileWatcher = nullptr;
    bool m_toldChangedOnDisk = false;
    QString m_caption; // the project's caption, without the modified marker
    bool m_captionPending = false;
    // What the undo or redo being made changed, and the project as it was before it.
    struct Replayed
    {
        int map = -1;        // a map brought back or changed
        int removedMap = -1; // a map taken away
        bool header = false;
        std::vector<int> node; // a node brought back, renamed or emptied, by its path
        QStringList headerBefore;
        QList<QStringList> propertiesBefore;
    };
    Replayed m_replayed;
    bool m_destroyed = false;
    // Set once closing has kept the project's copy, or the map maker closed again after being
    // told it could not be kept.
    bool m_closeSettled = false;
    bool m_endingOnSignal = false;
    ProblemHandler m_previousProblemHandler;
    // Made at the first build. Going with the window, it stops a compiler still running and
    // puts the earlier installer back, after the settings were written.
    std::unique_ptr<BuildSession> m_build;
    QString m_lastMapPackPath;
    FindingsWindow *m_findings = nullptr;
    FindingsWindow &findingsWindow();
    void showRefusal(const PackReview &review);
    // Try installer...: the installer the editor built last, the trial and its window.
    void connectTrialCommand();
    void noteBuiltInstaller(const QString &installer);
    void holdForTrial(bool hold);
    void buildForTrial();
    void trialBuildFinished(CompileResult result);
    void startTrial(const QString &installer);
    void stopTrial();
    void showTrialConsole();
    void trialFinished(const TrialResult &result);
    TrialWindow &trialWindow();
    void showTrialNode(const QString &path, int absoluteIndex);
    QString m_savingInstaller; // the installer a Save map pack build writes
    // Last, so that it goes first: a running trial is stopped and its machine removed.
    std::unique_ptr<TrialState> m_trial;
};

} // namespace tervelle
