#include "ui/editor/findingswindow.h"

#include "core/common.h"
#include "core/langload.h"
#include "project/projectmodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tervelle {

namespace {

QIcon severityIcon(const QStyle *style, Severity severity)
{
    switch (severity) {
    case Severity::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case Severity::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case Severity::Note: break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

// The project's changes arrive in bursts (a folder of files, a typed word): one review after
// the burst is enough.
constexpr int CheckAgainDelayMs = 400;

} // namespace

FindingsWindow::FindingsWindow(const ProjectModel &project, const Settings &settings, QWidget *parent)
    : QWidget(parent, Qt::Window), m_project(project), m_settings(settings)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(lang("[frmCheck.Caption]"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lstFindings = new QTreeWidget(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setColumnCount(3);
    lstFindings->setHeaderLabels(
        {lang("[lstFindings.Column1.Name]"), lang("[lstFindings.Column2.Name]"), lang("[lstFindings.Column3.Name]")});
    lstFindings->setRootIsDecorated(false);
    lstFindings->setUniformRowHeights(true);
    lstFindings->setAlternatingRowColors(true);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFindings->setAccessibleName(windowTitle());
    lstFindings->header()->setStretchLastSection(true);
    lstFindings->setWordWrap(false);
    lblFix = new QLabel(this);
    lblFix->setObjectName(QStringLiteral("lblFix"));
    lblFix->setWordWrap(true);
    lblFix->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdLocate = new QPushButton(lang("[mnuFilesEdit.LocateMissing.Caption]"), this);
    cmdLocate->setObjectName(QStringLiteral("cmdLocate"));
    cmdRefresh = new QPushButton(lang("[frmCheck.cmdRefresh.Caption]"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdClose = new QPushButton(lang("[frmCheck.cmdClose.Caption]"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdLocate);
    buttons->addStretch();
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(lstFindings, 1);
    layout->addWidget(lblFix);
    layout->addLayout(buttons);
    resize(760, 340);

    m_again = new QTimer(this);
    m_again->setSingleShot(true);
    m_again->setInterval(CheckAgainDelayMs);
    connect(m_again, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    // Enter and a double click go to the finding; the view's own activation differs between
    // styles (some take a single click, some emit it twice for a double click).
    lstFindings->installEventFilter(this);
    connect(lstFindings, &QTreeWidget::itemDoubleClicked, this, &FindingsWindow::activate);
    connect(lstFindings, &QTreeWidget::currentItemChanged, this, &FindingsWindow::currentChanged);
    connect(cmdRefresh, &QPushButton::clicked, this, &FindingsWindow::refresh);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdLocate, &QPushButton::clicked, this, [this] {
        emit locateMissingRequested();
        refresh();
    });

    connect(&project, &ProjectModel::projectReset, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::headerChanged, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::mapInserted, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::mapRemoved, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::mapChanged, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::nodeInserted, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::nodeRemoved, this, &FindingsWindow::projectChanged);
    connect(&project, &ProjectModel::nodeChanged, this, &FindingsWindow::projectChanged);
    // A removed node must not be gone to: the list waits for the next review without it.
    connect(&project, &ProjectModel::nodeAboutToBeRemoved, this, [this] {
        for (Finding &finding : m_review.findings) {
            if (finding.place.kind == FindingPlace::Node)
                finding.place.node = nullptr;
        }
    });
}

bool FindingsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFindings && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activate(lstFindings->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindingsWindow::projectChanged()
{
    if (isVisible())
        m_again->start();
}

void FindingsWindow::showReview(const PackReview &review, const QString &headline)
{
    m_again->stop();
    m_review = review;
    m_headline = headline;
    fill();
    show();
    raise();
    activateWindow();
    lstFindings->setFocus();
}

void FindingsWindow::refresh()
{
    m_again->stop();
    m_review = ReviewPack(m_project, m_settings.AppDir);
    m_headline.clear();
    fill();
}

void FindingsWindow::fill()
{
    lstFindings->clear();
    lblSummary->setText(m_headline.isEmpty() ? reviewSummary(m_review)
                                             : m_headline + QLatin1Char('\n') + reviewSummary(m_review));
    bool missing = false;
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(m_review.findings.size()));
    for (std::size_t i = 0; i < m_review.findings.size(); ++i) {
        const Finding &finding = m_review.findings[i];
        auto *item = new QTreeWidgetItem({severityText(finding.severity), finding.where, finding.message});
        item->setIcon(0, severityIcon(style(), finding.severity));
        item->setToolTip(2, finding.message + QLatin1Char('\n') + finding.fix);
        item->setData(0, Qt::UserRole, qulonglong(i));
        items.append(item);
        missing = missing || finding.kind == FindingClass::MissingSource;
    }
    lstFindings->addTopLevelItems(items);
    lstFindings->resizeColumnToContents(0);
    lstFindings->setColumnWidth(0, lstFindings->columnWidth(0) + 12);
    lstFindings->resizeColumnToContents(1);
    lstFindings->setColumnWidth(1, std::min(lstFindings->columnWidth(1), 280));
    cmdLocate->setEnabled(missing);
    if (!items.isEmpty())
        lstFindings->setCurrentItem(items.first());
    currentChanged();
}

void FindingsWindow::currentChanged()
{
    QTreeWidgetItem *item = lstFindings->currentItem();
    if (!item) {
        lblFix->clear();
        return;
    }
    lblFix->setText(m_review.findings[item->data(0, Qt::UserRole).toULongLong()].fix);
}

void FindingsWindow::activate(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const Finding &finding = m_review.findings[item->data(0, Qt::UserRole).toULongLong()];
    emit goToRequested(finding.place);
}

} // namespace tervelle
