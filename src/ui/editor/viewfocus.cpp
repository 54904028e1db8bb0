#include "ui/editor/viewfocus.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QSignalBlocker>

namespace tervelle {

namespace {

class FocusWithoutChoosing : public QObject
{
public:
    explicit FocusWithoutChoosing(QAbstractItemView *view) : QObject(view), m_view(view), m_viewport(view->viewport())
    {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_inside)
            return false;
        if (watched == m_view && event->type() == QEvent::FocusIn)
            return focusIn(event);
        // Events still come while the view is being destroyed, when it is no longer a view: the
        // viewport is compared by the pointer kept, never asked of the view.
        if (watched == m_viewport && event->type() == QEvent::Paint)
            return paintWithFrame(event);
        return false;
    }

private:
    bool focusIn(QEvent *event)
    {
        QItemSelectionModel *selection = m_view->selectionModel();
        if (!selection || selection->currentIndex().isValid())
            return false;
        // The view takes the focus as usual, but the current item it would pick is taken back
        // before anyone hears of it.
        m_inside = true;
        {
            const QSignalBlocker quiet(selection);
            QCoreApplication::sendEvent(m_view, event);
            selection->clearCurrentIndex();
        }
        m_inside = false;
        m_view->viewport()->update();
        return true;
    }

    bool paintWithFrame(QEvent *event)
    {
        m_inside = true;
        QCoreApplication::sendEvent(m_view->viewport(), event);
        m_inside = false;
        if (m_view->hasFocus() && !m_view->currentIndex().isValid()) {
            QPainter painter(m_view->viewport());
            QPen pen(m_view->palette().color(QPalette::Highlight), 2);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawRect(m_view->viewport()->rect().adjusted(1, 1, -1, -1));
        }
        return true;
    }

    QAbstractItemView *m_view;
    QObject *m_viewport;
    bool m_inside = false;
};

} // namespace

void focusWithoutChoosing(QAbstractItemView *view)
{
    // Once per view. The watcher goes by its name: a property would be looked for among every one
    // the view's classes declare.
    const QString name = QStringLiteral("focusWithoutChoosing");
    if (view->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    (new FocusWithoutChoosing(view))->setObjectName(name);
}

} // namespace tervelle
