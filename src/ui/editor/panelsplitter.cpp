#include "ui/editor/panelsplitter.h"

#include <QMouseEvent>
#include <QRubberBand>

#include <algorithm>

namespace tervelle {

PanelSplitter::PanelSplitter(const QString &name, Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent), m_orientation(orientation)
{
    setObjectName(name);
    setAutoFillBackground(true);
    setCursor(orientation == Qt::Vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
    if (orientation == Qt::Vertical)
        setFixedWidth(Thickness);
    else
        setFixedHeight(Thickness);
}

int PanelSplitter::position() const
{
    return m_orientation == Qt::Vertical ? x() : y();
}

int PanelSplitter::clampedPosition(const QPoint &globalPos) const
{
    const QPoint local = parentWidget()->mapFromGlobal(globalPos);
    int wanted = (m_orientation == Qt::Vertical ? local.x() : local.y()) - m_grab;
    if (range) {
        const auto [low, high] = range();
        wanted = std::max(low, std::min(wanted, high));
    }
    return wanted;
}

void PanelSplitter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_grab = m_orientation == Qt::Vertical ? int(event->position().x()) : int(event->position().y());
    if (!m_line)
        m_line = new QRubberBand(QRubberBand::Line, parentWidget());
    m_line->setGeometry(geometry());
    m_line->show();
    m_line->raise();
}

void PanelSplitter::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int pos = clampedPosition(event->globalPosition().toPoint());
    QRect line = geometry();
    if (m_orientation == Qt::Vertical)
        line.moveLeft(pos);
    else
        line.moveTop(pos);
    m_line->setGeometry(line);
}

void PanelSplitter::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    m_line->hide();
    const int pos = clampedPosition(event->globalPosition().toPoint());
    if (pos != position())
        emit moved(pos);
}

ColumnPanel::ColumnPanel(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    setMinimumSize(200, 400);
}

void ColumnPanel::setParts(QWidget *top, PanelSplitter *splitter, QWidget *bottom)
{
    m_top = top;
    m_splitter = splitter;
    m_bottom = bottom;
    m_splitter->range = [this] {
        return std::make_pair(MinPart, std::max(MinPart, height() - PanelSplitter::Thickness - MinPart));
    };
    connect(m_splitter, &PanelSplitter::moved, this, &ColumnPanel::setTopHeight);
    layoutParts();
}

void ColumnPanel::setTopHeight(int height)
{
    m_topHeight = std::max(MinPart, height);
    layoutParts();
}

void ColumnPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void ColumnPanel::layoutParts()
{
    if (!m_top)
        return;
    // A short column shrinks the top panel first, down to its minimum.
    const int room = height() - PanelSplitter::Thickness - MinPart;
    const int top = std::max(MinPart, std::min(m_topHeight, room));
    m_top->setGeometry(0, 0, width(), top);
    m_splitter->setGeometry(0, top, width(), PanelSplitter::Thickness);
    const int bottomTop = top + PanelSplitter::Thickness;
    m_bottom->setGeometry(0, bottomTop, width(), std::max(0, height() - bottomTop));
}

} // namespace tervelle
