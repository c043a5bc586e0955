#include "app/scenario_commands_qt.h"

#include <QAction>

#include "engine/ontology_engine.h"
#include "engine/startup.h"
#include "mainwindow/main_window.h"
#include "scenario/anomaly_list.h"
#include "scenario/anomaly_list_window.h"
#include "scenario/scenario_editor_proxy_qt.h"
#include "scenario/scenario_editor_window.h"
#include "scenario/terminology_extractor_window.h"
#include "scenario/word_search_window.h"
#include "ui/selection_ops.h"
#include "ui/view_state.h"

namespace quilor::ui {

ScenarioEditorPort* InstallScenarioCommands(TVekEditForm& window) {
  ProgramAnomalyReporter = &ScenarioAnomalies();
  if (OntologyEngine) InstallAnomalyList(*OntologyEngine);
  ScenarioToolHooks hooks;
  hooks.openDocument = [&window] { window.FileOpen1Execute(); };
  hooks.showOptions = [&window] {
    if (QAction* options = window.Command(CommandId::MenuOptionsGenerales)) options->trigger();
  };
  hooks.addSelectedResult = [&window] {
    if (QAction* add = window.Command(CommandId::PopupResultatsAjouter1); add->isEnabled()) add->trigger();
  };
  hooks.searchWord = [](const std::string& text) { return OpenWordSearchWith(text); };
  SetScenarioToolHooks(std::move(hooks));
  auto openEditor = [&window] {
    ScenarioEditorWindow* editor = ScenarioEditorWindowInstance(&window, &window);
    // The editor opens beside the main window: a maximised one goes back to
    // its normal size first.
    if (!editor->Editor().IsOpen() && window.isMaximized()) window.showNormal();
    editor->Editor().Open();
  };
  window.SetCommandHandler(CommandId::MenuScenario, openEditor);
  static AnomalyListWindow* anomalies = nullptr;
  ScenarioAnomalies().onFinish = [&window, openEditor](bool show) {
    if (!show) {
      if (anomalies) anomalies->hide();
      return;
    }
    if (!anomalies)
      anomalies = new AnomalyListWindow(
          ScenarioAnomalies(), [] { return CurrentScenarioEditor(); }, openEditor, &window);
    anomalies->Refresh();
    anomalies->show();
    anomalies->raise();
  };
  // The editor, while open, keeps its unsaved work: the main window closes
  // only once the editor has (its save question answered, the save done),
  // and a Scenario switched by a request or a command file goes through the
  // editor, which asks first and then shows the new Scenario.
  window.AddCloseQuery([&window] {
    const ScenarioEditor* editor = CurrentScenarioEditor();
    if (!editor || !editor->IsOpen()) return true;
    return ScenarioEditorWindowInstance(&window, &window)->close();
  });
  window.SetScenarioSwitchHandler([](const std::string& name) {
    ScenarioEditor* editor = CurrentScenarioEditor();
    if (editor && editor->IsOpen()) {
      editor->OpenScenarioByName(name);
      return;
    }
    MakeScenarioCurrent(name);
  });
  return new ScenarioEditorProxy(window, window);
}

void InstallWordSearch(TVekEditForm& window) {
  SetWordSearchOwner(window, window);
  window.SetCommandHandler(CommandId::MenuChercher, [&window] { ShowWordSearch(window, window); });
  // The text page's popup (and a word dropped on the results list): the
  // word at the current text position.
  window.SetCommandHandler(CommandId::PopupImageTexteChercher, [&window] {
    const int32_t position = ViewState.HitWordPosition > 0 ? ViewState.HitWordPosition : ViewState.CurrentWordPosition;
    SearchInWordSearch(window, window, WordTextAt(position));
  });
  const auto refresh = [] {
    if (WordSearchWindow* open = OpenWordSearch()) open->Logic().Actualiser();
  };
  window.AddRefreshCallback(refresh);
  window.AddReleaseCallback(refresh);
}

void InstallTerminologyExtractor(TVekEditForm& window) {
  window.SetCommandHandler(CommandId::MenuExtractionTerminologique, [&window] {
    if (!window.TextLoaded()) return;
    window.ShowTextTab();
    ShowTerminologyWindow(window, window);
  });
  // The extractor belongs to the text: it goes with it.
  window.AddReleaseCallback([] {
    if (TerminologyWindow* open = OpenTerminologyWindow()) open->close();
  });
}

}  // namespace quilor::ui
