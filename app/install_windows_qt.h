// Puts every window's views and commands into the main window, in the order
// the program needs: the windows that report during start-up first.
#pragma once

namespace quilor::ui {

class TVekEditForm;

void InstallWindows(TVekEditForm& window);

}  // namespace quilor::ui
