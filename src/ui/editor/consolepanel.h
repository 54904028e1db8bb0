#pragma once

#include <QFrame>

class QLabel;
class QMenu;
class QPlainTextEdit;

namespace tervelle {

// `pnlCompile`: the build console, lying over the bottom of the window while it is shown.
class ConsolePanel : public QFrame
{
    Q_OBJECT

public:
    explicit ConsolePanel(QWidget *parent);

    QLabel *lblCompile = nullptr;
    QPlainTextEdit *lstCompile = nullptr;
    QMenu *pmnuCompile = nullptr;
    QAction *mnuCompileSaveToFile = nullptr;
    QAction *mnuCompileClear = nullptr;

    static constexpr int DefaultHeight = 136;

    // Lays out the title and the text; run also while hidden, so the console is ready to show.
    void pnlCompileResize();

protected:
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace tervelle
