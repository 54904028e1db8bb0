#pragma once

class QAction;
class QString;
class QWidget;

namespace tervelle {

// Screen readers take a plain top-level QWidget for a filler. This gives `window` the window
// (frame) role with its title as its name, and tells accessibility clients of every title change.
// Call it before the window is first shown.
void accessibleAsWindow(QWidget *window);

// Qt's menu items tell screen readers their caption only: this gives `item` the
// description `description` as well (a recent project's full path behind its short caption).
void describeMenuItem(QAction *item, const QString &description);

} // namespace tervelle
