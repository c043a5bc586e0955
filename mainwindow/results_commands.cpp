#include "mainwindow/results_commands.h"

#include "core/category.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "ui/view_state.h"
#include "engine/word_list.h"
#include "core/messages.h"

namespace quilor::ui {

namespace {
constexpr int kMsgWordWithoutReference = 558;

bool EditorOpen(const ScenarioEditorPort* editor) { return editor != nullptr && editor->IsOpen(); }

// The word's own kind in the lemma lists (Verbs, Adjectives, Substantives).
char LemmaKind(int code) {
  switch (code) {
    case kResultVerbs: return 'V';
    case kResultAdjectives: return 'A';
    case kResultSubstantives: return 'S';
    default: return 0;
  }
}
}  // namespace

TResultsPopupState ResultsPopupState(const TResultsPanel& panel, const ScenarioEditorPort* editor) {
  TResultsPopupState s;
  const bool open = EditorOpen(editor);
  s.openScenarioVisible = editor != nullptr && !open;
  s.searchInScenarioVisible = open;
  bool offered = true;
  const TResultTypeEntry* entry = panel.CurrentResultType > 0 ? panel.CurrentEntry() : nullptr;
  if (entry) {
    switch (entry->code) {
      case kResultReferences:
      case kResultReferenceFields1:
      case kResultReferenceFields2:
      case kResultVerbs:
      case kResultAdjectives:
      case kResultSubstantives: s.searchInScenarioVisible = false; break;
      case kResultScenario:
        s.sortVisible = true;
        s.alphabeticalChecked = Options->Switch(opt::SortAlphabetical);
        s.treeVisible = true;
        s.branchesHiddenChecked = panel.BranchesHidden();
        offered = false;
        break;
      default:
        s.searchInScenarioVisible = false;
        offered = false;
        break;
    }
  }
  s.addVisible = offered && panel.SelectedLine() >= 0 && open;
  return s;
}

bool AddSelectedResultToScenario(const TResultsPanel& panel, ScenarioEditorPort* editor, bool insert) {
  if (!EditorOpen(editor) || ViewState.selection.firstTerm.empty()) return false;
  const std::string name = ViewState.selection.firstTerm.substr(0, 79);
  int level = 0;
  const TResultTypeEntry* entry = panel.CurrentEntry();
  const int code = entry ? entry->code : 0;
  if (const char kind = LemmaKind(code)) {
    if (insert) editor->InsertWords(name, kind, false);
    else editor->AddWordInNewGroup(name, kind);
    return true;
  }
  if (code == kResultReferences) level = 1;
  else if (code == kResultReferenceFields1) level = 3;
  else if (code == kResultReferenceFields2) level = 2;
  if (level < 2) {
    int32_t index = 0;
    int found = 0;
    level = OntologyEngine && OntologyEngine->FirstClassLevel(name, found, index) ? found : 0;
  }
  if (level == 0) {
    if (insert) editor->InsertWords(name, '?', false);
    else editor->AddWordInNewGroup(name, '?');
    return true;
  }
  editor->SetPending(name, level, '?');
  if (insert) editor->AddPendingToSelectedGroup();
  else editor->AddPendingToNewGroup();
  return true;
}

bool AddTextWordToScenario(ScenarioEditorPort* editor, MainWindowPort& main, int position, bool insert) {
  if (main.Printing() || !EditorOpen(editor)) return false;
  if (!editor->AddWordAtPosition(position)) return false;
  if (insert) editor->InsertWords(editor->PendingName(), editor->PendingKind(), true);
  else editor->AddPendingToNewGroup();
  if (!Options->Switch(opt::ScenarioOnAllCategories)) {
    const TWordNode* node = TextWords.NodeAt(position);
    if (!node || !IsSubstantive(node->category.Category)) main.AfficheMessage(GetMessageText(kMsgWordWithoutReference));
  }
  return true;
}

}  // namespace quilor::ui
