#include "ui/editor/consolepanel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "mappack/consolelog.h"
#include "ui/dialogs/dialogs.h"
#include "ui/editor/contentpanel.h"
#include "ui/editor/windowcolours.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>

namespace tervelle {

namespace {

// The console's top edge, dragged to change its height.
class ConsoleGrip : public QWidget
{
public:
    explicit ConsoleGrip(ConsolePanel *console) : QWidget(console), m_console(console)
    {
        setObjectName(QStringLiteral("grpCompile"));
        setCursor(Qt::SizeVerCursor);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        m_startY = event->globalPosition().toPoint().y();
        m_startHeight = m_console->height();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() & Qt::LeftButton)
            m_console->setConsoleHeight(m_startHeight + m_startY - event->globalPosition().toPoint().y());
    }

private:
    ConsolePanel *m_console;
    int m_startY = 0;
    int m_startHeight = 0;
};

} // namespace

ConsolePanel::ConsolePanel(Dialogs &dialogs, QWidget *parent) : QFrame(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("pnlCompile"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    // Not below the columns: the console takes the scheme itself.
    applyScheme(this, PanelBackground | SchemeText | WindowBackground);
    setAutoFillBackground(true);
    lblCompile = new QLabel(lang(LangKey::lblCompile_Caption), this);
    lblCompile->setObjectName(QStringLiteral("lblCompile"));
    lblCompile->setAlignment(Qt::AlignCenter);
    lblCompile->setAutoFillBackground(true);

    lstCompile = new QPlainTextEdit(this);
    lstCompile->setObjectName(QStringLiteral("lstCompile"));
    lstCompile->setReadOnly(true);
    lstCompile->setUndoRedoEnabled(false);
    lstCompile->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstCompile->setAccessibleName(lblCompile->text());

    pmnuCompile = new QMenu(this);
    pmnuCompile->setObjectName(QStringLiteral("pmnuCompile"));
    mnuCompileSaveToFile =
        addMenuItem(pmnuCompile, QStringLiteral("mnuCompileSaveToFile"), LangKey::mnuCompile_SaveToFile_Caption);
    mnuCompileClear = addMenuItem(pmnuCompile, QStringLiteral("mnuCompileClear"), LangKey::mnuCompile_Clear_Caption);
    connect(mnuCompileSaveToFile, &QAction::triggered, this, &ConsolePanel::mnuCompileSaveToFileClick);
    connect(mnuCompileClear, &QAction::triggered, this, &ConsolePanel::mnuCompileClearClick);
    lstCompile->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstCompile, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmnuCompile->popup(lstCompile->mapToGlobal(at)); });
    connect(qApp, &QApplication::focusChanged, this, &ConsolePanel::focusChanged);
    resize(width(), DefaultHeight);
    m_grip = new ConsoleGrip(this);
    hide();
}

void ConsolePanel::appendConsoleLine(const QString &line)
{
    m_lines << line;
    scheduleShow();
}

void ConsolePanel::scheduleShow()
{
    if (m_showQueued)
        return;
    m_showQueued = true;
    QTimer::singleShot(0, this, &ConsolePanel::showPendingLines);
}

void ConsolePanel::showPendingLines()
{
    m_showQueued = false;
    if (!hasPendingLines())
        return;
    const qsizetype count = std::min(LinesPerTurn, m_lines.size() - m_shown);
    // One block of text per batch: the document lays out once, not once per line.
    QString batch;
    for (qsizetype i = m_shown; i < m_shown + count; ++i) {
        if (i > m_shown)
            batch += QLatin1Char('\n');
        batch += m_lines[i];
    }
    m_shown += count;
    // Follows the end while the view is at the end, so a map maker can read back undisturbed.
    lstCompile->appendPlainText(batch);
    if (hasPendingLines())
        scheduleShow();
}

void ConsolePanel::showConsole()
{
    show();
    raise();
    lstCompile->setFocus(Qt::OtherFocusReason);
}

void ConsolePanel::mnuCompileClearClick()
{
    m_lines.clear();
    m_shown = 0;
    lstCompile->clear();
}

void ConsolePanel::mnuCompileSaveToFileClick()
{
    const std::optional<QString> chosen = m_dialogs.saveFile(
        fileDialogRequest({LangKey::dlgCompile_Title, LangKey::dlgCompile_Filter, LangKey::dlgCompile_FilterIndex},
                          m_lastSavePath, lang(LangKey::dlgCompile_DefaultExt)));
    if (!chosen)
        return;
    const QString path = consoleFileName(*chosen);
    m_lastSavePath = path;
    try {
        SaveConsoleToFile(path, m_lines);
    } catch (const UserError &e) {
        m_dialogs.showMessage(messageCaption(), e.message());
    }
}

void ConsolePanel::lstCompileExit()
{
    hide();
}

// Only a move to another control of this window counts as leaving: the console's own menu,
// a dialog or another application taking the focus leave it shown, since during a build it
// could not be shown again (the File menu is disabled then).
void ConsolePanel::focusChanged(QWidget *old, QWidget *now)
{
    if (!isVisible() || !old || !isAncestorOf(old))
        return;
    if (!now || now->window() != window() || isAncestorOf(now) || now == this)
        return;
    lstCompileExit();
}

void ConsolePanel::showEvent(QShowEvent *event)
{
    // Chosen on the first showing, not at start-up: checking the font loads it, and the console
    // starts hidden.
    if (!m_fontChosen) {
        m_fontChosen = true;
        QFont courier(QStringLiteral("Courier New"), 8);
        courier.setStyleHint(QFont::TypeWriter);
        QFont monospace(QStringLiteral("monospace"), 8);
        monospace.setStyleHint(QFont::Monospace);
        const QFont candidates[] = {courier, QFontDatabase::systemFont(QFontDatabase::FixedFont), monospace};
        const auto chosen = std::find_if(std::begin(candidates), std::end(candidates), glyphsOfOneWidth);
        lstCompile->setFont(chosen != std::end(candidates) ? *chosen : candidates[1]);
    }
    QFrame::showEvent(event);
}

void ConsolePanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    pnlCompileResize();
}

void ConsolePanel::pnlCompileResize()
{
    const int frame = frameWidth();
    lblCompile->setGeometry(frame, frame, width() - 2 * frame, ContentPanel::MenuStripTop - 4 - frame);
    lstCompile->setGeometry(8, 24, width() - 16, height() - 32);
    m_grip->setGeometry(0, 0, width(), 5);
    m_grip->raise();
}

void ConsolePanel::setConsoleHeight(int height)
{
    const int room = parentWidget() ? parentWidget()->height() - MinimumHeight : height;
    height = std::max(MinimumHeight, std::min(height, room));
    if (height == this->height())
        return;
    resize(width(), height);
    emit heightChanged();
}

bool glyphsOfOneWidth(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('i'));
    return width > 0 && metrics.horizontalAdvance(QLatin1Char('W')) == width
        && metrics.horizontalAdvance(QLatin1Char('0')) == width;
}

} // namespace tervelle
