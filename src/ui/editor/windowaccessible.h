#pragma once

class QWidget;

namespace tervelle {

// Screen readers take a plain top-level QWidget for a filler. This gives `window` the window
// (frame) role with its title as its name, and tells accessibility clients of every title change.
// Call it before the window is first shown.
void accessibleAsWindow(QWidget *window);

} // namespace tervelle
