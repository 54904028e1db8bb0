#pragma once

#include <QFontDatabase>
#include <QStringList>

#include <thread>

namespace tervelle {

// Reads the system's font configuration on a second thread while the window is being built.
// Reading it (mostly parsing the fontconfig files) is the largest single cost of start-up, and the
// first widget that measures text would otherwise do it on the main thread. The font database
// locks itself, so a widget that needs it sooner simply waits for the warm-up to finish.
// Needs the QApplication; joined when it goes out of scope.
class FontWarmUp
{
public:
    FontWarmUp() : m_thread([] { (void)QFontDatabase::families(); }) {}
    ~FontWarmUp() { m_thread.join(); }
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

private:
    std::thread m_thread;
};

} // namespace tervelle
