#include "ui/editor/trialwindow.h"

#include "core/langload.h"
#include "ui/editor/windowaccessible.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace tervelle {

namespace {

enum Column { NameColumn, StateColumn, SizeColumn, NodeColumn, ColumnCount };

QString changeText(TrialEntry::Change change)
{
    switch (change) {
    case TrialEntry::Written: return lang(LangKey::frmTrial_State_Added);
    case TrialEntry::Replaced: return lang(LangKey::frmTrial_State_Replaced);
    case TrialEntry::Backup: return lang(LangKey::frmTrial_State_Backup);
    case TrialEntry::InstallerOwn: return lang(LangKey::frmTrial_State_InstallerOwn);
    case TrialEntry::FolderCreated: return lang(LangKey::frmTrial_State_FolderCreated);
    }
    return {};
}

QString placeCaption(TrialPlace place, const TrialResult &result)
{
    switch (place) {
    case TrialPlace::Game: return lang(LangKey::frmTrial_GameFolder, {{'f', result.gameFolder}});
    case TrialPlace::Launcher: return lang(LangKey::frmTrial_LauncherFolder, {{'f', result.launcherFolder}});
    case TrialPlace::Install: return lang(LangKey::frmTrial_InstallFolder, {{'f', result.installFolder}});
    }
    return {};
}

QList<QStandardItem *> row(const QIcon &icon, const QString &name)
{
    QList<QStandardItem *> items;
    for (int column = 0; column < ColumnCount; ++column) {
        auto *item = new QStandardItem;
        item->setEditable(false);
        items << item;
    }
    items[NameColumn]->setIcon(icon);
    items[NameColumn]->setText(name);
    return items;
}

} // namespace

TrialWindow::TrialWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmTrial"));
    setWindowTitle(lang(LangKey::frmTrial_Caption));
    accessibleAsWindow(this);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblTrialSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_model = new QStandardItemModel(this);
    trvTrial = new QTreeView(this);
    trvTrial->setObjectName(QStringLiteral("trvTrial"));
    trvTrial->setModel(m_model);
    trvTrial->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trvTrial->setSelectionMode(QAbstractItemView::SingleSelection);
    trvTrial->setSelectionBehavior(QAbstractItemView::SelectRows);
    trvTrial->setUniformRowHeights(true);
    trvTrial->setAccessibleName(windowTitle());
    // Enter and a double-click both activate.
    connect(trvTrial, &QTreeView::activated, this, &TrialWindow::rowActivated);
    cmdClose = new QPushButton(lang(LangKey::frmCheck_cmdClose_Caption), this);
    cmdClose->setObjectName(QStringLiteral("cmdTrialClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(trvTrial, 1);
    layout->addLayout(buttons);
    resize(760, 460);
}

void TrialWindow::showResult(const TrialResult &result)
{
    fill(result);
    show();
    raise();
    activateWindow();
    trvTrial->setFocus();
}

QStandardItem *TrialWindow::folderItem(QStandardItem *placeRoot, const QString &folderPath)
{
    QStandardItem *at = placeRoot;
    if (folderPath.isEmpty())
        return at;
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString &name : folderPath.split(QLatin1Char('/'))) {
        QStandardItem *found = nullptr;
        for (int i = 0; i < at->rowCount() && !found; ++i) {
            QStandardItem *child = at->child(i, NameColumn);
            if (child->hasChildren() || child->data(Qt::UserRole).toBool()) {
                if (child->text().compare(name, Qt::CaseInsensitive) == 0)
                    found = child;
            }
        }
        if (!found) {
            QList<QStandardItem *> items = row(folderIcon, name);
            items[NameColumn]->setData(true, Qt::UserRole); // a folder, also while empty
            at->appendRow(items);
            found = items[NameColumn];
        }
        at = found;
    }
    return at;
}

void TrialWindow::fill(const TrialResult &result)
{
    m_model->clear();
    m_model->setHorizontalHeaderLabels({lang(LangKey::frmTrial_Column1_Name), lang(LangKey::frmTrial_Column2_Name),
                                        lang(LangKey::frmTrial_Column3_Name), lang(LangKey::frmTrial_Column4_Name)});
    QStyle *look = style();
    const QIcon added = look->standardIcon(QStyle::SP_FileIcon);
    const QIcon replaced = look->standardIcon(QStyle::SP_BrowserReload);
    const QIcon stays = look->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon removed = look->standardIcon(QStyle::SP_TrashIcon);
    const QIcon mismatchIcon = look->standardIcon(QStyle::SP_MessageBoxCritical);
    QStandardItem *root = m_model->invisibleRootItem();

    // What went wrong comes first: that is what the map maker has to act on.
    if (!result.mismatches.empty()) {
        QList<QStandardItem *> heading = row(mismatchIcon, lang(LangKey::frmTrial_Mismatches));
        for (const TrialMismatch &mismatch : result.mismatches) {
            QList<QStandardItem *> items = row(mismatchIcon, mismatchText(mismatch));
            items[NodeColumn]->setText(mismatch.node);
            for (const TrialEntry &entry : result.entries) {
                if (!mismatch.node.isEmpty() && entry.node == mismatch.node) {
                    items[NameColumn]->setData(entry.node, NodePathRole);
                    items[NameColumn]->setData(entry.absoluteIndex, AbsoluteIndexRole);
                    break;
                }
            }
            heading[NameColumn]->appendRow(items);
        }
        root->appendRow(heading);
    }

    int addedCount = 0, replacedCount = 0, staysCount = 0, removedCount = 0;
    for (TrialPlace place : {TrialPlace::Game, TrialPlace::Launcher, TrialPlace::Install}) {
        QStandardItem *placeRoot = nullptr;
        for (const TrialEntry &entry : result.entries) {
            if (entry.place != place)
                continue;
            if (!placeRoot) {
                QList<QStandardItem *> items =
                    row(look->standardIcon(QStyle::SP_DriveHDIcon), placeCaption(place, result));
                root->appendRow(items);
                placeRoot = items[NameColumn];
            }
            if (entry.change == TrialEntry::FolderCreated) {
                QStandardItem *folder = folderItem(placeRoot, entry.path);
                QStandardItem *parent = folder->parent() ? folder->parent() : root;
                parent->child(folder->row(), StateColumn)
                    ->setText(changeText(entry.change) + QStringLiteral("; ") + fateText(entry));
                parent->child(folder->row(), StateColumn)
                    ->setIcon(entry.after == TrialEntry::Removed ? removed : stays);
                continue;
            }
            const QString folderPath = entry.path.section(QLatin1Char('/'), 0, -2);
            const QString name = entry.path.section(QLatin1Char('/'), -1);
            QList<QStandardItem *> items = row(entry.change == TrialEntry::Replaced ? replaced : added, name);
            QString state = changeText(entry.change);
            if (entry.change == TrialEntry::Replaced) {
                state = entry.backup.isEmpty() ? lang(LangKey::frmTrial_State_ReplacedNoBackup)
                                               : state + QLatin1Char(' ') + windowsPath(entry.backup);
            }
            items[StateColumn]->setText(state + QStringLiteral("; ") + fateText(entry));
            items[StateColumn]->setIcon(entry.after == TrialEntry::Removed ? removed : stays);
            items[SizeColumn]->setText(QLocale().formattedDataSize(entry.size));
            items[NodeColumn]->setText(entry.node);
            if (!entry.node.isEmpty()) {
                items[NameColumn]->setData(entry.node, NodePathRole);
                items[NameColumn]->setData(entry.absoluteIndex, AbsoluteIndexRole);
            }
            folderItem(placeRoot, folderPath)->appendRow(items);

            if (entry.change == TrialEntry::Written)
                ++addedCount;
            else if (entry.change == TrialEntry::Replaced)
                ++replacedCount;
            if (entry.after == TrialEntry::Removed)
                ++removedCount;
            else
                ++staysCount;
        }
    }

    QString verdict;
    if (result.outcome != TrialResult::Done)
        verdict = result.failure;
    else
        verdict = result.matched() ? lang(LangKey::frmTrial_Matched) : lang(LangKey::frmTrial_NotMatched);
    QString counts = lang(LangKey::frmTrial_Summary,
                          {{'a', QString::number(addedCount)},
                           {'r', QString::number(replacedCount)},
                           {'s', QString::number(staysCount)},
                           {'u', QString::number(removedCount)},
                           {'m', QString::number(result.mismatches.size())}});
    QString text = verdict + QLatin1Char('\n') + counts;
    if (result.outcome == TrialResult::Done && result.mirroredGame.isEmpty())
        text += QLatin1Char('\n') + lang(LangKey::frmTrial_NoGameFolder);
    lblSummary->setText(text);
    lblSummary->setAccessibleName(text);

    trvTrial->expandAll();
    trvTrial->header()->setSectionResizeMode(NameColumn, QHeaderView::ResizeToContents);
    trvTrial->header()->setSectionResizeMode(StateColumn, QHeaderView::ResizeToContents);
    if (m_model->rowCount() > 0)
        trvTrial->setCurrentIndex(m_model->index(0, 0));
}

void TrialWindow::rowActivated(const QModelIndex &index)
{
    const QModelIndex name = index.siblingAtColumn(NameColumn);
    const QString node = name.data(NodePathRole).toString();
    const int absoluteIndex = name.data(AbsoluteIndexRole).toInt();
    if (!node.isEmpty() && name.data(AbsoluteIndexRole).isValid())
        emit nodeRequested(node, absoluteIndex);
}

void TrialWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc closes it as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace tervelle
