#pragma once

class QAbstractItemView;

namespace tervelle {

// Giving `view` the keyboard focus (a label-menu's click, Tab) chooses nothing: Qt would make
// its first item current, and the panels take a current item for the map maker's choice. Only a
// click or a key that moves through the view chooses. While the view has the focus but shows no
// current item (empty, or nothing chosen yet), a frame around it shows where the keyboard is.
void focusWithoutChoosing(QAbstractItemView *view);

} // namespace tervelle
