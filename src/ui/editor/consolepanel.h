#pragma once

#include "mappack/compiler.h"

#include <QFrame>
#include <QStringList>

class QFont;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace tervelle {

class Dialogs;

// `pnlCompile`: the build console, lying over the bottom of the window while it is shown. Its
// lines stay across builds until Clear.
class ConsolePanel : public QFrame, public ConsoleSink
{
    Q_OBJECT

public:
    ConsolePanel(Dialogs &dialogs, QWidget *parent);

    // What the window colours and orders for the keyboard.
    QLabel *title() const { return lblCompile; }
    QPlainTextEdit *text() const { return lstCompile; }

    static constexpr int DefaultHeight = 136;
    // Lines shown per turn of the event loop, so a flood of output never holds the window.
    static constexpr qsizetype LinesPerTurn = 4000;

    // Kept at once and shown in batches on the next turns of the event loop: laying out the
    // text per line would not keep up with a compiler writing fast.
    void appendConsoleLine(const QString &line) override;
    // Every line, those still waiting to be shown included; a line may hold LF characters.
    const QStringList &lines() const { return m_lines; }
    // True while lines are waiting to be shown.
    bool hasPendingLines() const { return m_shown < m_lines.size(); }

    // Show console: the panel shown with the focus in the text.
    void showConsole();
    void mnuCompileClearClick();
    void mnuCompileSaveToFileClick();
    // The text has lost the focus to another control of the window: the panel goes.
    void lstCompileExit();

    // Lays out the title and the text; run also while hidden, so the console is ready to show.
    void pnlCompileResize();

    // The height the map maker gave it by dragging its top edge, kept within the window.
    void setConsoleHeight(int height);
    static constexpr int MinimumHeight = 60;

signals:
    // Dragged to a new height: the window keeps it at its bottom edge.
    void heightChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void scheduleShow();
    void showPendingLines();
    void focusChanged(QWidget *old, QWidget *now);

    QLabel *lblCompile = nullptr;
    QPlainTextEdit *lstCompile = nullptr;
    QMenu *pmnuCompile = nullptr;
    QAction *mnuCompileSaveToFile = nullptr;
    QAction *mnuCompileClear = nullptr;

    Dialogs &m_dialogs;
    QStringList m_lines;
    qsizetype m_shown = 0; // lines already in lstCompile
    bool m_showQueued = false;
    bool m_fontChosen = false;
    QString m_lastSavePath;
    QWidget *m_grip = nullptr;
};

// What "fixed pitch" means for the console: "i", "W" and "0" advance alike. Font files' own flag
// is not to be trusted (some one-width fonts, with a few double-width signs, say they are not).
bool glyphsOfOneWidth(const QFont &font);

} // namespace tervelle
