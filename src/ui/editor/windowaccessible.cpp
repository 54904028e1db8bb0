#include "ui/editor/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace tervelle {

namespace {

const char *const AsWindow = "accessibleAsWindow";

QAccessibleInterface *windowFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(AsWindow).toBool())
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

} // namespace

void accessibleAsWindow(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(AsWindow, true);
    window->installEventFilter(new TitleAnnouncer(window));
}

} // namespace tervelle
