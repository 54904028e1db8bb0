// A bare Qt window of the editor's size, ending at its first shown frame: the floor the editor's
// start-up is measured against.
#include "firstexpose.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Tervelle"));
    window.resize(746, 706);
    QuitOnFirstExpose quit(&window);
    window.show();
    return QApplication::exec();
}
