#include "ui/editor/resourcespanel.h"

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "core/pathparts.h"
#include "project/folderscanjob.h"
#include "project/projectmodel.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/resourcesmodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace tervelle {

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

ResourcesPanel::ResourcesPanel(const ProjectModel &project, Settings &settings, Dialogs &dialogs,
                               SelectDirectory selectDirectory, QWidget *parent)
    : ContentPanel(QStringLiteral("pnlResources"), QStringLiteral("lblResources"), parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
{
    this->selectDirectory = std::move(selectDirectory);
    setMinimumSize(150, 100);
    title()->setText(lang(LangKey::lblResources_Caption));
    makeEditMenu();
    makeList(project);
    connectEditMenu();
}

// The label-menu and its items, disabled until the window enables the panel.
void ResourcesPanel::makeEditMenu()
{
    mnuResourcesEdit = addLabelMenu(QStringLiteral("pnlResourcesMenu"), QStringLiteral("mnuResourcesEdit"),
                                    QStringLiteral("pmnuResourcesEdit"), &pmnuResourcesEdit);
    mnuResourcesEdit->setCaption(lang(LangKey::mnuResourcesEdit_Caption));
    mnuResourcesEditAdd =
        addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAdd"), LangKey::mnuResourcesEdit_Add_Caption);
    mnuResourcesEditAddDir = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAddDir"),
                                         LangKey::mnuResourcesEdit_AddDir_Caption);
    mnuResourcesEditAddSubDirs = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditAddSubDirs"),
                                             LangKey::mnuResourcesEdit_AddSubDirs_Caption);
    mnuResourcesEditRename = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditRename"),
                                         LangKey::mnuResourcesEdit_Rename_Caption);
    mnuResourcesEditDelete = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditDelete"),
                                         LangKey::mnuResourcesEdit_Delete_Caption);
    mnuResourcesEditClear = addMenuItem(pmnuResourcesEdit, QStringLiteral("mnuResourcesEditClear"),
                                        LangKey::mnuResourcesEdit_Clear_Caption);
    for (QAction *item : items())
        item->setEnabled(false);
}

// The list of files found, with the selection that enables Rename and Delete.
void ResourcesPanel::makeList(const ProjectModel &project)
{
    m_model = new ResourcesModel(project, this);
    m_model->setTitles(lang(LangKey::lstResources_Column1_Name), lang(LangKey::lstResources_Column2_Name));
    lstResources = new QTreeView(this);
    lstResources->setObjectName(QStringLiteral("lstResources"));
    lstResources->setModel(m_model);
    lstResources->setRootIsDecorated(false);
    lstResources->setItemsExpandable(false);
    lstResources->setUniformRowHeights(true);
    lstResources->setSortingEnabled(false);
    lstResources->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstResources->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstResources->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstResources->setIconSize(QSize(16, 16));
    lstResources->setDragEnabled(true);
    lstResources->setDefaultDropAction(Qt::CopyAction);
    // Drops from the desktop are handled here; the view's own drop handling stays out.
    lstResources->setAcceptDrops(true);
    lstResources->viewport()->installEventFilter(this);
    lstResources->setAccessibleName(title()->text());
    // The path column takes the rest and may shrink in a narrow column.
    lstResources->header()->setStretchLastSection(false);
    lstResources->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lstResources->setColumnWidth(0, 90);
    connect(lstResources->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResourcesPanel::lstResourcesSelectItem);
    // A reset of the list (New, Clear) drops the selection without telling the selection's
    // listeners.
    connect(m_model, &QAbstractItemModel::modelReset, this, &ResourcesPanel::lstResourcesSelectItem);
}

// The items' commands, and the keys of the two that act on the list's selection.
void ResourcesPanel::connectEditMenu()
{
    connect(mnuResourcesEditAdd, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditAddClick);
    connect(mnuResourcesEditAddDir, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditAddDirClick);
    connect(mnuResourcesEditAddSubDirs, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditAddSubDirsClick);
    connect(mnuResourcesEditRename, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditRenameClick);
    connect(mnuResourcesEditDelete, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditDeleteClick);
    connect(mnuResourcesEditClear, &QAction::triggered, this, &ResourcesPanel::mnuResourcesEditClearClick);
    mnuResourcesEditDelete->setShortcut(QKeySequence::Delete);
    mnuResourcesEditDelete->setShortcutContext(Qt::WidgetShortcut);
    lstResources->addAction(mnuResourcesEditDelete);
    mnuResourcesEditRename->setShortcut(QKeySequence(Qt::Key_F2));
    mnuResourcesEditRename->setShortcutContext(Qt::WidgetShortcut);
    lstResources->addAction(mnuResourcesEditRename);
}

QList<QAction *> ResourcesPanel::items() const
{
    return {mnuResourcesEditAdd,    mnuResourcesEditAddDir, mnuResourcesEditAddSubDirs,
            mnuResourcesEditRename, mnuResourcesEditDelete, mnuResourcesEditClear};
}

void ResourcesPanel::ResourcesMenuChangeEnabled(bool enabled)
{
    for (QAction *item : items())
        item->setEnabled(enabled);
    mnuResourcesEdit->setEnabled(enabled);
}

void ResourcesPanel::pnlResourcesChangeEnabled(bool enabled)
{
    lstResources->setEnabled(enabled);
    ResourcesMenuChangeEnabled(enabled);
}

void ResourcesPanel::panelResize()
{
    layoutMainControl(lstResources);
}

void ResourcesPanel::lstResourcesSelectItem()
{
    const bool any = lstResources->selectionModel()->hasSelection();
    mnuResourcesEditDelete->setEnabled(any);
    mnuResourcesEditRename->setEnabled(any);
}

QVector<AddResourcesOperation::Resource> ResourcesPanel::selectedResources() const
{
    QModelIndexList rows = lstResources->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QVector<AddResourcesOperation::Resource> resources;
    resources.reserve(rows.size());
    for (const QModelIndex &row : std::as_const(rows)) {
        const ResourceEntry &entry = m_model->list().entry(row.row());
        resources.append({entry.name, entry.fullPath});
    }
    return resources;
}

void ResourcesPanel::mnuResourcesEditAddClick()
{
    // The game's folder the first time; from then on the dialog stays where files were chosen.
    const FileDialogRequest request = fileDialogRequest(
        {LangKey::dlgResources_Title, LangKey::dlgResources_Filter, LangKey::dlgResources_FilterIndex},
        m_dialogOpened ? m_dialogFolder : m_settings.WormsDir);
    m_dialogOpened = true;
    m_dialogFolder = request.folder;
    const QStringList chosen = m_dialogs.openFiles(request, true);
    if (chosen.isEmpty())
        return;
    m_dialogFolder = QFileInfo(chosen.first()).absolutePath();
    for (const QString &path : chosen) {
        // Regular files only, as a folder scan takes them: a FIFO or device chosen by mistake
        // would block the build that copies it.
        if (QFileInfo(path).isFile())
            m_model->list().AddNewResource(QDir::toNativeSeparators(path));
    }
}

void ResourcesPanel::mnuResourcesEditAddDirClick()
{
    addFolderCommand(false);
}

void ResourcesPanel::mnuResourcesEditAddSubDirsClick()
{
    addFolderCommand(true);
}

void ResourcesPanel::addFolderCommand(bool recursive)
{
    if (m_scanning)
        return;
    QString folder;
    if (!selectDirectory || !selectDirectory(lang(LangKey::dlgResourcesDir_Title), folder))
        return;
    // A virtual item gives no path; a folder that went meanwhile is no folder either.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    m_settings.LastDir = folder;
    scanFolder(folder, recursive);
}

void ResourcesPanel::scanFolder(const QString &folder, bool recursive)
{
    if (m_scanning)
        return;
    m_scanning = true;
    m_stopScan = false;
    m_closeAfterScan = false;
    m_scanCaption = title()->text();
    // Disabling the panels takes the focus away; it comes back to where it was.
    m_scanFocus = QApplication::focusWidget();
    emit scanning(true);
    m_model->holdInserts(true);
    // Esc and closing reach the window while the scan runs; nothing else of it is held.
    window()->installEventFilter(this);
    if (!m_scan) {
        m_scan = new FolderScanJob(this);
        connect(m_scan, &FolderScanJob::progressed, this, &ResourcesPanel::scanProgressed);
        connect(m_scan, &FolderScanJob::finished, this, &ResourcesPanel::scanEnded);
    }
    m_scan->start(m_model->list(), folder, recursive);
}

void ResourcesPanel::scanProgressed()
{
    m_model->flush();
    title()->setText(QStringLiteral("%1 (%2)").arg(m_scanCaption).arg(m_model->list().count()));
}

void ResourcesPanel::scanEnded()
{
    window()->removeEventFilter(this);
    m_model->holdInserts(false);
    // Folders that links lead to a second time are listed once; the caption says how many.
    title()->setText(
        m_scan->foldersLeftOut() == 0 ? m_scanCaption
                                      : m_scanCaption + QLatin1Char(' ')
                + lang(LangKey::message_Scan_FoldersLeftOut, {{'c', QString::number(m_scan->foldersLeftOut())}}));
    m_scanning = false;
    emit scanning(false);
    if (m_scanFocus)
        m_scanFocus->setFocus(Qt::OtherFocusReason);
    if (m_closeAfterScan) {
        m_droppedFolders.clear();
        window()->close();
        return;
    }
    if (m_stopScan)
        m_droppedFolders.clear();
    if (!m_droppedFolders.isEmpty())
        scanFolder(m_droppedFolders.takeFirst(), true);
}

void ResourcesPanel::stopScan()
{
    m_stopScan = true;
    m_scan->cancel();
}

bool ResourcesPanel::scanEvent(QObject *watched, QEvent *event)
{
    if (watched != window())
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        stopScan();
        return true;
    }
    if (event->type() == QEvent::Close) {
        // The window closes once the scan has handed over what it found.
        stopScan();
        m_closeAfterScan = true;
        event->ignore();
        return true;
    }
    return false;
}

bool ResourcesPanel::handleDrop(QEvent *event)
{
    auto *drop = static_cast<QDropEvent *>(event);
    // Rows dragged inside the list itself are not files from the desktop.
    const bool files = !m_model->isOwnDrag(drop->mimeData()) && !localFiles(drop->mimeData()).isEmpty();
    if (event->type() == QEvent::Drop) {
        if (files && !m_scanning) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            addDropped(drop->mimeData()->urls());
        } else {
            drop->ignore();
        }
        return true;
    }
    if (files && !m_scanning) {
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
    } else {
        drop->ignore();
    }
    return true;
}

bool ResourcesPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (m_scanning && scanEvent(watched, event))
        return true;
    if (watched == lstResources->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: return handleDrop(event);
        default: break;
        }
    }
    return ContentPanel::eventFilter(watched, event);
}

void ResourcesPanel::addDropped(const QList<QUrl> &urls)
{
    QStringList folders;
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        const QFileInfo info(path);
        // Only regular files: a FIFO or device in the pack would block the build that copies it.
        if (info.isFile())
            m_model->list().AddNewResource(path);
        else if (info.isDir())
            folders.append(path);
    }
    if (folders.isEmpty())
        return;
    // Scanned one after the other, the first once the drop has returned: the file manager
    // waits for the drop to finish. Esc stops the rest too.
    m_droppedFolders += folders;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_scanning && !m_droppedFolders.isEmpty())
                scanFolder(m_droppedFolders.takeFirst(), true);
        },
        Qt::QueuedConnection);
}

void ResourcesPanel::mnuResourcesEditRenameClick()
{
    const QModelIndexList rows = lstResources->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const int row = std::min_element(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) {
                        return a.row() < b.row();
                    })->row();
    ResourceList &list = m_model->list();
    const std::optional<QString> typed =
        m_dialogs.inputText(lang(LangKey::message_Rename_Caption), lang(LangKey::message_Rename_Promt),
                            withoutExtension(list.entry(row).name));
    if (!typed)
        return;
    try {
        list.rename(row, *typed);
    } catch (const UserError &e) {
        m_dialogs.showMessage(messageCaption(), e.message());
    }
}

void ResourcesPanel::mnuResourcesEditDeleteClick()
{
    const QModelIndexList rows = lstResources->selectionModel()->selectedRows();
    QVector<int> numbers;
    numbers.reserve(rows.size());
    for (const QModelIndex &row : rows)
        numbers.append(row.row());
    m_model->list().removeRows(numbers);
}

void ResourcesPanel::mnuResourcesEditClearClick()
{
    m_model->list().clear();
}

} // namespace tervelle
