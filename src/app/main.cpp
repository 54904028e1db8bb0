#include "core/langload.h"
#include "core/quitonsignal.h"
#include "core/report.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Problems the core notices on the way (a settings file it leaves alone) are printed until
    // the editor window takes them over.
    tervelle::setProblemHandler([](const QString &message) { std::fprintf(stderr, "Tervelle: %s\n", qPrintable(message)); });
    // The language table comes before any window, so every caption finds its text.
    tervelle::InitLanguage();
    QApplication::setApplicationName(QStringLiteral("Tervelle"));
    QApplication::setDesktopFileName(QStringLiteral("tervelle"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tervelle.png")));
    tervelle::quitOnTerminationSignals();

    int result = 0;
    {
        // Destroyed before main returns: its destruction saves the settings while the shared
        // state and the language table still hold their values.
        auto editor = std::make_unique<tervelle::TfrmEditor>();
        editor->show();
        result = QApplication::exec();
    }
    return result;
}
