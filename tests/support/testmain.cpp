#include "core/report.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef TERVELLE_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <QTemporaryDir>

#ifdef TERVELLE_FAIL_ON_QT_WARNINGS
namespace {

// A warning of Qt's in a window test is a fault of ours (an editor closed twice, a view asked to
// edit what it cannot): the test that caused it fails, so none comes back unseen.
void failOnQtWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    // The headless platform says what it cannot do (raise a window, grab the keyboard): that is
    // the test machine's, not ours.
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
        ADD_FAILURE() << "Qt warned: " << message.toStdString();
}

} // namespace
#endif

#ifdef TERVELLE_END_TO_END
namespace {

// Under CI an end-to-end test that skips (no Wine, no compiler folder, no Xvfb) fails: a machine
// that cannot build a pack must not pass for one that did. A developer's machine still skips.
class SkipFailsUnderCi : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        if (test.result()->Skipped())
            ADD_FAILURE() << "an end-to-end test skipped under CI=" << qgetenv("CI").constData()
                          << " fails: install what its message asks for";
    }
};

bool underCi()
{
    const QByteArray ci = qgetenv("CI");
    return !ci.isEmpty() && ci != "false" && ci != "0";
}

} // namespace
#endif

int main(int argc, char **argv)
{
    // No test may read or write the real settings of the person running it.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    // Tests expect the built-in English, whatever language the runner speaks.
    qputenv("LANGUAGE", "en");
    // Windows are tested headless unless the runner asks for a real display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Problems the core reports show up on standard error, as tervelle-pack prints them.
    tervelle::setProblemHandler([](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TERVELLE_END_TO_END
    if (underCi())
        ::testing::UnitTest::GetInstance()->listeners().Append(new SkipFailsUnderCi);
#endif
    TestApplication app(argc, argv);
#ifdef TERVELLE_FAIL_ON_QT_WARNINGS
    qInstallMessageHandler(failOnQtWarnings);
#endif
    return RUN_ALL_TESTS();
}
