// Puts the graph panel into the main window's Graph tab and connects it: it
// is drawn after every analysis and every redraw, emptied when the text is
// released, and the window's graph-kind tool buttons choose its kind.
#pragma once

namespace quilor::ui {

class TVekEditForm;

void InstallGraphViews(TVekEditForm& window);

}  // namespace quilor::ui
