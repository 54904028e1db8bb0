#include "ui/editor/frmeditor.h"

#include "core/common.h"
#include "core/langload.h"
#include "mappack/buildsession.h"
#include "project/keyvalue.h"
#include "ui/dialogs/qtdialogs.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/panelsplitter.h"
#include "ui/editor/previewpanel.h"
#include "ui/editor/propertiespanel.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"
#include "ui/editor/trialcommand.h"
#include "ui/editor/viewfocus.h"
#include "ui/editor/windowaccessible.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

namespace tervelle {

namespace {

constexpr int MinColumnWidth = 200;
constexpr int SplitterWidth = PanelSplitter::Thickness;

// "/p" and "/f" replaced in one pass, so a placeholder inside the pack title stays as typed.
QString fillCaption(const QString &text, const QString &title, const QString &file)
{
    QString result;
    result.reserve(text.size() + title.size() + file.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('/') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('p')) {
                result += title;
                ++i;
                continue;
            }
            if (next == QLatin1Char('f') && !file.isNull()) {
                result += file;
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

} // namespace

TfrmEditor::TfrmEditor(Settings &settings, Dialogs *dialogs, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_document(new ProjectDocument(this)), m_project(&m_document->model())
{
    setObjectName(QStringLiteral("frmEditor"));
    accessibleAsWindow(this);
    if (dialogs) {
        m_dialogs = dialogs;
    } else {
        m_ownDialogs = std::make_unique<QtDialogs>(this);
        m_dialogs = m_ownDialogs.get();
    }
    FormCreate();
}

TfrmEditor::~TfrmEditor()
{
    // A pack review may still read the project on its thread; the project goes first otherwise.
    delete m_findings;
    // A build for a trial is stopped here, while the window can still hear it end; a running
    // trial stops as its state goes.
    if (m_trial) {
        m_trial->stopping = true;
        m_trial->build.reset();
    }
    FormDestroy();
}

void TfrmEditor::FormCreate()
{
    showProblems();
    setWindowTitle(lang(LangKey::frmEditor_Caption));
    createControls();
    m_maps->windowItems().mnuFileHelp->setVisible(lang(LangKey::mnuFile_Help_Visible) == QLatin1String("1"));
    for (ContentPanel *panel :
         std::initializer_list<ContentPanel *>{m_maps, m_header, m_properties, m_files, m_resources})
        panel->layoutLabelMenus();
    // The colour scheme came with the controls: the columns and the console carry it.
    connectFileCommands();
    connectHistory();
    connect(m_project, &ProjectModel::projectReset, this, &TfrmEditor::projectWasReset);
    connect(m_project, &ProjectModel::headerChanged, this, &TfrmEditor::headerWasChanged);
    restoreLayout();
    m_properties->ChangeTexturesDir();
    NewFile();
}

void TfrmEditor::createControls()
{
    setMinimumSize(3 * MinColumnWidth + 2 * SplitterWidth, 608);
    makeColumns();
    makePanels();
    connectPanels();
    placePanels();

    m_console = new ConsolePanel(*m_dialogs, this);
    m_console->raise();
    connect(m_console, &ConsolePanel::heightChanged, this, &TfrmEditor::FormResize);

    setKeyboardOrder();
    connectLabelMenus();
}

// The six panels, each in its column; three of them ask the window's folder picker.
void TfrmEditor::makePanels()
{
    const auto selectDirectory = [this](const QString &caption, QString &folder) {
        return SelectDirectory(caption, QString(), folder);
    };
    m_properties = new PropertiesPanel(*m_document, m_settings, *m_dialogs, selectDirectory, pnlMid);
    m_maps = new MapsPanel(*m_document, pnlLeft);
    m_header = new HeaderPanel(*m_document, *m_dialogs, pnlLeft);
    // The resources panel comes later; the files panel asks it only once the window runs.
    FilesPanel::Links links;
    links.selectedResources = [this] { return m_resources->selectedResources(); };
    links.isResourcesDrag = [this](const QMimeData *data) { return m_resources->listModel()->isOwnDrag(data); };
    links.selectDirectory = selectDirectory;
    m_files = new FilesPanel(*m_document, *m_dialogs, std::move(links), pnlMid);
    m_resources = new ResourcesPanel(*m_project, m_settings, *m_dialogs, selectDirectory, pnlRight);
    m_preview = new PreviewPanel(pnlRight);
}

// Two panels to a column, one above the other.
void TfrmEditor::placePanels()
{
    pnlLeft->addWidget(m_maps);
    pnlLeft->addWidget(m_header);
    pnlMid->addWidget(m_properties);
    pnlMid->addWidget(m_files);
    pnlRight->addWidget(m_resources);
    pnlRight->addWidget(m_preview);
    arrangeColumns();
}

QList<std::pair<ContentPanel *, QAbstractItemView *>> TfrmEditor::panelLists() const
{
    return {{m_maps, m_maps->list()},
            {m_header, m_header->list()},
            {m_properties, m_properties->list()},
            {m_files, m_files->list()},
            {m_resources, m_resources->list()}};
}

void TfrmEditor::setKeyboardOrder()
{
    // Tab goes through the panels as they stand, column by column, each label-menu before its list.
    QList<QWidget *> tabOrder;
    for (const auto &[panel, list] : panelLists()) {
        for (LabelMenu *menu : panel->labelMenus())
            tabOrder << menu;
        tabOrder << list;
    }
    tabOrder << m_preview->text() << m_preview->pictureBox() << m_console->text();
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    // Five label-menus read "Edit": the panel's title tells a screen reader's user which is which.
    for (ContentPanel *panel :
         std::initializer_list<ContentPanel *>{m_maps, m_header, m_properties, m_files, m_resources}) {
        for (LabelMenu *menu : panel->labelMenus())
            menu->setAccessibleDescription(panel->title()->text());
    }
    m_preview->text()->setAccessibleName(m_preview->title()->text());
    // Panels, their menu strips and the columns are named after the captions they carry, so a
    // screen reader's user moving through them hears where they are rather than "frame".
    for (ContentPanel *panel :
         std::initializer_list<ContentPanel *>{m_maps, m_header, m_properties, m_files, m_resources, m_preview}) {
        panel->setAccessibleName(panel->title()->text());
        if (panel->menuStrip())
            panel->menuStrip()->setAccessibleName(panel->title()->text());
    }
    m_console->setAccessibleName(m_console->title()->text());
    const auto columnName = [](const ContentPanel *top, const ContentPanel *bottom) {
        return top->title()->text() + QStringLiteral(", ") + bottom->title()->text();
    };
    pnlLeft->setAccessibleName(columnName(m_maps, m_header));
    pnlMid->setAccessibleName(columnName(m_properties, m_files));
    pnlRight->setAccessibleName(columnName(m_resources, m_preview));
    m_preview->pictureBox()->setAccessibleName(m_preview->title()->text());
}

// A label-menu's click hands the focus to its panel's list, which takes it without choosing.
void TfrmEditor::connectLabelMenus()
{
    for (const auto &[panel, list] : panelLists()) {
        QAbstractItemView *view = list;
        for (LabelMenu *label : panel->labelMenus())
            connect(label, &LabelMenu::activated, this, [this, view] { labelMenuClicked(view); });
        focusWithoutChoosing(view);
    }
}

// The panels never call each other: what one does that another shows travels here.
void TfrmEditor::connectPanels()
{
    connect(m_maps, &MapsPanel::gridCommitWanted, m_properties, &PropertiesPanel::commitGrid);
    connect(m_maps, &MapsPanel::mapShown, m_properties, &PropertiesPanel::showMap);
    connect(m_files, &FilesPanel::nodeShown, m_preview, [this](TreeNode *node) { m_preview->UpdatePreview(node); });
    // A node about to go takes the preview of it (or of anything below it) along: a replaced
    // or deleted file is no longer what the preview shows.
    connect(m_project, &ProjectModel::nodeAboutToBeRemoved, m_preview, &PreviewPanel::nodeAboutToBeRemoved);
    connect(m_resources, &ResourcesPanel::scanning, this, &TfrmEditor::holdCommands);
}

void TfrmEditor::labelMenuClicked(QWidget *mainControl)
{
    m_console->hide();
    if (mainControl->isEnabled())
        mainControl->setFocus(Qt::PopupFocusReason);
}

void TfrmEditor::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    commitGrid();
    // Closing the window has dealt with the copy already; the end of the program without a
    // close (a termination signal) has not.
    if (!m_closeSettled)
        keepDiscardedProject();
    SaveSettings(m_settings);
    storeLayout();
    setProblemHandler(std::move(m_previousProblemHandler));
}

void TfrmEditor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutColumns();
    FormResize();
}

void TfrmEditor::FormResize()
{
    m_console->setGeometry(0, height() - m_console->height(), width(), m_console->height());
    m_console->raise();
    m_console->pnlCompileResize();
    m_files->pnlFilesResize();
}

void TfrmEditor::PanelsChangeEnabled(bool enabled)
{
    pnlRight->setEnabled(enabled);
    pnlMid->setEnabled(enabled);
    pnlLeft->setEnabled(enabled);
    m_panelsEnabled = enabled;
    updateHistoryItems();
}

void TfrmEditor::holdCommands(bool hold)
{
    if (hold) {
        PanelsChangeEnabled(false);
        for (QAction *action : actions()) {
            if (action->isEnabled()) {
                action->setEnabled(false);
                m_heldCommands.append(action);
            }
        }
        return;
    }
    for (QAction *action : std::as_const(m_heldCommands))
        action->setEnabled(true);
    m_heldCommands.clear();
    PanelsChangeEnabled(true);
}

void TfrmEditor::projectWasReset(ResetKind)
{
    // New and Open alike leave nothing selected, so nothing of the old grid can be committed.
    m_maps->showNewProject();
    m_properties->resetGrid();
    m_header->showNewProject();
    m_files->showNewProject();
    m_resources->pnlResourcesChangeEnabled(true);
    m_properties->pnlPropertiesChangeEnabled(false);
    // An opened project keeps the resources list and its selection, which Delete and Rename
    // follow: with nothing selected they have nothing to act on.
    m_resources->lstResourcesSelectItem();
    UpdateProjectCaption();
}

void TfrmEditor::headerWasChanged()
{
    // An undo or redo replays a typed title one keystroke at a time: the caption (and what
    // screen readers hear of it) follows once, when the step is made.
    if (m_document->isReplaying()) {
        m_captionPending = true;
        return;
    }
    // A header without an "[english]" row leaves the caption as it was.
    if (FindKey(m_project->headerRows(), QStringLiteral("[english]")) >= 0)
        UpdateProjectCaption();
}

void TfrmEditor::historyMoved()
{
    if (!m_captionPending)
        return;
    m_captionPending = false;
    headerWasChanged();
}

void TfrmEditor::UpdateProjectCaption()
{
    const QString title = m_project->packTitle();
    const QString &fileName = m_document->fileName();
    if (fileName.isEmpty())
        m_caption = fillCaption(lang(LangKey::frmEditor_ProjectCaption), title, QString());
    else
        m_caption = fillCaption(lang(LangKey::frmEditor_ProjectFullCaption), title, fileName);
    showCaption();
}

void TfrmEditor::showCaption()
{
    // Qt's marker of unsaved changes, there exactly while the history is off its saved step.
    // In this order the title shown changes once: the mark needs its place in the title, and
    // goes before its place does.
    const bool modified = m_document->isModified();
    if (modified) {
        setWindowTitle(m_caption + QStringLiteral("[*]"));
        setWindowModified(true);
    } else {
        setWindowModified(false);
        setWindowTitle(m_caption);
    }
}

} // namespace tervelle
