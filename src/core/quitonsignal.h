#pragma once

#include <functional>

namespace tervelle {

// Turns SIGTERM, SIGINT and SIGHUP into a normal quit of the event loop, so a logout or a
// terminal's Ctrl+C still closes the window the usual way and the settings are saved, and a
// build under way still puts the earlier installer back.
// `quit` runs in the event loop once a signal came; the default is QCoreApplication::quit(),
// which only ends QCoreApplication::exec(). A command waiting in a loop of its own passes its way.
void quitOnTerminationSignals(std::function<void()> quit = {});

} // namespace tervelle
