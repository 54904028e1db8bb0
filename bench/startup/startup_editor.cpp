// The editor's start-up as main() does it, ending at the first shown window.
#include "core/common.h"
#include "firstexpose.h"

#include "core/langload.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tervelle::InitLanguage();
    QApplication::setApplicationName(QStringLiteral("Tervelle"));
    tervelle::Settings settings = tervelle::LoadSettings();
    int result = 0;
    {
        auto editor = std::make_unique<tervelle::TfrmEditor>(settings);
        QuitOnFirstExpose quit(editor.get());
        editor->show();
        result = QApplication::exec();
    }
    return result;
}
