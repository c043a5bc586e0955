// The main window's commands of the Borders dialog, the GEXF export and the
// statistics report.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quilor::ui {

class TVekEditForm;
class TDialogueDelimiteurs;

struct ExportCommandSources {
  // The Scenario entry selected in the results list (0 none).
  std::function<uint32_t()> selectedScenarioEntry;
  // The word a drag from the results list or the text view carries.
  std::function<std::string()> draggedWord;
};

void InstallExportCommands(TVekEditForm& window, ExportCommandSources sources = {});
// The open Borders dialog (nullptr when closed).
TDialogueDelimiteurs* OpenBordersDialog();

}  // namespace quilor::ui
