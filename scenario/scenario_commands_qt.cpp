#include "scenario/scenario_commands_qt.h"

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
