#include "ui/editor/findingswindow.h"

#include "core/common.h"
#include "core/langload.h"
#include "project/projectmodel.h"
#include "ui/editor/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace tervelle {

namespace {

// The project's changes arrive in bursts (a folder of files, a typed word): one review after
// the burst is enough.
constexpr int CheckAgainDelayMs = 400;

enum Column { SeverityColumn, WhereColumn, MessageColumn, ColumnCount };

const char *const Alerting = "findingsAlert";

// The summary reads as an alert while it says why a build stopped, so that a screen reader
// speaks it when it appears rather than leaving it to be found.
class SummaryAccessible : public QAccessibleWidget
{
public:
    explicit SummaryAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        return widget()->property(Alerting).toBool() ? QAccessible::AlertMessage : QAccessible::StaticText;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *summaryFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QLabel") && object && object->objectName() == QLatin1String("lblSummary")
        && qobject_cast<FindingsWindow *>(object->parent()))
        return new SummaryAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

int severityIndex(Severity severity)
{
    switch (severity) {
    case Severity::Error: return 0;
    case Severity::Warning: return 1;
    case Severity::Note: break;
    }
    return 2;
}

} // namespace

FindingsModel::FindingsModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_severities = {severityText(Severity::Error), severityText(Severity::Warning), severityText(Severity::Note)};
    m_headers = {lang(LangKey::lstFindings_Column1_Name), lang(LangKey::lstFindings_Column2_Name),
                 lang(LangKey::lstFindings_Column3_Name)};
}

void FindingsModel::setReview(PackReview review)
{
    beginResetModel();
    m_review = std::move(review);
    endResetModel();
}

void FindingsModel::forgetNodes()
{
    for (Finding &finding : m_review.findings) {
        if (finding.place.kind == FindingPlace::Node)
            finding.place.node = nullptr;
    }
}

int FindingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_review.findings.size());
}

int FindingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Finding &finding = m_review.findings[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case SeverityColumn: return m_severities[std::size_t(severityIndex(finding.severity))];
        case WhereColumn: return finding.where;
        case MessageColumn:
            return finding.more > 0 ? finding.message + QLatin1Char(' ') + moreText(finding) : finding.message;
        default: return {};
        }
    case Qt::DecorationRole:
        if (index.column() == SeverityColumn)
            return m_icons[std::size_t(severityIndex(finding.severity))];
        return {};
    case Qt::ToolTipRole:
        if (index.column() == MessageColumn)
            return finding.message + QLatin1Char('\n') + finding.fix;
        return {};
    default: return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return m_headers[std::size_t(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

FindingsWindow::FindingsWindow(const ProjectModel &project, const Settings &settings, QWidget *parent)
    : QWidget(parent, Qt::Window), m_project(project), m_settings(settings)
{
    static const bool installed = [] {
        QAccessible::installFactory(summaryFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(lang(LangKey::frmCheck_Caption));
    setAttribute(Qt::WA_DeleteOnClose, false);
    accessibleAsWindow(this);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    m_model = new FindingsModel(this);
    m_model->setIcons({style()->standardIcon(QStyle::SP_MessageBoxCritical),
                       style()->standardIcon(QStyle::SP_MessageBoxWarning),
                       style()->standardIcon(QStyle::SP_MessageBoxInformation)});
    lstFindings = new QTableView(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setModel(m_model);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFindings->setAlternatingRowColors(true);
    lstFindings->setShowGrid(false);
    lstFindings->setWordWrap(false);
    lstFindings->setTabKeyNavigation(false);
    lstFindings->verticalHeader()->hide();
    lstFindings->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstFindings->horizontalHeader()->setHighlightSections(false);
    lstFindings->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstFindings->setAccessibleName(windowTitle());
    lblFix = new QLabel(this);
    lblFix->setObjectName(QStringLiteral("lblFix"));
    lblFix->setWordWrap(true);
    lblFix->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdLocate = new QPushButton(lang(LangKey::mnuFilesEdit_LocateMissing_Caption), this);
    cmdLocate->setObjectName(QStringLiteral("cmdLocate"));
    cmdRefresh = new QPushButton(lang(LangKey::frmCheck_cmdRefresh_Caption), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdClose = new QPushButton(lang(LangKey::frmCheck_cmdClose_Caption), this);
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
    // Checking again after an edit must not take the editor's panels from under the map maker's
    // hands, as holding them for a review on a thread would: it runs here, and with its bound
    // on findings it is short.
    connect(m_again, &QTimer::timeout, this, [this] {
        if (!isVisible())
            return;
        if (m_thread) {
            m_reviewAgain = true;
            return;
        }
        m_headline.clear();
        m_model->setReview(ReviewPack(m_project, m_settings.AppDir));
        fill();
    });
    // Enter and a double click go to the finding; the view's own activation differs between
    // styles (some take a single click, some emit it twice for a double click).
    lstFindings->installEventFilter(this);
    connect(lstFindings, &QAbstractItemView::doubleClicked, this, &FindingsWindow::activate);
    connect(lstFindings->selectionModel(), &QItemSelectionModel::currentChanged, this, &FindingsWindow::currentChanged);
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
    connect(&project, &ProjectModel::nodeAboutToBeRemoved, m_model, &FindingsModel::forgetNodes);
}

FindingsWindow::~FindingsWindow()
{
    if (m_thread)
        m_thread->wait();
}

bool FindingsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFindings && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activate(lstFindings->currentIndex());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindingsWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the window wherever the focus is in it, as it closes a dialog; the list and
    // the buttons leave it to the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindingsWindow::showEvent(QShowEvent *event)
{
    // Beside the editor the first time; after that where the map maker left it.
    if (!m_placed) {
        m_placed = true;
        placeBesideParent();
    }
    QWidget::showEvent(event);
}

void FindingsWindow::placeBesideParent()
{
    const QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    if (!main)
        return;
    const QScreen *screen = main->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QRect editor = main->frameGeometry();
    const QRect frame = frameGeometry();
    const int frameExtra = frame.width() - width();
    const int gap = 8;
    QPoint at;
    if (room.isNull() || editor.right() + gap + frame.width() <= room.right())
        at = QPoint(editor.right() + gap, editor.top());
    else if (editor.left() - gap - frame.width() >= room.left())
        at = QPoint(editor.left() - gap - frame.width(), editor.top());
    else // No room on either side: over the editor's lower right, where the panels end.
        at = QPoint(editor.right() - frame.width() - frameExtra, editor.bottom() - frame.height());
    if (!room.isNull()) {
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - frame.width())));
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - frame.height())));
    }
    move(at);
}

void FindingsWindow::projectChanged()
{
    if (isVisible())
        m_again->start();
}

void FindingsWindow::showReview(const PackReview &review, const QString &headline)
{
    m_again->stop();
    m_headline = headline;
    m_model->setReview(review);
    fill();
    show();
    raise();
    activateWindow();
    lstFindings->setFocus();
}

void FindingsWindow::startReview()
{
    show();
    raise();
    activateWindow();
    lstFindings->setFocus();
    refresh();
}

void FindingsWindow::refresh()
{
    m_again->stop();
    if (m_thread) {
        m_reviewAgain = true;
        return;
    }
    m_headline.clear();
    lblSummary->setText(lang(LangKey::frmCheck_Checking));
    cmdRefresh->setEnabled(false);
    cmdLocate->setEnabled(false);
    emit reviewRunning(true);
    const ProjectModel *project = &m_project;
    const QString appDir = m_settings.AppDir;
    m_thread.reset(QThread::create([this, project, appDir] {
        PackReview review = ReviewPack(*project, appDir);
        // Dropped when the window is gone by then.
        QMetaObject::invokeMethod(
            this, [this, review = std::move(review)]() mutable { reviewEnded(std::move(review)); },
            Qt::QueuedConnection);
    }));
    m_thread->start();
}

void FindingsWindow::reviewEnded(PackReview review)
{
    m_thread->wait();
    m_thread.reset();
    m_model->setReview(std::move(review));
    fill();
    emit reviewRunning(false);
    if (m_reviewAgain) {
        m_reviewAgain = false;
        refresh();
    }
}

void FindingsWindow::fill()
{
    const PackReview &review = m_model->review();
    lblSummary->setText(m_headline.isEmpty() ? reviewSummary(review)
                                             : m_headline + QLatin1Char('\n') + reviewSummary(review));
    lblSummary->setProperty(Alerting, !m_headline.isEmpty());
    if (!m_headline.isEmpty()) {
        QAccessibleEvent alert(lblSummary, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    const bool missing = std::any_of(review.findings.begin(), review.findings.end(),
                                     [](const Finding &f) { return f.kind == FindingClass::MissingSource; });
    cmdLocate->setEnabled(missing);
    cmdRefresh->setEnabled(true);
    fitColumns();
    if (m_model->rowCount() > 0)
        lstFindings->setCurrentIndex(m_model->index(0, 0));
    currentChanged();
}

void FindingsWindow::fitColumns()
{
    QHeaderView *header = lstFindings->horizontalHeader();
    header->setStretchLastSection(false);
    lstFindings->resizeColumnToContents(SeverityColumn);
    lstFindings->resizeColumnToContents(WhereColumn);
    header->resizeSection(WhereColumn, std::min(header->sectionSize(WhereColumn), 280));
    m_messageWidth = static_cast<QAbstractItemView *>(lstFindings)->sizeHintForColumn(MessageColumn);
    fitMessageColumn();
}

void FindingsWindow::fitMessageColumn()
{
    // The message column takes the room its texts need, and at least what is left of the view:
    // a long message scrolls sideways rather than being cut off.
    QHeaderView *header = lstFindings->horizontalHeader();
    const int left =
        lstFindings->viewport()->width() - header->sectionSize(SeverityColumn) - header->sectionSize(WhereColumn);
    header->resizeSection(MessageColumn, std::max(m_messageWidth, left));
}

void FindingsWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitMessageColumn();
}

void FindingsWindow::currentChanged()
{
    const QModelIndex current = lstFindings->currentIndex();
    if (!current.isValid()) {
        lblFix->clear();
        return;
    }
    lblFix->setText(m_model->review().findings[std::size_t(current.row())].fix);
}

void FindingsWindow::activate(const QModelIndex &index)
{
    if (!index.isValid() || isReviewing())
        return;
    const Finding &finding = m_model->review().findings[std::size_t(index.row())];
    emit goToRequested(finding.place);
    // The list stays in view beside the editor, so the next finding is one step away.
    raise();
}

} // namespace tervelle
