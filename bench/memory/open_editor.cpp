// The editor opening the project named on the command line as `tervelle PROJECT.mpr` does, ending
// once it is open: its peak memory is what the editor needs to hold that project. With --check
// after the project, Check pack runs too and it ends once the findings list is filled.
#include "core/common.h"
#include "core/langload.h"
#include "ui/appidentity.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/frmeditor.h"

#include <QAction>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tervelle::InitLanguage();
    tervelle::setApplicationIdentity();
    const QStringList arguments = QApplication::arguments();
    const bool check = arguments.size() == 3 && arguments.at(2) == QLatin1String("--check");
    if (arguments.size() != 2 && !check)
        return 2;
    tervelle::Settings settings = tervelle::LoadSettings();
    int result = 0;
    {
        auto editor = std::make_unique<tervelle::TfrmEditor>(settings);
        editor->show();
        // A message about the file would wait for a click that never comes.
        QTimer dismiss;
        QObject::connect(&dismiss, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        dismiss.start(50);
        QTimer checked;
        QTimer::singleShot(0, editor.get(), [&editor, &arguments, &checked, check] {
            editor->openStartupProject(arguments.at(1));
            if (!check) {
                QApplication::quit();
                return;
            }
            editor->findChild<QAction *>(QStringLiteral("mnuFileCheckPack"))->trigger();
            QObject::connect(&checked, &QTimer::timeout, [&editor] {
                const auto *findings = editor->findChild<tervelle::FindingsWindow *>();
                if (findings && !findings->isReviewing())
                    QApplication::quit();
            });
            checked.start(20);
        });
        result = QApplication::exec();
    }
    return result;
}
