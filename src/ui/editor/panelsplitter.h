#pragma once

#include <QWidget>

#include <functional>

class QRubberBand;

namespace tervelle {

// A 4-pixel bar between two panels. Dragging shows a line and moves the bar when the button is
// released; the owner keeps both sides within their limits through `range`.
class PanelSplitter : public QWidget
{
    Q_OBJECT

public:
    PanelSplitter(const QString &name, Qt::Orientation orientation, QWidget *parent);

    // The lowest and highest position (x for a vertical bar, y for a horizontal one) the bar
    // may take within its parent.
    std::function<std::pair<int, int>()> range;

    Qt::Orientation orientation() const { return m_orientation; }
    int position() const;

    static constexpr int Thickness = 4;

signals:
    void moved(int position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int clampedPosition(const QPoint &globalPos) const;

    Qt::Orientation m_orientation;
    QRubberBand *m_line = nullptr;
    int m_grab = 0;
    bool m_dragging = false;
};

// A column of the window: a top panel of a chosen height, a splitter, and a bottom panel that
// takes the rest. The splitter keeps at least `MinPart` pixels on each side.
class ColumnPanel : public QWidget
{
    Q_OBJECT

public:
    ColumnPanel(const QString &name, QWidget *parent);

    void setParts(QWidget *top, PanelSplitter *splitter, QWidget *bottom);
    int topHeight() const { return m_topHeight; }
    void setTopHeight(int height);

    static constexpr int MinPart = 100;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutParts();

    QWidget *m_top = nullptr;
    PanelSplitter *m_splitter = nullptr;
    QWidget *m_bottom = nullptr;
    int m_topHeight = 300; // the height asked for; the shown height may be less in a small window
};

} // namespace tervelle
