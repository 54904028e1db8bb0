#include "core/report.h"

#include <gtest/gtest.h>

#ifdef TERVELLE_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    // No test may read or write the real settings of the person running it.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    // Windows are tested headless unless the runner asks for a real display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Problems the core reports show up on standard error, as tervelle-pack prints them.
    tervelle::setProblemHandler([](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
