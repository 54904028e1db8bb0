#include "ui/editor/windowcolours.h"

#include "ui/colors.h"

#include <QPalette>
#include <QWidget>

namespace tervelle {

void applyScheme(QWidget *widget, unsigned colours)
{
    QPalette palette = widget->palette();
    if (colours & (PanelBackground | MenuBackground)) {
        const QColor background = toQColor((colours & MenuBackground) ? ColorMenu : ColorPanel);
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::Button, background);
    }
    if (colours & SchemeText) {
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(role, toQColor(ColorText));
    }
    if (colours & WindowBackground)
        palette.setColor(QPalette::Base, toQColor(ColorWindow));
    widget->setPalette(palette);
}

} // namespace tervelle
