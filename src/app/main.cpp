#include "core/common.h"
#include "core/langload.h"
#include "core/languagechoice.h"
#include "core/quitonsignal.h"
#include "ui/appidentity.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Map pack editor"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("A map pack project (*.mpr) to open."),
                                 QStringLiteral("[PROJECT.mpr]"));
}

// --help and --version answer on the terminal before the window system is touched, so they work
// without a display. Returns -1 when the command line asks for neither.
int answerOnTerminal(int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tervelle"));
    QCommandLineParser parser;
    describeCommandLine(parser);
    // Errors wait for the window system's own options to be taken out of the line.
    (void)parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::fputs("tervelle " TERVELLE_VERSION "\n", stdout);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const int answered = answerOnTerminal(argc, argv);
    if (answered >= 0)
        return answered;

    QApplication app(argc, argv);
    // Problems the core notices before the window stands (a language file it cannot read) are
    // held until the window takes them over and shows them.
    // The language table comes before any window, so every caption finds its text.
    tervelle::InitLanguage();
    // Qt's own texts (Yes, No to All, Cancel, the file dialogs) in the same language, where Qt's
    // translations are installed.
    QTranslator qtTexts;
    if (!tervelle::chosenLanguage().isEmpty()
        && qtTexts.load(QLocale(tervelle::chosenLanguage()), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    tervelle::setApplicationIdentity();

    QCommandLineParser parser;
    describeCommandLine(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        // One line saying what is wrong, then the usage, as tervelle-pack does.
        std::fprintf(stderr, "tervelle: %s\n%s", parser.errorText().toLocal8Bit().constData(),
                     parser.helpText().toLocal8Bit().constData());
        return 2;
    }

    tervelle::Settings settings = tervelle::LoadSettings();
    int result = 0;
    {
        // Destroyed before main returns: its destruction writes the settings back while they and
        // the language table still hold their values.
        auto editor = std::make_unique<tervelle::TfrmEditor>(settings);
        tervelle::quitOnTerminationSignals([&editor] {
            editor->endOnSignal();
            // Also ends the loops of dialogs that are open.
            QApplication::exit(0);
        });
        editor->show();
        const QStringList projects = parser.positionalArguments();
        if (!projects.isEmpty()) {
            // Once the window is on screen, so a message about a bad file has its owner.
            const QString &path = projects.first();
            QTimer::singleShot(0, editor.get(), [&editor, path] { editor->openStartupProject(path); });
        }
        result = QApplication::exec();
    }
    return result;
}
