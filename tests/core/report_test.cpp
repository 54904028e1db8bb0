#include "core/report.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

TEST(ProblemReport, ProblemsBeforeAnyHandlerAreHeldAndHandedOverInOrder)
{
    const ProblemHandler previous = setProblemHandler({});
    reportProblem(QStringLiteral("first"));
    reportProblem(QStringLiteral("second"));
    QStringList seen;
    setProblemHandler([&](const QString &message) { seen << message; });
    EXPECT_EQ(seen, (QStringList{"first", "second"}));
    reportProblem(QStringLiteral("third"));
    EXPECT_EQ(seen, (QStringList{"first", "second", "third"}));

    // Handed over once: the next handler does not get them again.
    QStringList later;
    setProblemHandler([&](const QString &message) { later << message; });
    EXPECT_TRUE(later.isEmpty());
    setProblemHandler(previous);
}

} // namespace
