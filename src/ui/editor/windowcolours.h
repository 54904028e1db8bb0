#pragma once

class QWidget;

namespace tervelle {

// The editor window's colour scheme. It is set on the outermost widget of a part of the window as
// that widget is made, before it has children, and every widget made below it inherits it. A
// palette set on each control once the window stands would walk every widget below it again.
// Each control that shows its background still asks for it to be painted.
enum SchemeColour : unsigned {
    PanelBackground = 1U << 0, // ColorPanel
    MenuBackground = 1U << 1,  // ColorMenu
    SchemeText = 1U << 2,      // ColorText, for every kind of text and in every state
    WindowBackground = 1U << 3 // ColorWindow, behind lists, grids, combo boxes and memos
};

void applyScheme(QWidget *widget, unsigned colours);

} // namespace tervelle
