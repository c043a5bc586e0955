// What the Tools menu offers besides the program's own windows: the sibling
// programs (Lumo and Tarvik beside the program, Demora and Mellaro found by
// their desktop entries) and the plug-ins.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "output/plugins.h"

namespace quilor::ui {

struct ToolsMenuEntries {
  std::string lumo;  // the program beside ours ("" when absent)
  std::string tarvik;
  SiblingProgram demora, mellaro;
  std::array<PluginSlot, 4> plugins;
  std::array<bool, 4> pluginShown{};   // in use, and options other than "directory"
  bool separatorShown = false;         // at least one entry counts
  bool siblingSeparatorShown = false;  // Demora or Mellaro was found
};

ToolsMenuEntries FindToolsMenuEntries(const std::string& programFolder, const std::string& languageCode,
                                      const PluginFolders& plugins, const std::vector<std::string>& applications);
// The same for this program and this desktop.
ToolsMenuEntries FindToolsMenuEntries();

// Demora gets the results list in a new private file of the temporary folder
// (created exclusively, mode 0600); its path, or "" when it could not be made.
std::string WriteResultsForDemora(const std::vector<std::string>& lines, const std::string& prefix);

}  // namespace quilor::ui
