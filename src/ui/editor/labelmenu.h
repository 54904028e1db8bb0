#pragma once

#include <QAbstractButton>

class QMenu;

namespace tervelle {

// A text label that behaves like a menu-bar entry: a left click (or Enter, Space or Down when it
// has the focus) runs the panel's click handler through `activated`, then opens the popup below
// the menu strip. It lights up under the mouse and returns to rest when the popup closes. A right
// click opens nothing.
class LabelMenu : public QAbstractButton
{
    Q_OBJECT

public:
    LabelMenu(const QString &name, QMenu *popup, QWidget *strip);

    QMenu *popup() const { return m_popup; }
    // Sets the caption (one blank in front, as the strip shows it) and the width it gives.
    void setCaption(const QString &text);
    // The popup's top-left corner on the screen: the strip's bottom edge, at the label's left.
    QPoint popupPosition() const;

    QSize sizeHint() const override;

    // Runs the click handler and shows the popup; returns when the popup has closed.
    void openPopup();

signals:
    // Before the popup opens: the panel's click handler.
    void activated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setHot(bool hot);

    QMenu *m_popup;
    bool m_hot = false;
    bool m_open = false;
};

} // namespace tervelle
