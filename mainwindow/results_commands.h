// The commands of the results list's popup and toolbar and of the text
// page's popup that reach the Scenario editor: what the results popup
// offers for the current result type, the selected result added to (or
// inserted into) the Scenario, and the word under the text cursor likewise.
#pragma once

#include "ui/main_window_port.h"
#include "mainwindow/results_panel.h"
#include "ui/scenario_editor_port.h"

namespace quilor::ui {

struct TResultsPopupState {
  bool openScenarioVisible = false;      // PopupResultatsOuvrirScenario
  bool searchInScenarioVisible = false;  // PopupResultatDbClick1
  bool sortVisible = false;              // PopupTriAlpha, PopupTriFrequence
  bool alphabeticalChecked = false;
  bool treeVisible = false;  // PopupMasquerLesBranches, PopupToutDevelopper
  bool branchesHiddenChecked = false;
  bool addVisible = false;  // PopupResultatsAjouter1, PopupResultatsInserer1
};

// What the popup shows for the panel's current result type (editor: null
// when there is no Scenario editor).
TResultsPopupState ResultsPopupState(const TResultsPanel& panel, const ScenarioEditorPort* editor);

// Adds (insert false) or inserts the selected result into the Scenario:
// class lists as classes of their level, lemma lists as words of their
// kind, anything else as a class of its first dictionary level or a word.
// Nothing without an open editor or a selected name. True when something
// went to the editor.
bool AddSelectedResultToScenario(const TResultsPanel& panel, ScenarioEditorPort* editor, bool insert);

// Adds or inserts (with sub-classes) the word at a text position. Nothing
// while printing or without an open editor. True when a word was found.
bool AddTextWordToScenario(ScenarioEditorPort* editor, MainWindowPort& main, int position, bool insert);

}  // namespace quilor::ui
