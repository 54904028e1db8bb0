// The window's columns and splitters, and the layout it remembers between runs.

#include "ui/editor/frmeditor.h"

#include "core/settingsstore.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/panelsplitter.h"
#include "ui/editor/propertiespanel.h"
#include "ui/editor/windowcolours.h"

#include <QGuiApplication>
#include <QScreen>

namespace tervelle {

namespace {

constexpr int MinColumnWidth = 200;
constexpr int MinColumnHeight = 400;
// Each bar in a column keeps at least this much on either side.
constexpr int MinPanelHeight = 100;

const QString GeometryKey = QStringLiteral("WindowGeometry");
// The splitters' states as saveState() gives them, in base64 and separated by commas: the
// columns, then each column.
const QString PanelLayoutKey = QStringLiteral("PanelLayout");
// What earlier versions kept instead: "left,middle,top left,top middle,top right" in pixels.
const QString PanelSizesKey = QStringLiteral("PanelSizes");
const QString ConsoleHeightKey = QStringLiteral("ConsoleHeight");

} // namespace

void TfrmEditor::makeColumns()
{
    // The middle and right columns share a splitter of their own: dragging the left bar then
    // leaves the middle column as wide as it was, and a narrowing window takes from the middle
    // column before the left one.
    m_columns = new PanelSplitter(QStringLiteral("splColumns"), Qt::Horizontal, this);
    applyScheme(m_columns, PanelBackground | SchemeText | WindowBackground);
    pnlLeft = new PanelSplitter(QStringLiteral("pnlLeft"), Qt::Vertical, m_columns);
    m_rightColumns = new PanelSplitter(QStringLiteral("splRightColumns"), Qt::Horizontal, m_columns);
    pnlMid = new PanelSplitter(QStringLiteral("pnlMid"), Qt::Vertical, m_rightColumns);
    pnlRight = new PanelSplitter(QStringLiteral("pnlRight"), Qt::Vertical, m_rightColumns);
    for (PanelSplitter *column : {pnlLeft, pnlMid, pnlRight}) {
        column->setMinimumSize(MinColumnWidth, MinColumnHeight);
        column->setAutoFillBackground(true);
    }
}

void TfrmEditor::arrangeColumns()
{
    m_columns->nameBar(1, QStringLiteral("splLeftMid"));
    m_rightColumns->nameBar(1, QStringLiteral("splMidRight"));
    pnlLeft->nameBar(1, QStringLiteral("splMapsHeader"));
    pnlMid->nameBar(1, QStringLiteral("splPropertiesFiles"));
    pnlRight->nameBar(1, QStringLiteral("splResourcesPreview"));
    for (QWidget *panel : std::initializer_list<QWidget *>{m_maps, m_header, m_properties, m_files})
        panel->setMinimumHeight(MinPanelHeight);
    // The sizes come with the layout kept from the last run, or the defaults (restoreLayout).
}

void TfrmEditor::askDefaultSizes()
{
    m_columns->askSizes({204, 0});
    m_rightColumns->askSizes({281, 0});
    for (PanelSplitter *column : {pnlLeft, pnlMid, pnlRight})
        column->askSizes({300, 0});
}

QList<PanelSplitter *> TfrmEditor::splitters() const
{
    return {m_columns, m_rightColumns, pnlLeft, pnlMid, pnlRight};
}

void TfrmEditor::layoutColumns()
{
    m_columns->setGeometry(rect());
}

bool TfrmEditor::restorePanelLayout(const QString &stored)
{
    const QStringList states = stored.split(QLatin1Char(','));
    const QList<PanelSplitter *> all = splitters();
    if (states.size() != all.size())
        return false;
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (!all[i]->restoreLayout(QByteArray::fromBase64(states[i].toLatin1()))) {
            askDefaultSizes();
            return false;
        }
    }
    return true;
}

bool TfrmEditor::restoreOldPanelSizes(const QString &stored)
{
    const QStringList sizes = stored.split(QLatin1Char(','));
    if (sizes.size() != 5)
        return false;
    int values[5];
    const int limits[5] = {m_columns->largestSize(), m_rightColumns->largestSize(), pnlLeft->largestSize(),
                           pnlMid->largestSize(), pnlRight->largestSize()};
    for (int i = 0; i < 5; ++i) {
        bool read = false;
        values[i] = sizes[i].toInt(&read);
        // Sizes no screen could show are ignored whole, as unreadable ones are.
        if (!read || values[i] < 0 || values[i] > limits[i])
            return false;
    }
    m_columns->askSizes({values[0], 0});
    m_rightColumns->askSizes({values[1], 0});
    pnlLeft->askSizes({values[2], 0});
    pnlMid->askSizes({values[3], 0});
    pnlRight->askSizes({values[4], 0});
    return true;
}

void TfrmEditor::restoreLayout()
{
    const SettingsStore store(SettingsStore::Key::Editor);
    // A layout kept by an earlier version is taken over until the new form has been written.
    if (!restorePanelLayout(store.readString(PanelLayoutKey)) && !restoreOldPanelSizes(store.readString(PanelSizesKey)))
        askDefaultSizes();
    bool heightRead = false;
    const int consoleHeight = store.readString(ConsoleHeightKey).toInt(&heightRead);
    if (heightRead && consoleHeight >= ConsolePanel::MinimumHeight && consoleHeight <= pnlLeft->largestSize())
        m_console->resize(m_console->width(), consoleHeight);
    const QByteArray geometry = QByteArray::fromBase64(store.readString(GeometryKey).toLatin1());
    if (!geometry.isEmpty() && restoreGeometry(geometry)) {
        keepOnScreen();
        return;
    }
    resize(746, 706);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmEditor::keepOnScreen()
{
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return;
    // A kept size larger than the screen (a crafted one takes gigabytes of memory) shrinks to
    // it, though never below the window's minimum; so what is written back is what is shown.
    const QRect available = shown->availableGeometry();
    const QSize bounded = size().boundedTo(available.size()).expandedTo(minimumSize());
    if (bounded != size())
        resize(bounded);
    if (!available.intersects(frameGeometry()))
        move(available.topLeft());
}

void TfrmEditor::storeLayout() const
{
    SettingsStore store(SettingsStore::Key::Editor);
    QStringList states;
    for (const PanelSplitter *splitter : splitters())
        states.append(QString::fromLatin1(splitter->saveState().toBase64()));
    store.writeString(PanelLayoutKey, states.join(QLatin1Char(',')));
    store.writeString(ConsoleHeightKey, QString::number(m_console->height()));
    store.writeString(GeometryKey, QString::fromLatin1(saveGeometry().toBase64()));
}

} // namespace tervelle
