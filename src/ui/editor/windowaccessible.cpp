#include "ui/editor/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QSet>
#include <QVariant>
#include <QWidget>

namespace tervelle {

namespace {

// The widgets read as windows. Every widget that a screen reader is told of is asked about, many
// of them while the window is made: a set lookup, not a property search by name.
QSet<const QObject *> &asWindows()
{
    static QSet<const QObject *> windows;
    return windows;
}

QAccessibleInterface *windowFactory(const QString &, QObject *object)
{
    if (object && asWindows().contains(object))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// The name is the title as shown, with the mark of unsaved changes: told once per change of
// what is shown, however many steps set the title and the mark.
class TitleAnnouncer : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WindowTitleChange && event->type() != QEvent::ModifiedChange)
            return false;
        // Nobody to tell: the name is read whole when a screen reader first asks.
        if (!QAccessible::isActive()) {
            m_told.clear();
            return false;
        }
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(watched);
        const QString name = window ? window->text(QAccessible::Name) : QString();
        if (name == m_told)
            return false;
        m_told = name;
        QAccessibleEvent changed(watched, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
        return false;
    }

private:
    QString m_told;
};

const char *const Description = "accessibleMenuDescription";

// A menu item as Qt's own reads it, with a description. Only items given one are made here.
class DescribedMenuItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit DescribedMenuItem(QAction *item) : m_item(item) {}

    bool isValid() const override { return m_item && menu(); }
    QObject *object() const override { return m_item; }
    QWindow *window() const override { return menu() ? menu()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QString(m_item->text()).remove(QLatin1Char('&'));
        if (t == QAccessible::Description)
            return m_item->property(Description).toString();
        return QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const QMenu *owner = menu();
        if (!owner)
            return {};
        const QRect local = owner->actionGeometry(m_item);
        return QRect(owner->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const QMenu *owner = menu();
        s.invisible = !owner || !owner->isVisible() || !m_item->isVisible();
        s.disabled = !m_item->isEnabled();
        s.focusable = true;
        s.focused = owner && owner->activeAction() == m_item;
        s.hotTracked = s.focused;
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override
    {
        return m_item->isEnabled() ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_item->isEnabled())
            m_item->trigger();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QMenu *menu() const
    {
        if (!m_item)
            return nullptr;
        for (QObject *owner : m_item->associatedObjects()) {
            if (auto *found = qobject_cast<QMenu *>(owner))
                return found;
        }
        return nullptr;
    }

    QPointer<QAction> m_item;
};

QAccessibleInterface *describedItemFactory(const QString &, QObject *object)
{
    auto *item = qobject_cast<QAction *>(object);
    if (item && item->property(Description).isValid())
        return new DescribedMenuItem(item);
    return nullptr;
}

} // namespace

void describeMenuItem(QAction *item, const QString &description)
{
    static const bool installed = [] {
        QAccessible::installFactory(describedItemFactory);
        return true;
    }();
    Q_UNUSED(installed);
    item->setProperty(Description, description);
}

void accessibleAsWindow(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed);
    asWindows().insert(window);
    QObject::connect(window, &QObject::destroyed, [window] { asWindows().remove(window); });
    window->installEventFilter(new TitleAnnouncer(window));
}

} // namespace tervelle
