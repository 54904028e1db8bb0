#pragma once

#include <QString>

#include <functional>

namespace tervelle {

// Problems the core notices without failing (a settings file it will not rewrite, a compiler
// that could not be stopped) go through this one hook: the editor shows them, tervelle-pack
// prints them on standard error. The core itself never writes to a terminal.
using ProblemHandler = std::function<void(const QString &message)>;

// Hands the message to the handler. Messages reported before any handler is set are held and
// handed over when one is set, so a problem met during start-up is not lost.
void reportProblem(const QString &message);

// Installs the handler and returns the previous one; an empty handler holds messages again.
ProblemHandler setProblemHandler(ProblemHandler handler);

} // namespace tervelle
