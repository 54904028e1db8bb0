#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

// Prints the wall clock (nanoseconds since the epoch) when the window is first shown on screen and
// ends the event loop, so the time to the first window leaves the shutdown out. A window that is
// made complete later (a project opened once it stands) is waited for: it counts from ready().
class QuitOnFirstExpose : public QObject
{
public:
    explicit QuitOnFirstExpose(QWidget *window, bool waitForReady = false) : m_window(window), m_ready(!waitForReady)
    {
        window->winId(); // makes the native window, so its events can be watched
        window->windowHandle()->installEventFilter(this);
    }

    // The window holds what it is to show; painted with it when it is on screen already.
    void ready()
    {
        m_ready = true;
        if (m_exposed) {
            m_window->repaint();
            finish();
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && m_window->windowHandle()->isExposed() && !m_exposed) {
            m_exposed = true;
            if (m_ready)
                finish();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    QWidget *m_window;
    bool m_ready;
    bool m_exposed = false;
    bool m_done = false;
};
