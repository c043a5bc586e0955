#include "app/scenario_commands_qt.h"

#include <QAction>

#include "engine/ontology_engine.h"
#include "mainwindow/main_window.h"
#include "scenario/anomaly_list.h"
#include "scenario/anomaly_list_window.h"
#include "scenario/scenario_editor_proxy_qt.h"
#include "scenario/scenario_editor_window.h"

namespace quilor::ui {

ScenarioEditorPort* InstallScenarioCommands(TVekEditForm& window) {
  ProgramAnomalyReporter = &ScenarioAnomalies();
  if (OntologyEngine) InstallAnomalyList(*OntologyEngine);
  ScenarioToolHooks hooks;
  hooks.openDocument = [&window] { window.FileOpen1Execute(); };
  hooks.showOptions = [&window] {
    if (QAction* options = window.Command("MenuOptionsGenerales")) options->trigger();
  };
  SetScenarioToolHooks(std::move(hooks));
  auto openEditor = [&window] { ScenarioEditorWindowInstance(&window, &window)->Editor().Open(); };
  window.SetCommandHandler("MenuScenario", openEditor);
  static AnomalyListWindow* anomalies = nullptr;
  ScenarioAnomalies().onFinish = [&window, openEditor](bool show) {
    if (!show) {
      if (anomalies) anomalies->hide();
      return;
    }
    if (!anomalies)
      anomalies = new AnomalyListWindow(ScenarioAnomalies(), [] { return CurrentScenarioEditor(); }, openEditor, &window);
    anomalies->Refresh();
    anomalies->show();
    anomalies->raise();
  };
  return new ScenarioEditorProxy(window);
}

}  // namespace quilor::ui
