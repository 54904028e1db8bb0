#include "ui/editor/contentpanel.h"

#include "ui/editor/labelmenu.h"
#include "ui/editor/windowcolours.h"

#include "core/langload.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace tervelle {

ContentPanel::ContentPanel(const QString &name, const QString &titleName, QWidget *parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    m_title = new QLabel(this);
    m_title->setObjectName(titleName);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setAutoFillBackground(true);
}

LabelMenu *ContentPanel::addLabelMenu(const QString &stripName, const QString &labelName, const QString &popupName,
                                      QMenu **popup)
{
    if (!m_strip) {
        m_strip = new QFrame(this);
        m_strip->setObjectName(stripName);
        m_strip->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_strip->setLineWidth(1);
        applyScheme(m_strip, MenuBackground);
        m_strip->setAutoFillBackground(true);
        m_strip->setGeometry(8, MenuStripTop, width() - 16, MenuStripHeight);
    }
    auto *menu = new QMenu(this);
    menu->setObjectName(popupName);
    auto *label = new LabelMenu(labelName, menu, m_strip);
    m_labelMenus.append(label);
    *popup = menu;
    return label;
}

void ContentPanel::layoutLabelMenus()
{
    if (!m_strip)
        return;
    // Label positions count from inside the strip's border; each label is as high as the strip.
    const QRect inside = m_strip->contentsRect();
    int left = 0;
    for (LabelMenu *label : std::as_const(m_labelMenus)) {
        const int width = label->sizeHint().width();
        label->setGeometry(inside.left() + left, inside.top(), width, inside.height());
        left += width;
    }
}

void ContentPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int frame = frameWidth();
    m_title->setGeometry(frame, frame, width() - 2 * frame, MenuStripTop - 4 - frame);
    panelResize();
}

void ContentPanel::panelResize()
{}

void ContentPanel::layoutMainControl(QWidget *control, int top)
{
    if (m_strip)
        m_strip->setGeometry(8, MenuStripTop, width() - 16, MenuStripHeight);
    if (control)
        control->setGeometry(8, top, width() - 16, height() - 48);
}

QAction *addMenuItem(QMenu *menu, const QString &name, LangKey caption)
{
    QAction *item = menu->addAction(lang(caption));
    item->setObjectName(name);
    return item;
}

} // namespace tervelle
