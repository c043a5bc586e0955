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
  // The Scenario entry selected in the results list (0 none); by default the
  // Scenario class of the current selection.
  std::function<uint32_t()> selectedScenarioEntry;
  // The word a drag from the results list (fromList) or the text view carries;
  // by default the selected result's name or the word the text drag started on.
  std::function<std::string(bool fromList)> draggedWord;
};

void InstallExportCommands(TVekEditForm& window, ExportCommandSources sources = {});
// The Scenario entry the current selection names: a class of level 4 (0 none).
uint32_t SelectedScenarioEntry();
// The open Borders dialog (nullptr when closed).
TDialogueDelimiteurs* OpenBordersDialog();

}  // namespace quilor::ui
