// The editor opening the project named on the command line as `tervelle PROJECT.mpr` does, ending
// once it is open: its peak memory is what the editor needs to hold that project.
#include "core/common.h"
#include "core/langload.h"
#include "ui/appidentity.h"
#include "ui/editor/frmeditor.h"

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
    if (arguments.size() != 2)
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
        QTimer::singleShot(0, editor.get(), [&editor, &arguments] {
            editor->openStartupProject(arguments.at(1));
            QApplication::quit();
        });
        result = QApplication::exec();
    }
    return result;
}
