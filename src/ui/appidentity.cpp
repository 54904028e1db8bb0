#include "ui/appidentity.h"

#include <QApplication>
#include <QIcon>

namespace tervelle {

void setApplicationIdentity()
{
    QApplication::setApplicationName(QStringLiteral("Tervelle"));
    QApplication::setApplicationVersion(QStringLiteral(TERVELLE_VERSION));
    // The desktop file keeps the window's association with the entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("tervelle"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tervelle.png")));
}

} // namespace tervelle
