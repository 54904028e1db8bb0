#include "ui/editor/labelmenu.h"

#include "ui/colors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QActionEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace tervelle {

namespace {

// Screen readers hear a menu button with the label's caption.
class LabelMenuAccessible : public QAccessibleWidget
{
public:
    explicit LabelMenuAccessible(QWidget *widget) : QAccessibleWidget(widget, QAccessible::ButtonMenu) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return label()->text().trimmed();
        return QAccessibleWidget::text(t);
    }
    // It opens a menu, and says whether that menu is open.
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.hasPopup = true;
        s.expandable = true;
        s.expanded = label()->popup() && label()->popup()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{showMenuAction()} : QStringList();
    }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(label(), &LabelMenu::openPopup, Qt::QueuedConnection);
    }

private:
    LabelMenu *label() const { return static_cast<LabelMenu *>(widget()); }
};

// A screen reader keeps what it read of a menu: each item's caption and enabled state are told
// again, so that it never reads a stale "Undo" or a dimmed "Delete" that is now enabled.
void announceItem(QMenu *menu, QAction *item)
{
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu);
    const int index = int(menu->actions().indexOf(item));
    QAccessibleInterface *entry = list && index >= 0 ? list->child(index) : nullptr;
    if (!entry)
        return;
    QAccessible::State changed;
    changed.disabled = true;
    QAccessibleStateChangeEvent state(entry, changed);
    QAccessible::updateAccessibility(&state);
    QAccessibleEvent name(entry, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

class ItemAnnouncer : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *menu = static_cast<QMenu *>(watched);
        // A closed menu is told whole when it opens: its items' changes before then (the many
        // of start-up among them) need no word of their own.
        if (event->type() == QEvent::ActionChanged) {
            if (menu->isVisible())
                announceItem(menu, static_cast<QActionEvent *>(event)->action());
        } else if (event->type() == QEvent::Show) {
            for (QAction *item : menu->actions())
                announceItem(menu, item);
        }
        return false;
    }
};

QAccessibleInterface *labelMenuAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("tervelle::LabelMenu") && object && object->isWidgetType())
        return new LabelMenuAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

LabelMenu::LabelMenu(const QString &name, QMenu *popup, QWidget *strip) : QAbstractButton(strip), m_popup(popup)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(labelMenuAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    // The popup never opens by itself on a right click.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setHot(false);
    // At rest as soon as the popup closes: the command it chose may show a dialog before the
    // popup's exec returns.
    if (m_popup) {
        connect(m_popup, &QMenu::aboutToHide, this, [this] { setHot(false); });
        m_popup->installEventFilter(new ItemAnnouncer(m_popup));
    }
}

void LabelMenu::setCaption(const QString &text)
{
    const QString caption = QLatin1Char(' ') + text;
    setText(caption);
    setAccessibleName(text.trimmed());
    setToolTip(QString());
}

QSize LabelMenu::sizeHint() const
{
    // The width the caption gives, plus 10 pixels, as every label-menu is laid out.
    return QSize(fontMetrics().horizontalAdvance(text()) + 10, fontMetrics().height());
}

QPoint LabelMenu::popupPosition() const
{
    const QWidget *strip = parentWidget();
    return strip->mapToGlobal(QPoint(x(), strip->height()));
}

void LabelMenu::openPopup()
{
    if (!isEnabled() || m_open)
        return;
    m_open = true;
    setHot(true);
    emit activated();
    if (m_popup && isEnabled())
        m_popup->exec(popupPosition());
    m_open = false;
    setHot(false);
}

void LabelMenu::setHot(bool hot)
{
    m_hot = hot;
    const QColor background = toQColor(hot ? ColorMenuHot : ColorMenu);
    const QColor text = toQColor(ColorText);
    QPalette colours = palette();
    // Its strip's colours may already be these: a label at rest made in a strip keeps them.
    const auto hasThem = [&](QPalette::ColorGroup group) {
        return colours.color(group, QPalette::Window) == background
            && colours.color(group, QPalette::WindowText) == text && colours.color(group, QPalette::ButtonText) == text;
    };
    if (hasThem(QPalette::Active) && hasThem(QPalette::Inactive) && hasThem(QPalette::Disabled))
        return;
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::ButtonText, text);
    setPalette(colours);
    update();
}

void LabelMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    // Dimmed as the desktop dims text: the window's scheme keeps its text black in every state.
    if (!isEnabled())
        painter.setPen(QApplication::palette(this).color(QPalette::Disabled, QPalette::Text));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void LabelMenu::enterEvent(QEnterEvent *event)
{
    setHot(true);
    QAbstractButton::enterEvent(event);
}

void LabelMenu::leaveEvent(QEvent *event)
{
    if (!m_open)
        setHot(false);
    QAbstractButton::leaveEvent(event);
}

void LabelMenu::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_hot && !m_open)
        setHot(true);
    event->accept();
}

void LabelMenu::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        openPopup();
}

void LabelMenu::mouseReleaseEvent(QMouseEvent *event)
{
    // The popup already ran on the press; QAbstractButton would click again.
    event->accept();
}

void LabelMenu::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Down:
        event->accept();
        // From the keyboard the first usable item is ready to be chosen.
        if (m_popup) {
            for (QAction *item : m_popup->actions()) {
                if (item->isEnabled() && item->isVisible() && !item->isSeparator()) {
                    m_popup->setActiveAction(item);
                    break;
                }
            }
        }
        openPopup();
        return;
    default: QAbstractButton::keyPressEvent(event);
    }
}

void LabelMenu::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}

} // namespace tervelle
