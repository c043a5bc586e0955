// The window a box or a chooser opens over. A tool window kept above the
// others (the Scenario editor, the Borders) would hide a box opened over the
// main window behind it, so while one is shown the box opens over it.
#pragma once

class QWidget;

namespace quilor::ui {

// The modal dialog in front if there is one; else the window in front, or,
// when that is not kept above the others while a shown window is, that one.
QWidget* DialogParent();

}  // namespace quilor::ui
