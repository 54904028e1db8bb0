#pragma once

#include "core/langload.h"

#include <QFrame>

class QAction;
class QLabel;
class QMenu;

namespace tervelle {

class LabelMenu;

// One of the window's content panels: a lowered frame with a centred title label across its
// top and, for the panels with commands, a menu strip at (8, 24) holding label-menus. The
// subclasses lay out their own controls in `panelResize`, their resize handler.
class ContentPanel : public QFrame
{
    Q_OBJECT

public:
    ContentPanel(const QString &name, const QString &titleName, QWidget *parent);

    QLabel *title() const { return m_title; }
    QFrame *menuStrip() const { return m_strip; }
    const QList<LabelMenu *> &labelMenus() const { return m_labelMenus; }

    // Makes the menu strip (once) and appends a label-menu with its popup to it.
    LabelMenu *addLabelMenu(const QString &stripName, const QString &labelName, const QString &popupName,
                            QMenu **popup);
    // Sizes every label-menu to its caption plus 10 pixels, side by side from the strip's left.
    void layoutLabelMenus();

    static constexpr int MenuStripTop = 24;
    static constexpr int MenuStripHeight = 17;

protected:
    void resizeEvent(QResizeEvent *event) override;
    virtual void panelResize();
    // The common rule: the strip and the main control are 16 narrower than the panel, the main
    // control 48 lower.
    void layoutMainControl(QWidget *control, int top = 40);

private:
    QLabel *m_title = nullptr;
    QFrame *m_strip = nullptr;
    QList<LabelMenu *> m_labelMenus;
};

// Appends an item named `name` with its caption from the language table.
QAction *addMenuItem(QMenu *menu, const QString &name, LangKey caption);

} // namespace tervelle
