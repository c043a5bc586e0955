// The Tools menu's sibling programs and plug-ins in the main window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "output/tools_menu.h"

namespace quilor::ui {

class TVekEditForm;

// resultLines: the lines of the results list (for Demora), empty when none.
void InstallToolsMenu(TVekEditForm& window, const ToolsMenuEntries& entries,
                      std::function<std::vector<std::string>()> resultLines = {});

}  // namespace quilor::ui
