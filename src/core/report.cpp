#include "core/report.h"

#include <QStringList>

namespace tervelle {

namespace {

struct ProblemHook
{
    ProblemHandler handler;
    QStringList held;
};

ProblemHook &hook()
{
    static ProblemHook instance;
    return instance;
}

} // namespace

void reportProblem(const QString &message)
{
    ProblemHook &h = hook();
    if (h.handler)
        h.handler(message);
    else
        h.held << message;
}

ProblemHandler setProblemHandler(ProblemHandler handler)
{
    ProblemHook &h = hook();
    ProblemHandler previous = std::move(h.handler);
    h.handler = std::move(handler);
    if (h.handler) {
        const QStringList held = std::exchange(h.held, {});
        for (const QString &message : held)
            h.handler(message);
    }
    return previous;
}

} // namespace tervelle
