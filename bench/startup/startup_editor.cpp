// The editor's start-up as main() does it, ending at the first shown window. With a project named
// on the command line it ends once the window stands with that project open and painted.
#include "core/common.h"
#include "firstexpose.h"

#include "core/langload.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tervelle::InitLanguage();
    QApplication::setApplicationName(QStringLiteral("Tervelle"));
    const QStringList arguments = QApplication::arguments();
    const QString project = arguments.size() > 1 ? arguments.at(1) : QString();
    tervelle::Settings settings = tervelle::LoadSettings();
    int result = 0;
    {
        auto editor = std::make_unique<tervelle::TfrmEditor>(settings);
        QuitOnFirstExpose quit(editor.get(), !project.isEmpty());
        editor->show();
        if (!project.isEmpty()) {
            QTimer::singleShot(0, editor.get(), [&editor, &quit, project] {
                editor->openStartupProject(project);
                quit.ready();
            });
        }
        result = QApplication::exec();
    }
    return result;
}
