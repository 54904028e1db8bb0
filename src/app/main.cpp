#include "core/common.h"
#include "core/langload.h"
#include "core/quitonsignal.h"
#include "ui/appidentity.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Problems the core notices before the window stands (a language file it cannot read) are
    // held until the window takes them over and shows them.
    // The language table comes before any window, so every caption finds its text.
    tervelle::InitLanguage();
    tervelle::setApplicationIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Map pack editor"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("A map pack project (*.mpr) to open."),
                                 QStringLiteral("[PROJECT.mpr]"));
    parser.process(app);

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
