#pragma once

namespace tervelle {

// Turns SIGTERM, SIGINT and SIGHUP into a normal quit of the event loop, so a logout or a
// terminal's Ctrl+C still closes the window the usual way and the settings are saved.
void quitOnTerminationSignals();

} // namespace tervelle
