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

class TitleAnnouncer : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowTitleChange) {
            QAccessibleEvent changed(watched, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
        return false;
    }
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
