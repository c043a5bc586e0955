#include "app/install_windows_qt.h"

#include "mainwindow/graph_views_qt.h"
#include "mainwindow/main_window.h"
#include "mainwindow/print_dialog.h"
#include "mainwindow/result_views_qt.h"
#include "app/export_commands_qt.h"
#include "app/options_commands_qt.h"
#include "app/tools_menu_qt.h"
#include "app/scenario_commands_qt.h"
#include "scenario/word_search_window.h"

namespace quilor::ui {

void InstallWindows(TVekEditForm& window) {
  InstallExportCommands(window);
  InstallOptionsCommands(window);
  ScenarioEditorPort* scenarioEditor = InstallScenarioCommands(window);
  // The open-question sibling is handed the results list shown.
  auto resultLines = InstallResultViews(
      window, scenarioEditor, [&window](const std::string& text) { SearchInWordSearch(window, window, text); });
  InstallToolsMenu(window, FindToolsMenuEntries(), resultLines);
  InstallGraphViews(window);
  InstallPrintCommands(window);
  InstallWordSearch(window);
  InstallTerminologyExtractor(window);
}

}  // namespace quilor::ui
